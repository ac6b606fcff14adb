#include "zorkit/platform/ui/WindowClass.h"

#include <strings.h>

#include <list>

#include "zorkit/platform/ui/internal/SystemClasses.h"
#include "zorkit/platform/ui/WinUser.h"

namespace {

std::list<zorkit::WindowClassInfo>& Classes()
{
    static std::list<zorkit::WindowClassInfo> classes;
    return classes;
}

std::list<zorkit::WindowClassInfo>::iterator Find(LPCTSTR name)
{
    auto& classes = Classes();
    for (auto it = classes.begin(); it != classes.end(); ++it)
        if (name && strcasecmp(it->name, name) == 0)
            return it;
    return classes.end();
}

ATOM g_nextAtom = 0xC000;

}

ATOM RegisterClass(const WNDCLASS* wndClass)
{
    if (!wndClass || !wndClass->lpszClassName || !*wndClass->lpszClassName)
        return 0;
    zorkit::EnsureSystemClasses();
    if (Find(wndClass->lpszClassName) != Classes().end())
        return 0;
    zorkit::WindowClassInfo info{*wndClass, CString(wndClass->lpszClassName), nullptr};
    Classes().push_back(std::move(info));
    Classes().back().attributes.lpszClassName = Classes().back().name;
    return g_nextAtom++;
}

BOOL UnregisterClass(LPCTSTR className, void*)
{
    auto it = Find(className);
    if (it == Classes().end() || it->makeControl)
        return FALSE;
    Classes().erase(it);
    return TRUE;
}

BOOL GetClassInfo(void*, LPCTSTR className, WNDCLASS* wndClass)
{
    const zorkit::WindowClassInfo* info = zorkit::FindWindowClass(className);
    if (!info)
        return FALSE;
    if (wndClass)
        *wndClass = info->attributes;
    return TRUE;
}

LPCTSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, void* icon)
{
    CString name;
    name.Format("Afx:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor), static_cast<void*>(background), icon);
    if (const auto* info = zorkit::FindWindowClass(name))
        return info->name;
    WNDCLASS wc{classStyle, ::DefWindowProc, 0, 0, nullptr, icon, cursor, background, nullptr, name};
    if (!RegisterClass(&wc))
        return nullptr;
    return zorkit::FindWindowClass(name)->name;
}

BOOL AfxRegisterClass(WNDCLASS* wndClass)
{
    if (zorkit::FindWindowClass(wndClass->lpszClassName))
        return TRUE;
    return RegisterClass(wndClass) != 0;
}

namespace zorkit {

const WindowClassInfo* FindWindowClass(LPCTSTR className)
{
    EnsureSystemClasses();
    auto it = Find(className);
    return it == Classes().end() ? nullptr : &*it;
}

void RegisterControlClass(const WNDCLASS& attributes, std::function<std::unique_ptr<ControlProc>()> makeControl)
{
    if (Find(attributes.lpszClassName) != Classes().end())
        return;
    Classes().push_back(WindowClassInfo{attributes, CString(attributes.lpszClassName), std::move(makeControl)});
    Classes().back().attributes.lpszClassName = Classes().back().name;
}

}
