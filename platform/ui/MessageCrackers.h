// Message-map entries for window messages, cracked into the framework's handler
// signatures:
//   zorkit::MapMessage<WM_KEYDOWN>(&CMyView::OnKeyDown)   // void OnKeyDown(UINT, UINT, UINT)
// A handler of the wrong signature for its message does not compile.
#pragma once

#include "zorkit/platform/core/MessageMap.h"
#include "zorkit/platform/ui/Wnd.h"
#include "zorkit/platform/ui/WindowDCs.h"

class CScrollBar;

namespace zorkit {

inline CPoint PointFromLParam(LPARAM l) { return CPoint(short(LOWORD(l)), short(HIWORD(l))); }
CScrollBar* ScrollBarFromHandle(HWND hwnd);

namespace crack {

template <class C> using Void = void (C::*)();
template <class C> using Key = void (C::*)(UINT, UINT, UINT);
template <class C> using Mouse = void (C::*)(UINT, CPoint);
template <class C> using Scroll = void (C::*)(UINT, UINT, CScrollBar*);
template <class C> using WndArg = void (C::*)(CWnd*);

struct VoidSig {
    template <class C> static LRESULT Call(C* o, Void<C> f, WPARAM, LPARAM) { (o->*f)(); return 0; }
};
struct KeySig {
    template <class C> static LRESULT Call(C* o, Key<C> f, WPARAM w, LPARAM l)
    {
        (o->*f)(UINT(w), LOWORD(l), HIWORD(l));
        return 0;
    }
};
struct MouseSig {
    template <class C> static LRESULT Call(C* o, Mouse<C> f, WPARAM w, LPARAM l)
    {
        (o->*f)(UINT(w), PointFromLParam(l));
        return 0;
    }
};
struct ScrollSig {
    template <class C> static LRESULT Call(C* o, Scroll<C> f, WPARAM w, LPARAM l)
    {
        (o->*f)(LOWORD(w), HIWORD(w), ScrollBarFromHandle(reinterpret_cast<HWND>(l)));
        return 0;
    }
};
struct FocusSig {
    template <class C> static LRESULT Call(C* o, WndArg<C> f, WPARAM w, LPARAM)
    {
        (o->*f)(CWnd::FromHandle(reinterpret_cast<HWND>(w)));
        return 0;
    }
};
struct CaptureSig {
    template <class C> static LRESULT Call(C* o, WndArg<C> f, WPARAM, LPARAM l)
    {
        (o->*f)(CWnd::FromHandle(reinterpret_cast<HWND>(l)));
        return 0;
    }
};
struct CreateSig {
    template <class C> static LRESULT Call(C* o, int (C::*f)(LPCREATESTRUCT), WPARAM, LPARAM l)
    {
        return (o->*f)(reinterpret_cast<LPCREATESTRUCT>(l));
    }
};
struct SizeSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(UINT, int, int), WPARAM w, LPARAM l)
    {
        (o->*f)(UINT(w), short(LOWORD(l)), short(HIWORD(l)));
        return 0;
    }
};
struct MoveSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(int, int), WPARAM, LPARAM l)
    {
        (o->*f)(short(LOWORD(l)), short(HIWORD(l)));
        return 0;
    }
};
struct EraseSig {
    template <class C> static LRESULT Call(C* o, BOOL (C::*f)(CDC*), WPARAM w, LPARAM)
    {
        return (o->*f)(DCFromHandle(reinterpret_cast<HDC>(w)));
    }
};
struct WheelSig {
    template <class C> static LRESULT Call(C* o, BOOL (C::*f)(UINT, short, CPoint), WPARAM w, LPARAM l)
    {
        return (o->*f)(LOWORD(w), short(HIWORD(w)), PointFromLParam(l));
    }
};
struct SetCursorSig {
    template <class C> static LRESULT Call(C* o, BOOL (C::*f)(CWnd*, UINT, UINT), WPARAM w, LPARAM l)
    {
        return (o->*f)(CWnd::FromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
    }
};
struct ActivateSig {
    template <class C> static LRESULT Call(C* o, int (C::*f)(CWnd*, UINT, UINT), WPARAM w, LPARAM l)
    {
        return (o->*f)(CWnd::FromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
    }
};
struct HitTestSig {
    template <class C> static LRESULT Call(C* o, UINT (C::*f)(CPoint), WPARAM, LPARAM l)
    {
        return LRESULT(int((o->*f)(PointFromLParam(l))));
    }
};
struct NcMouseSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(UINT, CPoint), WPARAM w, LPARAM l)
    {
        (o->*f)(UINT(w), PointFromLParam(l));
        return 0;
    }
};
struct TimerSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(UINT), WPARAM w, LPARAM)
    {
        (o->*f)(UINT(w));
        return 0;
    }
};
struct DlgCodeSig {
    template <class C> static LRESULT Call(C* o, UINT (C::*f)(), WPARAM, LPARAM) { return (o->*f)(); }
};
struct SettingSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(UINT, LPCTSTR), WPARAM w, LPARAM l)
    {
        (o->*f)(UINT(w), reinterpret_cast<LPCTSTR>(l));
        return 0;
    }
};
struct ShowSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(BOOL, UINT), WPARAM w, LPARAM l)
    {
        (o->*f)(BOOL(w), UINT(l));
        return 0;
    }
};
struct EnableSig {
    template <class C> static LRESULT Call(C* o, void (C::*f)(BOOL), WPARAM w, LPARAM)
    {
        (o->*f)(BOOL(w));
        return 0;
    }
};

