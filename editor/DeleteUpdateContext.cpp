#include "zorkit/editor/DeleteUpdateContext.h"

void CDeleteUpdateContext::AdjustPoint(CPoint& point)
{
    if (point.y < m_begin.y)
        return;
    if (point.y > m_end.y) {
        point.y -= m_end.y - m_begin.y;
    } else if (point.y == m_end.y && point.x >= m_end.x) {
        point.y = m_begin.y;
        point.x = point.x - m_end.x + m_begin.x;
    } else if (point.y == m_begin.y) {
        if (point.x > m_begin.x)
            point.x = m_begin.x;
    } else {
        point = m_begin;
    }
}
