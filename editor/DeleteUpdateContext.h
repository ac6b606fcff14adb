// The text from begin to end was removed.
#pragma once

#include "zorkit/editor/UpdateContext.h"

class CDeleteUpdateContext : public CUpdateContext {
public:
    CDeleteUpdateContext(CPoint begin, CPoint end) : m_begin(begin), m_end(end) {}
    // A position inside the removed text moves to begin.
    void AdjustPoint(CPoint& point) override;

    CPoint m_begin;
    CPoint m_end;
};
