#include "zorkit/platform/gdi/Pen.h"

#include "zorkit/platform/gdi/internal/GdiObjectData.h"

BOOL CPen::CreatePen(int style, int width, COLORREF colour)
{
    LOGPEN pen{UINT(style), POINT{width, 0}, colour};
    return CreatePenIndirect(&pen);
}

BOOL CPen::CreatePenIndirect(const LOGPEN* pen)
{
    if (!pen || pen->lopnStyle > UINT(PS_INSIDEFRAME))
        return FALSE;
    Adopt(std::make_shared<zorkit::PenData>(*pen));
    return TRUE;
}

CPen::operator HPEN() const
{
    return static_cast<HPEN>(m_data.get());
}