// Which signature a message's handler has.
template <UINT Msg> struct For;
template <> struct For<WM_CREATE> { using Sig = CreateSig; };
template <> struct For<WM_DESTROY> { using Sig = VoidSig; };
template <> struct For<WM_NCDESTROY> { using Sig = VoidSig; };
template <> struct For<WM_CLOSE> { using Sig = VoidSig; };
template <> struct For<WM_PAINT> { using Sig = VoidSig; };
template <> struct For<WM_SYSCOLORCHANGE> { using Sig = VoidSig; };
template <> struct For<WM_SIZE> { using Sig = SizeSig; };
template <> struct For<WM_MOVE> { using Sig = MoveSig; };
template <> struct For<WM_SHOWWINDOW> { using Sig = ShowSig; };
template <> struct For<WM_ENABLE> { using Sig = EnableSig; };
template <> struct For<WM_ERASEBKGND> { using Sig = EraseSig; };
template <> struct For<WM_SETFOCUS> { using Sig = FocusSig; };
template <> struct For<WM_KILLFOCUS> { using Sig = FocusSig; };
template <> struct For<WM_CAPTURECHANGED> { using Sig = CaptureSig; };
template <> struct For<WM_KEYDOWN> { using Sig = KeySig; };
template <> struct For<WM_KEYUP> { using Sig = KeySig; };
template <> struct For<WM_CHAR> { using Sig = KeySig; };
template <> struct For<WM_SYSKEYDOWN> { using Sig = KeySig; };
template <> struct For<WM_SYSKEYUP> { using Sig = KeySig; };
template <> struct For<WM_SYSCHAR> { using Sig = KeySig; };
template <> struct For<WM_MOUSEMOVE> { using Sig = MouseSig; };
template <> struct For<WM_LBUTTONDOWN> { using Sig = MouseSig; };
template <> struct For<WM_LBUTTONUP> { using Sig = MouseSig; };
template <> struct For<WM_LBUTTONDBLCLK> { using Sig = MouseSig; };
template <> struct For<WM_RBUTTONDOWN> { using Sig = MouseSig; };
template <> struct For<WM_RBUTTONUP> { using Sig = MouseSig; };
template <> struct For<WM_RBUTTONDBLCLK> { using Sig = MouseSig; };
template <> struct For<WM_MBUTTONDOWN> { using Sig = MouseSig; };
template <> struct For<WM_MBUTTONUP> { using Sig = MouseSig; };
template <> struct For<WM_MOUSEWHEEL> { using Sig = WheelSig; };
template <> struct For<WM_MOUSEACTIVATE> { using Sig = ActivateSig; };
template <> struct For<WM_SETCURSOR> { using Sig = SetCursorSig; };
template <> struct For<WM_NCHITTEST> { using Sig = HitTestSig; };
template <> struct For<WM_NCMOUSEMOVE> { using Sig = NcMouseSig; };
template <> struct For<WM_NCLBUTTONDOWN> { using Sig = NcMouseSig; };
template <> struct For<WM_HSCROLL> { using Sig = ScrollSig; };
template <> struct For<WM_VSCROLL> { using Sig = ScrollSig; };
template <> struct For<WM_TIMER> { using Sig = TimerSig; };
template <> struct For<WM_GETDLGCODE> { using Sig = DlgCodeSig; };
template <> struct For<WM_SETTINGCHANGE> { using Sig = SettingSig; };

}

template <UINT Msg, class C, class F>
MessageMapEntry MapMessage(F C::*handler)
{
    using Sig = typename crack::For<Msg>::Sig;
    return {MapEntryKind::Message, Msg, 0, 0, 0, [handler](CCmdTarget* t, WPARAM w, LPARAM l) {
                return Sig::Call(static_cast<C*>(t), handler, w, l);
            }};
}

}
