// The strip beside the source editor: each line's number, a red mark on the lines
// with a breakpoint and a yellow arrow on the line where the program stopped, row for
// row with the editor's lines as it scrolls. A click on a line tells the host.
#pragma once

#include <functional>
#include <set>

#include "zorkit/editor/TextView.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

class CSourceMargin : public CWnd {
public:
    static constexpr int kWidth = 52;
    static constexpr COLORREF kBreakpoint = RGB(200, 30, 30);
    static constexpr COLORREF kCurrentLine = RGB(255, 220, 0);

    // Hears of a click next to a line (from 0) of the editor's text.
    std::function<void(int line)> onLineClick;

    BOOL Create(CWnd* parent, CTextView& editor, UINT id);
    // Lines from 0; current -1 when the program stands on none of the editor's lines.
    void SetMarks(std::set<int> breakpoints, int current);
    const std::set<int>& BreakpointLines() const { return m_breakpoints; }
    int CurrentLine() const { return m_current; }
    // Repaints at once when the editor scrolled or its line count changed since the
    // last paint.
    void Follow();
    // The row's rectangle of a line shown, in the margin's client coordinates; empty
    // when the line is scrolled out of view.
    CRect LineRect(int line);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);

private:
    int TopLine() const;

    CTextView* m_editor = nullptr;
    std::set<int> m_breakpoints;
    int m_current = -1;
    int m_paintedTop = -1;
    int m_paintedCount = -1;
};

}
