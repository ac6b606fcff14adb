// Puts a device context back as a painter found it: selected objects, colours, modes,
// origins, clip and current position are restored when the guard leaves scope.
//
//   void Paint(CDC* dc)
//   {
//       CDCStateGuard keep(dc);
//       dc->SelectObject(&pen);
//       dc->SetBkMode(TRANSPARENT);
//       ...  // no hand-restoring on any way out
//   }
#pragma once

#include <cassert>

#include "zorkit/platform/gdi/DC.h"

class CDCStateGuard {
public:
    explicit CDCStateGuard(CDC* dc) : m_dc(dc), m_level(dc ? dc->SaveDC() : 0) {}
    ~CDCStateGuard()
    {
        if (m_level <= 0)
            return;
        [[maybe_unused]] const BOOL restored = m_dc->RestoreDC(m_level);
        assert(restored && "the state was restored past this guard: pair every SaveDC with its own RestoreDC");
    }
    CDCStateGuard(const CDCStateGuard&) = delete;
    CDCStateGuard& operator=(const CDCStateGuard&) = delete;

private:
    CDC* m_dc;
    int m_level;
};
