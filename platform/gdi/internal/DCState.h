// The state behind a CDC (its HDC). Private to the platform layer.
#pragma once

#include <memory>
#include <vector>

#include "zorkit/platform/gdi/GdiCall.h"
#include "zorkit/platform/gdi/internal/GdiObjectData.h"
#include "zorkit/platform/gdi/internal/Painter.h"

namespace zorkit {

class PdfPainter;

inline CRect Normalized(CRect r)
{
    r.NormalizeRect();
    return r;
}

// What SaveDC keeps.
struct DCAttributes {
    std::shared_ptr<PenData> pen;
    std::shared_ptr<BrushData> brush;
    std::shared_ptr<FontData> font;
    std::shared_ptr<BitmapData> bitmap;  // memory DCs only
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = 0;
    CPoint windowOrg;
    CPoint viewportOrg;
    bool hasClip = false;
    CRect clip;  // device pixels, within the region
    CPoint position;
};

class DCState : public std::enable_shared_from_this<DCState> {
public:
    DCState();

    // Draws on surface from now on, with the region's origin and bounds (device pixels).
    void Attach(std::shared_ptr<Surface> surface, CPoint origin, const CRect& region);
    void AttachPdf(std::unique_ptr<PdfPainter> pdf);
    // Makes the painter draw only inside the current clip.
    void ApplyClip();
    CRect EffectiveClip() const;

    CPoint ToDevice(int x, int y) const
    {
        return CPoint(x - attributes.windowOrg.x + attributes.viewportOrg.x + origin.x,
                      y - attributes.windowOrg.y + attributes.viewportOrg.y + origin.y);
    }
    CRect ToDevice(const RECT& r) const
    {
        return CRect(ToDevice(r.left, r.top), ToDevice(r.right, r.bottom));
    }
    CPoint ToLogical(CPoint p) const
    {
        return CPoint(p.x + attributes.windowOrg.x - attributes.viewportOrg.x - origin.x,
                      p.y + attributes.windowOrg.y - attributes.viewportOrg.y - origin.y);
    }
    CRect ToLogical(const CRect& r) const { return CRect(ToLogical(r.TopLeft()), ToLogical(r.BottomRight())); }

    // Appends a recorded call with the current objects when recording.
    GdiCall* Record(const char* name, const CRect& rect);

    std::unique_ptr<Painter> painter;
    std::shared_ptr<Surface> surface;  // null when printing
    PdfPainter* pdf = nullptr;
    bool memory = false;
    CPoint origin;
    CRect region;
    DCAttributes attributes;
    // The object a selection replaced, kept alive so that the caller can select it back
    // even when nothing else holds it any more.
    std::shared_ptr<GdiObjectData> replaced[4];
    std::shared_ptr<BitmapData> defaultBitmap;  // a memory DC's own 1 x 1 bitmap
    std::vector<DCAttributes> saved;
    int stylePhase = 0;
    bool recording = false;
    std::vector<GdiCall> calls;
};

}
