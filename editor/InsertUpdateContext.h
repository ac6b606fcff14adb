// Text was inserted at begin; end is the position just after the inserted text.
#pragma once

#include "zorkit/editor/UpdateContext.h"

class CInsertUpdateContext : public CUpdateContext {
public:
    CInsertUpdateContext(CPoint begin, CPoint end) : m_begin(begin), m_end(end) {}
    // A position exactly at the insertion point stays before the new text.
    void AdjustPoint(CPoint& point) override;

    CPoint m_begin;
    CPoint m_end;
};
