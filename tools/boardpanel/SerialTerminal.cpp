#include "tools/boardpanel/SerialTerminal.h"

#include <cstdio>

#include "tools/common/Wording.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace boardpanel {
namespace {

constexpr std::uintptr_t kRefreshTimer = 1;
constexpr int kLineHeight = 14;
constexpr int kInset = 4;
constexpr int kHexPerLine = 16;
constexpr COLORREF kPaper = RGB(16, 20, 24);
constexpr COLORREF kInk = RGB(200, 230, 200);
constexpr COLORREF kDim = RGB(120, 130, 140);

}

void CSerialTap::Transmitted(BYTE data, bool)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bytes.push_back(data);
}

std::vector<BYTE> CSerialTap::Take()
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<BYTE> bytes;
    bytes.swap(m_bytes);
    return bytes;
}

const CMessageMap* CSerialTerminal::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CSerialTerminal::OnPaint),
        zorkit::MapMessage<WM_TIMER>(&CSerialTerminal::OnTimer),
        zorkit::MapMessage<WM_CHAR>(&CSerialTerminal::OnChar),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CSerialTerminal::OnLButtonDown),
    });
    return &map;
}

const CMessageMap* CSerialTerminal::GetMessageMap() const { return GetThisMessageMap(); }

CSerialTerminal::~CSerialTerminal() { Detach(); }

BOOL CSerialTerminal::Create(CWnd* parent, const CRect& rect, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_IBEAM));
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE | WS_BORDER, rect, parent, id) && SetTimer(kRefreshTimer, kRefreshMs);
}

void CSerialTerminal::Detach()
{
    if (!m_board)
        return;
    m_board->WithCore([](zorkit::sim::C8051Core& core) { core.AttachSerialPeer(nullptr); });
    m_board.reset();
}

void CSerialTerminal::Attach(std::shared_ptr<zorkit::sim::CVirtualBoard> board)
{
    if (board == m_board)
        return;
    Detach();
    m_board = std::move(board);
    m_tap.Take();
    m_received.clear();
    if (m_board)
        m_board->WithCore([this](zorkit::sim::C8051Core& core) { core.AttachSerialPeer(&m_tap); });
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSerialTerminal::SetHex(bool hex)
{
    if (hex == m_hex)
        return;
    m_hex = hex;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CSerialTerminal::Refresh()
{
    const std::vector<BYTE> bytes = m_tap.Take();
    if (bytes.empty())
        return;
    m_received.insert(m_received.end(), bytes.begin(), bytes.end());
    if (m_received.size() > kKeptBytes)
        m_received.erase(m_received.begin(), m_received.end() - long(kKeptBytes));
    if (m_hWnd)
        Invalidate(FALSE);
}

std::vector<std::string> CSerialTerminal::Lines() const
{
    std::vector<std::string> lines(1);
    if (m_hex) {
        for (std::size_t i = 0; i < m_received.size(); ++i) {
            if (i && i % kHexPerLine == 0)
                lines.emplace_back();
            char text[4];
            std::snprintf(text, sizeof text, i % kHexPerLine ? " %02X" : "%02X", unsigned(m_received[i]));
            lines.back() += text;
        }
        return lines;
    }
    for (std::size_t i = 0; i < m_received.size(); ++i) {
        const BYTE b = m_received[i];
        if (b == '\n') {
            lines.emplace_back();
        } else if (b == '\r') {
            // CR LF is one line end; a CR alone ends its line too.
            if (i + 1 >= m_received.size() || m_received[i + 1] != '\n')
                lines.emplace_back();
        } else {
            lines.back() += b >= 0x20 && b < 0x7F ? char(b) : '.';
        }
    }
    return lines;
}

CRect CSerialTerminal::ModeSwitch() const
{
    CRect client;
    GetClientRect(&client);
    return CRect(client.right - 84, client.top + 2, client.right - 4, client.top + 2 + kLineHeight);
}

void CSerialTerminal::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kPaper);
    dc.SelectStockObject(ANSI_FIXED_FONT);
    dc.SetBkMode(TRANSPARENT);
    CRect mode = ModeSwitch();
    dc.SetTextColor(kDim);
    const std::string title =
        zorkit::GbkFromUtf8(m_board ? tools::Say("program's serial port") : tools::Say("no virtual board: no serial port to show"));
    CRect titleRect(client.left + kInset, client.top + 2, mode.left, client.top + 2 + kLineHeight);
    dc.DrawText(title.c_str(), int(title.size()), &titleRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    const std::string modes = zorkit::GbkFromUtf8(m_hex ? tools::Say("text [HEX]") : tools::Say("[TEXT] hex"));
    dc.DrawText(modes.c_str(), int(modes.size()), &mode, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);

    dc.SetTextColor(kInk);
    const std::vector<std::string> lines = Lines();
    const int top = client.top + 2 + kLineHeight + 2;
    const int rows = std::max(0, int(client.bottom - top) / kLineHeight);
    const std::size_t first = lines.size() > std::size_t(rows) ? lines.size() - std::size_t(rows) : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const int y = top + int(i - first) * kLineHeight;
        dc.TextOut(client.left + kInset, y, lines[i].c_str(), int(lines[i].size()));
    }
}

void CSerialTerminal::OnTimer(UINT id)
{
    if (id == kRefreshTimer && IsWindowVisible())
        Refresh();
}

void CSerialTerminal::OnChar(UINT key, UINT, UINT)
{
    if (!m_board || key > 0xFF)
        return;
    const BYTE b = BYTE(key);
    m_board->WithCore([b](zorkit::sim::C8051Core& core) { core.ReceiveSerial(b); });
}

void CSerialTerminal::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    if (ModeSwitch().PtInRect(point))
        SetHex(!m_hex);
}

}
