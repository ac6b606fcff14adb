// A brush: a solid colour, or the null brush that fills nothing.
#pragma once

#include "zorkit/platform/gdi/GdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

    BOOL CreateSolidBrush(COLORREF colour);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush);
    int GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof(LOGBRUSH), brush); }
    operator HBRUSH() const;
    static CBrush* FromHandle(HBRUSH handle)
    {
        return static_cast<CBrush*>(CGdiObject::FromHandle(HGDIOBJ(handle)));
    }
};
