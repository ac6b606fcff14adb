#include "tools/boardpanel/BoardPanel.h"

#include <algorithm>

#include "tools/common/Wording.h"
#include "zorkit/platform/gdi/Surface.h"

#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace boardpanel {
namespace {

constexpr std::uintptr_t kRefreshTimer = 1;

// The keypad key a virtual key stands for, or -1.
int KeypadKey(UINT key)
{
    if (key >= '0' && key <= '9')
        return int(key - '0');
    if (key >= 'A' && key <= 'F')
        return int(key - 'A' + 10);
    return -1;
}

}

const CMessageMap* CBoardPanel::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CBoardPanel::OnPaint),
        zorkit::MapMessage<WM_TIMER>(&CBoardPanel::OnTimer),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CBoardPanel::OnLButtonDown),
        zorkit::MapMessage<WM_LBUTTONDBLCLK>(&CBoardPanel::OnLButtonDown),
        zorkit::MapMessage<WM_LBUTTONUP>(&CBoardPanel::OnLButtonUp),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CBoardPanel::OnMouseMove),
        zorkit::MapMessage<WM_MOUSEWHEEL>(&CBoardPanel::OnMouseWheel),
        zorkit::MapMessage<WM_KEYDOWN>(&CBoardPanel::OnKeyDown),
        zorkit::MapMessage<WM_KEYUP>(&CBoardPanel::OnKeyUp),
        zorkit::MapMessage<WM_KILLFOCUS>(&CBoardPanel::OnKillFocus),
        zorkit::MapMessage<WM_CAPTURECHANGED>(&CBoardPanel::OnCaptureChanged),
    });
    return &map;
}

const CMessageMap* CBoardPanel::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CBoardPanel::Create(CWnd* parent, const CRect& rect, UINT id)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, rect, parent, id) && StartRefresh();
}

BOOL CBoardPanel::CreateTopLevel(const char* title, const CRect& place)
{
    static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, title, WS_POPUP | WS_VISIBLE, place, nullptr, 0) && StartRefresh();
}

BOOL CBoardPanel::StartRefresh() { return SetTimer(kRefreshTimer, kRefreshMs) != 0; }

CBoardPanel::~CBoardPanel() { Forget(); }

void CBoardPanel::Forget()
{
    Release();
    if (m_board)
        m_board->SetDeviceWatcher(nullptr);
    m_board.reset();
    m_feed.reset();
    m_access = nullptr;
}

void CBoardPanel::ShowVirtualBoard(std::shared_ptr<zorkit::sim::CVirtualBoard> board,
    const zorkit::sim::CBoardProfile& profile)
{
    auto feed = std::make_shared<CPanelFeed>();
    ShowBoard(profile, [board](const auto& action) { return board->WithDevices(action); });
    board->SetDeviceWatcher([feed](zorkit::sim::CDeviceBoard& devices) { feed->Publish(devices); });
    m_board = std::move(board);
    m_feed = std::move(feed);
}

void CBoardPanel::ShowBoard(const zorkit::sim::CBoardProfile& profile, CDeviceAccess access)
{
    Forget();
    m_access = std::move(access);
    m_message.clear();
    m_layout = LayOutPanel(profile);
    m_state = CPanelState();
    m_trace.clear();
    Refresh();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CBoardPanel::ShowMessage(const std::string& text)
{
    Forget();
    if (m_message == text)
        return;
    m_message = text;
    if (m_hWnd)
        Invalidate(FALSE);
}

void CBoardPanel::Refresh()
{
    if (!m_access)
        return;
    if (m_feed) {
        if (std::optional<CPanelState> fed = m_feed->Take())
            Apply(*fed);
        return;
    }
    CPanelState now;
    if (!m_access([&now](zorkit::sim::CDeviceBoard& devices) { now = CapturePanelState(devices); })) {
        ShowMessage(tools::Say("This board has no virtual devices."));
        return;
    }
    Apply(now);
}

void CBoardPanel::Apply(const CPanelState& now)
{
    ++m_reads;
    const bool moved = now.cycle != m_state.cycle;
    const bool blinked = now.cycle / kBlinkCycles != m_state.cycle / kBlinkCycles && now.blinkOn;
    const bool changed = !SamePicture(now, m_state) || blinked;
    if (m_layout.dac && (moved || m_trace.empty())) {
        if (!m_trace.empty() && now.cycle < m_trace.back().first)
            m_trace.clear(); // the board was reset
        m_trace.emplace_back(now.cycle, now.dac);
        while (m_trace.size() > 2 && m_trace[1].first + kTraceCycles < now.cycle)
            m_trace.pop_front();
    }
    m_state = now;
    if (!m_hWnd)
        return;
    if (changed)
        Invalidate(FALSE);
    else if (m_layout.dac && moved && Scale() >= 1)
        InvalidateRect(&*m_layout.dac, FALSE);
    else if (m_layout.dac && moved)
        Invalidate(FALSE);
}

void CBoardPanel::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (!m_access) {
        PaintMessage(dc, client, m_message);
        return;
    }
    dc.FillSolidRect(&client, kBoardColour);
    const double scale = Scale();
    if (scale >= 1) {
        PaintPanel(dc, m_layout, m_state, m_trace);
        return;
    }
    auto full = PanelPicture(m_layout, m_state, m_trace);
    auto small = zorkit::Surface::Create(std::max(1, int(CPanelLayout::kWidth * scale)),
        std::max(1, int(CPanelLayout::kHeight * scale)));
    if (!full || !small)
        return;
    ShrinkInto(*full, *small);
    CDC shrunk;
    shrunk.AttachSurface(small, CPoint(0, 0), small->Bounds());
    dc.BitBlt(0, 0, small->Width(), small->Height(), &shrunk, 0, 0, SRCCOPY);
}

