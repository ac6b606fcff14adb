#include "tools/zorstudio/ui/BoardPanes.h"

#include "tools/zorstudio/Translation.h"

namespace zorstudio {

BOOL CBoardPanes::Create(CWnd* parent, UINT panelId, UINT terminalId)
{
    const CRect none(0, 0, 1, 1);
    return m_panel.Create(parent, none, panelId) && m_terminal.Create(parent, none, terminalId);
}

void CBoardPanes::Follow(const CBoardView& view)
{
    if (m_following && view.virtualBoard == m_shown)
        return;
    m_following = true;
    m_shown = view.virtualBoard;
    m_terminal.Attach(m_shown);
    if (!m_shown) {
        m_panel.ShowMessage(Tr(kRealBoardText));
        return;
    }
    // The board is shared: a panel may outlive the line that started it.
    m_panel.ShowVirtualBoard(m_shown, zorkit::sim::DefaultBoardProfile());
}

}
