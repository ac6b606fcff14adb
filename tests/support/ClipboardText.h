// The platform clipboard's CF_TEXT read and written directly, without any view.
#pragma once

#include <cstring>
#include <string>

#include "zorkit/platform/ui/Clipboard.h"

namespace zorkit::test {

// The clipboard's text, or "<closed>" when it cannot be opened.
inline std::string ClipboardText()
{
    if (!OpenClipboard(nullptr))
        return "<closed>";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data)));
        GlobalUnlock(static_cast<HGLOBAL>(data));
    }
    CloseClipboard();
    return text;
}

// Puts the bytes on the clipboard as its only text; false when it would not take them.
inline bool PutClipboardText(const std::string& text)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return taken;
}

}
