// The lines offered under the Port button: the virtual board, then the serial devices
// `zorlink ports` lists, one button each. A click on one hands its choice to the host.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/zorstudio/BoardLine.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

struct CPortEntry {
    CLineChoice choice;
    std::string label;
};

// The virtual board and this machine's serial devices, at the given baud rate.
std::vector<CPortEntry> PortEntries(int baud);

class CPortList : public CWnd {
public:
    static constexpr UINT kFirstEntryId = 1;
    static constexpr int kEntryHeight = 24;

    explicit CPortList(std::vector<CPortEntry> entries) : m_entries(std::move(entries)) {}

    // Placed at topLeft of the parent's client area, above its other children.
    BOOL Create(CWnd* parent, CPoint topLeft, int width, UINT id);
    const std::vector<CPortEntry>& Entries() const { return m_entries; }
    CWnd* EntryButton(std::size_t index) { return GetDlgItem(int(kFirstEntryId + index)); }

    std::function<void(const CLineChoice&)> onChosen;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<CPortEntry> m_entries;
    std::vector<std::unique_ptr<CWnd>> m_buttons;
};

}
