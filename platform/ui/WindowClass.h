// Window classes registered by name: the class style (double clicks, redraw on
// resize), the cursor and the background brush a window of the class starts with.
// The controls ("EDIT", "STATIC", "BUTTON", "SCROLLBAR") and the dialog class are
// registered by the platform itself.
#pragma once

#include <functional>
#include <memory>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/ui/Cursor.h"

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef WORD ATOM;

struct WNDCLASS {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    void* hInstance;
    void* hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;  // a brush, or a system colour index + 1
    LPCTSTR lpszMenuName;
    LPCTSTR lpszClassName;
};

constexpr const char* WC_DIALOG = "#32770";

// 0 when the name is taken already or missing.
ATOM RegisterClass(const WNDCLASS* wndClass);
BOOL UnregisterClass(LPCTSTR className, void* instance);
BOOL GetClassInfo(void* instance, LPCTSTR className, WNDCLASS* wndClass);
// Registers (once) a class with these attributes under a generated name and returns
// the name, which lives as long as the process.
LPCTSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            void* icon = nullptr);
// Registers unless a class of that name exists already.
BOOL AfxRegisterClass(WNDCLASS* wndClass);

class CWnd;

namespace zorkit {

// The behaviour of a control class, one object per window; it handles what reaches
// the window's default processing.
class ControlProc {
public:
    virtual ~ControlProc() = default;
    virtual LRESULT WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

struct WindowClassInfo {
    WNDCLASS attributes;
    CString name;  // attributes.lpszClassName points here
    std::function<std::unique_ptr<ControlProc>()> makeControl;
};

// A class by name (case-insensitive, as the desktop compares them), or null.
const WindowClassInfo* FindWindowClass(LPCTSTR className);
// Registers a platform control class whose windows behave through `makeControl`.
void RegisterControlClass(const WNDCLASS& attributes, std::function<std::unique_ptr<ControlProc>()> makeControl);

}
