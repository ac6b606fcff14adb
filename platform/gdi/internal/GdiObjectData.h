// The shared records behind GDI handles. Private to the platform layer.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/GdiObject.h"

namespace zorkit {

class Surface;
class ScaledFont;

class GdiObjectData : public std::enable_shared_from_this<GdiObjectData> {
public:
    virtual ~GdiObjectData();
    virtual int Type() const = 0;
    virtual int Describe(int size, void* buffer) const = 0;
    // The framework object for this record: its creator while that lives, else a wrapper.
    CGdiObject* Object();
    void SetOwner(CGdiObject* owner) { m_owner = owner; }
    CGdiObject* Owner() const { return m_owner; }

protected:
    virtual std::unique_ptr<CGdiObject> MakeWrapper() = 0;

private:
    CGdiObject* m_owner = nullptr;
    std::unique_ptr<CGdiObject> m_wrapper;
};

class PenData : public GdiObjectData {
public:
    explicit PenData(const LOGPEN& pen) : pen(pen) {}
    int Type() const override { return OBJ_PEN; }
    int Describe(int size, void* buffer) const override;
    // Width in pixels, at least 1.
    int Width() const { return pen.lopnWidth.x > 1 ? int(pen.lopnWidth.x) : 1; }
    bool IsNull() const { return pen.lopnStyle == UINT(PS_NULL); }
    LOGPEN pen;

protected:
    std::unique_ptr<CGdiObject> MakeWrapper() override;
};

class BrushData : public GdiObjectData {
public:
    explicit BrushData(const LOGBRUSH& brush) : brush(brush) {}
    int Type() const override { return OBJ_BRUSH; }
    int Describe(int size, void* buffer) const override;
    bool IsNull() const { return brush.lbStyle == BS_NULL; }
    LOGBRUSH brush;

protected:
    std::unique_ptr<CGdiObject> MakeWrapper() override;
};

class FontData : public GdiObjectData {
public:
    explicit FontData(const LOGFONT& font) : font(font) {}
    int Type() const override { return OBJ_FONT; }
    int Describe(int size, void* buffer) const override;
    // The rasteriser for this description, made on first use.
    ScaledFont& Scaled();
    LOGFONT font;

protected:
    std::unique_ptr<CGdiObject> MakeWrapper() override;

private:
    std::shared_ptr<ScaledFont> m_scaled;
};

class BitmapData : public GdiObjectData {
public:
    explicit BitmapData(std::shared_ptr<Surface> surface) : surface(std::move(surface)) {}
    int Type() const override { return OBJ_BITMAP; }
    int Describe(int size, void* buffer) const override;
    std::shared_ptr<Surface> surface;

protected:
    std::unique_ptr<CGdiObject> MakeWrapper() override;
};

}
