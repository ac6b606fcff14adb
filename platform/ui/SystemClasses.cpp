#include "zorkit/platform/ui/internal/SystemClasses.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ButtonControl.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/internal/ScrollBarControl.h"
#include "zorkit/platform/ui/StaticControl.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WinUser.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace {

template <class Control>
std::unique_ptr<zorkit::ControlProc> Make()
{
    return std::make_unique<Control>();
}

HBRUSH SysBrush(int index) { return reinterpret_cast<HBRUSH>(std::uintptr_t(index + 1)); }

struct ControlClass {
    const char* name;
    UINT style;
    LPCTSTR cursor;
    int brush;  // system colour index, -1 for none
    std::unique_ptr<zorkit::ControlProc> (*make)();
};

}

namespace zorkit {

void EnsureSystemClasses()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const ControlClass classes[] = {
        {"SCROLLBAR", CS_DBLCLKS, IDC_ARROW, -1, &Make<ScrollBarControl>},
        {"EDIT", CS_DBLCLKS, IDC_IBEAM, COLOR_WINDOW, &Make<EditControl>},
        {"STATIC", 0, IDC_ARROW, -1, &Make<StaticControl>},
        {"BUTTON", CS_DBLCLKS, IDC_ARROW, -1, &Make<ButtonControl>},
        {WC_DIALOG, CS_DBLCLKS | CS_SAVEBITS, IDC_ARROW, COLOR_BTNFACE, nullptr},
    };
    for (const ControlClass& c : classes) {
        WNDCLASS wc{c.style, ::DefWindowProc, 0, 0, nullptr, nullptr, LoadCursor(nullptr, c.cursor),
                    c.brush >= 0 ? SysBrush(c.brush) : nullptr, nullptr, c.name};
        RegisterControlClass(wc, c.make);
    }
}

}
