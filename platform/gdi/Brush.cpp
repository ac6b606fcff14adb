#include "zorkit/platform/gdi/Brush.h"

#include "zorkit/platform/gdi/internal/GdiObjectData.h"

BOOL CBrush::CreateSolidBrush(COLORREF colour)
{
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return CreateBrushIndirect(&brush);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL))
        return FALSE;
    Adopt(std::make_shared<zorkit::BrushData>(*brush));
    return TRUE;
}

CBrush::operator HBRUSH() const
{
    return static_cast<HBRUSH>(m_data.get());
}
