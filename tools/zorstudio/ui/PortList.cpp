#include "tools/zorstudio/ui/PortList.h"

#include "tools/common/SerialDevices.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ButtonControl.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {
constexpr int kGap = 2;
}

std::vector<CPortEntry> PortEntries(int baud)
{
    std::vector<CPortEntry> entries{{CLineChoice{"", baud}, "virtual board"}};
    for (const CSerialDevice& device : FindSerialDevices().devices)
        entries.push_back({CLineChoice{device.path, baud}, device.path + (device.usb.empty() ? "" : "  " + device.usb)});
    return entries;
}

const CMessageMap* CPortList::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CPortList::OnPaint),
    });
    return &map;
}

const CMessageMap* CPortList::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CPortList::Create(CWnd* parent, CPoint topLeft, int width, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    const int height = int(m_entries.size()) * (kEntryHeight + kGap) + kGap;
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(topLeft, CSize(width, height)), parent, id))
        return FALSE;
    // Above the views it covers, for the clicks and the paint.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    CRect client;
    GetClientRect(&client);
    CFont* guiFont = CFont::FromHandle(HFONT(GetStockObject(DEFAULT_GUI_FONT)));
    int top = kGap;
    for (std::size_t i = 0; i < m_entries.size(); ++i, top += kEntryHeight + kGap) {
        auto button = std::make_unique<CWnd>();
        if (!button->CreateEx(0, "BUTTON", m_entries[i].label.c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              CRect(kGap, top, client.right - kGap, top + kEntryHeight), this, UINT(kFirstEntryId + i)))
            return FALSE;
        button->SetFont(guiFont);
        m_buttons.push_back(std::move(button));
    }
    return TRUE;
}

void CPortList::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
}

BOOL CPortList::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || id < kFirstEntryId || id >= kFirstEntryId + m_entries.size())
        return CWnd::OnCommand(wParam, lParam);
    if (onChosen)
        onChosen(m_entries[id - kFirstEntryId].choice);
    return TRUE;
}

}
