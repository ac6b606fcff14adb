// Windows for the tests: a top-level frame and a child that records what it receives.
#pragma once

#include <string>
#include <vector>

#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit::test {

// Registers (once) and returns a plain class with double clicks and a white background.
inline LPCTSTR TestClass()
{
    static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                              reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1)));
    return name;
}

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> messages;
    std::vector<std::string> events;
    CPoint lastPoint;
    UINT lastFlags = 0;
    int createResult = 0;

    BOOL CreateChild(CWnd* parent, const CRect& rect, UINT id, DWORD style = WS_VISIBLE)
    {
        return CreateEx(0, TestClass(), "child", WS_CHILD | style, rect, parent, id);
    }
    BOOL CreateTop(const CRect& rect, DWORD style = WS_VISIBLE)
    {
        return CreateEx(0, TestClass(), "top", WS_POPUP | style, rect, nullptr, 0);
    }
    bool Saw(UINT message) const
    {
        for (UINT m : messages)
            if (m == message)
                return true;
        return false;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    int OnCreate(LPCREATESTRUCT cs)
    {
        events.push_back("create");
        return createResult ? createResult : CWnd::OnCreate(cs);
    }
    void OnDestroy() { events.push_back("destroy " + std::to_string(GetDlgCtrlID())); }
    void OnLButtonDown(UINT flags, CPoint point) { Record("ldown", flags, point); }
    void OnLButtonUp(UINT flags, CPoint point) { Record("lup", flags, point); }
    void OnLButtonDblClk(UINT flags, CPoint point) { Record("ldbl", flags, point); }
    void OnMouseMove(UINT flags, CPoint point) { Record("move", flags, point); }
    void OnKeyDown(UINT key, UINT, UINT) { events.push_back("key " + std::to_string(key)); }
    void OnChar(UINT ch, UINT, UINT) { events.push_back("char " + std::to_string(ch)); }
    void OnSetFocus(CWnd*) { events.push_back("setfocus"); }
    void OnKillFocus(CWnd*) { events.push_back("killfocus"); }
    void OnTimer(UINT id) { events.push_back("timer " + std::to_string(id)); }
    void OnVScroll(UINT code, UINT pos, CScrollBar*) { events.push_back("vscroll " + std::to_string(code) + " " + std::to_string(pos)); }
    void OnHScroll(UINT code, UINT pos, CScrollBar*) { events.push_back("hscroll " + std::to_string(code) + " " + std::to_string(pos)); }
    BOOL OnMouseWheel(UINT, short delta, CPoint) { events.push_back("wheel " + std::to_string(delta)); return TRUE; }
    void OnCaptureChanged(CWnd*) { events.push_back("capturechanged"); }

    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CWnd::GetThisMessageMap, {
            MapMessage<WM_CREATE>(&RecordingWnd::OnCreate),
            MapMessage<WM_DESTROY>(&RecordingWnd::OnDestroy),
            MapMessage<WM_LBUTTONDOWN>(&RecordingWnd::OnLButtonDown),
            MapMessage<WM_LBUTTONUP>(&RecordingWnd::OnLButtonUp),
            MapMessage<WM_LBUTTONDBLCLK>(&RecordingWnd::OnLButtonDblClk),
            MapMessage<WM_MOUSEMOVE>(&RecordingWnd::OnMouseMove),
            MapMessage<WM_KEYDOWN>(&RecordingWnd::OnKeyDown),
            MapMessage<WM_CHAR>(&RecordingWnd::OnChar),
            MapMessage<WM_SETFOCUS>(&RecordingWnd::OnSetFocus),
            MapMessage<WM_KILLFOCUS>(&RecordingWnd::OnKillFocus),
            MapMessage<WM_TIMER>(&RecordingWnd::OnTimer),
            MapMessage<WM_VSCROLL>(&RecordingWnd::OnVScroll),
            MapMessage<WM_HSCROLL>(&RecordingWnd::OnHScroll),
            MapMessage<WM_MOUSEWHEEL>(&RecordingWnd::OnMouseWheel),
            MapMessage<WM_CAPTURECHANGED>(&RecordingWnd::OnCaptureChanged),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

private:
    void Record(const char* what, UINT flags, CPoint point)
    {
        events.push_back(what);
        lastFlags = flags;
        lastPoint = point;
    }
};

}
