// A top-level window that records the mouse and keyboard messages it receives.
#pragma once

#include <cstdint>
#include <vector>

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit::test {

struct Received {
    UINT message;
    int code;          // character, virtual key or wheel delta
    CPoint point;      // client coordinates of mouse messages
    bool shift;        // Shift held when a key message was handled
};

class InputWnd : public CWnd {
public:
    BOOL CreateAt(const CRect& rect)
    {
        static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                                 reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1)));
        return CreateEx(0, cls, "desktop input", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    }
    std::vector<Received> Of(UINT message) const
    {
        std::vector<Received> found;
        for (const Received& r : received)
            if (r.message == message)
                found.push_back(r);
        return found;
    }
    std::vector<Received> received;

    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CWnd::GetThisMessageMap, {
            MapMessage<WM_MOUSEMOVE>(&InputWnd::OnMouseMove),
            MapMessage<WM_LBUTTONDOWN>(&InputWnd::OnLButtonDown),
            MapMessage<WM_LBUTTONUP>(&InputWnd::OnLButtonUp),
            MapMessage<WM_LBUTTONDBLCLK>(&InputWnd::OnLButtonDblClk),
            MapMessage<WM_MOUSEWHEEL>(&InputWnd::OnMouseWheel),
            MapMessage<WM_KEYDOWN>(&InputWnd::OnKeyDown),
            MapMessage<WM_CHAR>(&InputWnd::OnChar),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

private:
    void OnMouseMove(UINT, CPoint point) { received.push_back({WM_MOUSEMOVE, 0, point, false}); }
    void OnLButtonDown(UINT, CPoint point) { received.push_back({WM_LBUTTONDOWN, 0, point, false}); }
    void OnLButtonUp(UINT, CPoint point) { received.push_back({WM_LBUTTONUP, 0, point, false}); }
    void OnLButtonDblClk(UINT, CPoint point) { received.push_back({WM_LBUTTONDBLCLK, 0, point, false}); }
    BOOL OnMouseWheel(UINT, short delta, CPoint)
    {
        received.push_back({WM_MOUSEWHEEL, delta, CPoint(), false});
        return TRUE;
    }
    void OnKeyDown(UINT key, UINT, UINT) { received.push_back({WM_KEYDOWN, int(key), CPoint(), ShiftHeld()}); }
    void OnChar(UINT ch, UINT, UINT) { received.push_back({WM_CHAR, int(ch), CPoint(), ShiftHeld()}); }
    static bool ShiftHeld() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
};

}
