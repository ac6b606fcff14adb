// The experiment box on screen: a window that shows a virtual board's devices as
// the board has them (LEDs, switches, buttons, 7-segment display, LCD, keypad,
// knobs, D/A trace, stepper, motor, buzzer) and lets the user work its inputs with
// the mouse and, while it has the focus, the keypad with the keys 0-9 and A-F.
// While visible it shows the devices every kRefreshMs as the virtual board's thread
// copied them after its last turn, so the window never waits for a running board;
// while hidden it leaves the board alone.
//
//   CBoardPanel panel;
//   panel.CreateTopLevel("zorsim - board", CRect(40, 40, 40 + CPanelLayout::kWidth, ...));
//   panel.ShowVirtualBoard(board, profile);     // board: shared_ptr<CVirtualBoard>
//
// A window smaller than the panel shows it scaled down as a whole.
//
// Window-thread only; the inputs take the board's own lock.
#pragma once

#include <functional>
#include <string>

#include "zorkit/platform/ui/Wnd.h"
#include "sim/devices/DeviceBoard.h"
#include "sim/VirtualBoard.h"
#include "tools/boardpanel/PanelFeed.h"
#include "tools/boardpanel/PanelLayout.h"
#include "tools/boardpanel/PanelPainter.h"
#include "tools/boardpanel/PanelState.h"

namespace boardpanel {

class CBoardPanel : public CWnd {
public:
    // Runs an action on the devices under the board's lock; false when there are none.
    using CDeviceAccess = std::function<bool(const std::function<void(zorkit::sim::CDeviceBoard&)>&)>;
    // 50 pictures a second at most.
    static constexpr UINT kRefreshMs = 20;
    // A knob turns this much for one notch of the wheel.
    static constexpr int kWheelStep = 8;

    ~CBoardPanel() override;

    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    BOOL CreateTopLevel(const char* title, const CRect& place);

    // Shows the virtual board's devices, wired as `profile` (the one attached to it),
    // fed by the board's thread; the panel keeps the board while it shows it.
    void ShowVirtualBoard(std::shared_ptr<zorkit::sim::CVirtualBoard> board, const zorkit::sim::CBoardProfile& profile);
    // Shows devices reached through `access` alone, read at each refresh.
    void ShowBoard(const zorkit::sim::CBoardProfile& profile, CDeviceAccess access);
    // Shows `text` (UTF-8) instead of devices (a real board, or none).
    void ShowMessage(const std::string& text);
    // Reads the devices now and repaints what changed.
    void Refresh();

    const CPanelLayout& Layout() const { return m_layout; }
    // The panel's size in the window against its own (1 when the window is as large).
    double Scale() const;
    // Writes the panel at its own size as a PNG file, however large its window.
    BOOL WritePicture(const char* path) const;
    const CPanelState& State() const { return m_state; }
    // The text shown instead of devices; empty while devices are shown.
    const std::string& Message() const { return m_message; }
    // Pictures of the devices taken in, for the bench.
    std::uint64_t Reads() const { return m_reads; }

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnTimer(UINT id);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWnd);
    void OnCaptureChanged(CWnd* wnd);

private:
    BOOL StartRefresh();
    // Lets go of the board shown (its watcher too).
    void Forget();
    // Shows `now`, repainting what changed since the last picture.
    void Apply(const CPanelState& now);
    // Runs `action` on the devices, then shows what it changed.
    void Drive(const std::function<void(zorkit::sim::CDeviceBoard&)>& action);
    void SetKnob(int channel, int value);
    // A point of the window in the layout's coordinates.
    CPoint ToLayout(CPoint point) const;
    // Lets go of the control held with the mouse.
    void Release();

    CDeviceAccess m_access;
    std::shared_ptr<zorkit::sim::CVirtualBoard> m_board;
    std::shared_ptr<CPanelFeed> m_feed;
    std::string m_message;
    CPanelLayout m_layout;
    CPanelState m_state;
    CDacTrace m_trace;
    std::uint64_t m_reads = 0;
    // The button or key held with the mouse, and the knob being dragged.
    std::optional<CControlHit> m_held;
    int m_dragFromY = 0;
    int m_dragFromValue = 0;
    // Keypad keys held down from the keyboard.
    std::uint16_t m_typedKeys = 0;
};

}
