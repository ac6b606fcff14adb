// The line along the bottom of the main window: a message pane that takes the
// spare width, then fixed panes (the link's state, the caret position). Texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

class CStatusBar : public CWnd {
public:
    static constexpr int kHeight = 22;

    // paneWidths: the fixed panes from the left, after the message pane.
    explicit CStatusBar(std::vector<int> paneWidths);

    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    // Pane 0 is the message; a change repaints the pane.
    void SetPaneText(int pane, const std::string& gbk);
    const std::string& PaneText(int pane) const { return m_texts[std::size_t(pane)]; }
    CRect PaneRect(int pane) const;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();

private:
    std::vector<int> m_widths;
    std::vector<std::string> m_texts;
};

}