BOOL CBoardPanel::WritePicture(const char* path) const
{
    auto picture = zorkit::Surface::Create(CPanelLayout::kWidth, CPanelLayout::kHeight);
    if (!picture)
        return FALSE;
    CDC dc;
    dc.AttachSurface(picture, CPoint(0, 0), picture->Bounds());
    if (m_access)
        PaintPanel(dc, m_layout, m_state, m_trace);
    else
        PaintMessage(dc, picture->Bounds(), m_message);
    return picture->WritePng(path);
}

double CBoardPanel::Scale() const
{
    CRect client;
    GetClientRect(&client);
    return std::min({1.0, double(client.Width()) / CPanelLayout::kWidth, double(client.Height()) / CPanelLayout::kHeight});
}

CPoint CBoardPanel::ToLayout(CPoint point) const
{
    const double scale = Scale();
    if (scale >= 1 || scale <= 0)
        return point;
    return CPoint(int(point.x / scale), int(point.y / scale));
}

void CBoardPanel::OnTimer(UINT id)
{
    if (id != kRefreshTimer)
        return;
    // A hidden panel leaves the board alone.
    const bool visible = IsWindowVisible();
    if (m_feed)
        m_feed->SetWanted(visible);
    if (visible)
        Refresh();
}

void CBoardPanel::Drive(const std::function<void(zorkit::sim::CDeviceBoard&)>& action)
{
    CPanelState now;
    if (!m_access || !m_access([&](zorkit::sim::CDeviceBoard& devices) {
            action(devices);
            now = CapturePanelState(devices);
        }))
        return;
    // What the board's thread copied before the input is older than this.
    if (m_feed)
        m_feed->Take();
    Apply(now);
}

void CBoardPanel::SetKnob(int channel, int value)
{
    value = std::clamp(value, 0, 255);
    Drive([channel, value](zorkit::sim::CDeviceBoard& devices) { devices.SetKnob(channel, value); });
}

void CBoardPanel::OnLButtonDown(UINT, CPoint point)
{
    point = ToLayout(point);
    SetFocus();
    if (!m_access || m_held)
        return;
    const std::optional<CControlHit> hit = m_layout.HitTest(point);
    if (!hit)
        return;
    const int n = hit->index;
    switch (hit->kind) {
    case ControlKind::Switch: {
        const bool on = !(m_state.switches >> n & 1);
        Drive([n, on](zorkit::sim::CDeviceBoard& devices) { devices.SetSwitch(n, on); });
        return;
    }
    case ControlKind::Button:
        Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetButton(n, true); });
        break;
    case ControlKind::Key:
        Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetKey(n, true); });
        break;
    case ControlKind::Knob:
        m_dragFromY = point.y;
        m_dragFromValue = m_state.knobs[std::size_t(n)];
        break;
    }
    m_held = hit;
    SetCapture();
}

void CBoardPanel::OnMouseMove(UINT, CPoint point)
{
    point = ToLayout(point);
    if (m_held && m_held->kind == ControlKind::Knob)
        SetKnob(m_held->index, m_dragFromValue + (m_dragFromY - point.y));
}

void CBoardPanel::OnLButtonUp(UINT, CPoint)
{
    if (!m_held)
        return;
    Release();
    if (GetCapture() == this)
        ReleaseCapture();
}

void CBoardPanel::OnCaptureChanged(CWnd*) { Release(); }

void CBoardPanel::Release()
{
    if (!m_held)
        return;
    const CControlHit held = *m_held;
    m_held.reset();
    const int n = held.index;
    if (held.kind == ControlKind::Button)
        Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetButton(n, false); });
    else if (held.kind == ControlKind::Key)
        Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetKey(n, false); });
}

BOOL CBoardPanel::OnMouseWheel(UINT, short delta, CPoint point)
{
    ScreenToClient(&point);
    point = ToLayout(point);
    const std::optional<CControlHit> hit = m_layout.HitTest(point);
    if (!hit || hit->kind != ControlKind::Knob)
        return FALSE;
    const int notches = delta / WHEEL_DELTA;
    SetKnob(hit->index, m_state.knobs[std::size_t(hit->index)] + notches * kWheelStep);
    return TRUE;
}

void CBoardPanel::OnKeyDown(UINT key, UINT, UINT)
{
    const int n = KeypadKey(key);
    // The keyboard repeats a held key; the keypad key is down once.
    if (n < 0 || (m_typedKeys >> n & 1))
        return;
    m_typedKeys = std::uint16_t(m_typedKeys | 1u << n);
    Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetKey(n, true); });
}

void CBoardPanel::OnKeyUp(UINT key, UINT, UINT)
{
    const int n = KeypadKey(key);
    if (n < 0 || !(m_typedKeys >> n & 1))
        return;
    m_typedKeys = std::uint16_t(m_typedKeys & ~(1u << n));
    Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetKey(n, false); });
}

void CBoardPanel::OnKillFocus(CWnd*)
{
    for (int n = 0; n < 16; ++n)
        if (m_typedKeys >> n & 1)
            Drive([n](zorkit::sim::CDeviceBoard& devices) { devices.SetKey(n, false); });
    m_typedKeys = 0;
}

}
