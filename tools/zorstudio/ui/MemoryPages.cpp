#include "tools/zorstudio/ui/MemoryPages.h"

#include <memory>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/HexCell.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/ui/Styles.h"

namespace zorstudio {
namespace {

constexpr int kRows = CDebugSession::kInternalRamSize / CMemoryGrid::kBytesPerRow;

}

CMemoryPages::CMemoryPages(CWnd& window, CStudioRequests& requests)
    : m_window(window), m_requests(requests), m_grid(kRows)
{
}

bool CMemoryPages::Create(CFont* font)
{
    const CRect none(0, 0, 1, 1);
    if (!m_pageField.CreateEx(0, "EDIT", "0000", WS_CHILD | WS_VISIBLE | WS_BORDER, none, &m_window,
                              CStudioWindow::IdExternalPage) ||
        !m_grid.Create(none, &m_window, CStudioWindow::IdMemory))
        return false;
    m_pageField.SetFont(font);
    m_grid.onWrite = [this](WORD address, BYTE value) { return Write(address, value); };
    return true;
}

bool CMemoryPages::Write(WORD address, BYTE value)
{
    const MemoryKind kind = m_page;
    m_requests.Ask([kind, address, value](CDebugSession& s) { return s.WriteMemory(kind, address, value); },
                   [this, kind, address, value](bool ok, const std::string& error) {
                       if (!ok)
                           return void(m_requests.Failed(error));
                       const bool internal = kind == MemoryKind::Internal;
                       m_requests.Tell(Tr(internal ? N_("{1}H := {2}, read back from the board")
                                                   : N_("XDATA {1}H := {2}, read back from the board"),
                                          {tools::Hex(address, internal ? 2 : 4), tools::Hex(value, 2)}));
                   });
    return true;
}

void CMemoryPages::Show()
{
    const CTargetSnapshot& now = m_requests.View().current;
    const CSnapshotChanges& changes = m_requests.View().changes;
    if (m_page == MemoryKind::Internal)
        m_grid.Show(0, now.internalRam, changes.internalBytes, 2);
    else
        m_grid.Show(now.externalAddress, now.external, changes.externalBytes, 4);
}

void CMemoryPages::TogglePage()
{
    const bool toExternal = m_page == MemoryKind::Internal;
    m_page = toExternal ? MemoryKind::External : MemoryKind::Internal;
    m_window.GetDlgItem(CStudioWindow::IdMemoryPage)->SetWindowText(TrGbk(toExternal ? N_("IDATA") : N_("XDATA")).c_str());
    Show();
    m_requests.Tell(
        Tr(toExternal ? N_("the memory grid shows the external memory page") : N_("the memory grid shows the internal RAM")));
}

bool CMemoryPages::ShowTypedExternalPage()
{
    CString text;
    m_pageField.GetWindowText(text);
    const auto address = ParseHexCell(text.str(), 0xFFFF);
    if (!address)
        return m_requests.Failed(Tr("the external page starts at a hexadecimal address, 0000 to FFFF"));
    return ShowExternalPage(WORD(*address));
}

bool CMemoryPages::ShowExternalPage(WORD address)
{
    m_pageField.SetWindowText(tools::Hex(address, 4).c_str());
    if (m_page != MemoryKind::External)
        TogglePage();
    const std::string page = tools::Hex(address, 4);
    auto later = std::make_shared<bool>(false);
    m_requests.Ask(
        [address, later](CDebugSession& s) {
            s.SetExternalPage(address);
            *later = s.State() != LinkState::Connected;
            return *later || s.Refresh();
        },
        [this, page, later](bool ok, const std::string& error) {
            if (!ok)
                return void(m_requests.Failed(error));
            m_requests.Tell(Tr(*later ? N_("the external page from {1}H is read at the next stop")
                                      : N_("the memory grid shows the external page from {1}H"),
                               {page}));
        });
    return true;
}

}
