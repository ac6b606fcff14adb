#include "zorkit/editor/InsertUpdateContext.h"

void CInsertUpdateContext::AdjustPoint(CPoint& point)
{
    if (point.y < m_begin.y)
        return;
    if (point.y == m_begin.y) {
        if (point.x <= m_begin.x)
            return;
        point.x = point.x - m_begin.x + m_end.x;
    }
    point.y += m_end.y - m_begin.y;
}
