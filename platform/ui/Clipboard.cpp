#include "zorkit/platform/ui/Clipboard.h"

#include <cstring>

#include "zorkit/platform/core/Gbk.h"

namespace {

struct ClipboardState {
    bool open = false;
    bool emptied = false;
    HWND opener = nullptr;
    HGLOBAL text = nullptr;  // owned; GBK with its NUL
    std::shared_ptr<zorkit::ClipboardBridge> bridge;
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

void DropText(ClipboardState& state)
{
    GlobalFree(state.text);
    state.text = nullptr;
}

HGLOBAL BlockFromGbk(const std::string& gbk)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, gbk.size() + 1);
    if (block) {
        std::memcpy(GlobalLock(block), gbk.c_str(), gbk.size() + 1);
        GlobalUnlock(block);
    }
    return block;
}

// The text up to its NUL (or the block's end).
std::string GbkFromBlock(HGLOBAL block)
{
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
    return text;
}

}

BOOL OpenClipboard(HWND owner)
{
    ClipboardState& state = State();
    if (state.open)
        return FALSE;
    state.open = true;
    state.emptied = false;
    state.opener = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    ClipboardState& state = State();
    if (!state.open)
        return FALSE;
    state.open = false;
    state.emptied = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& state = State();
    if (!state.open)
        return FALSE;
    DropText(state);
    state.emptied = true;
    if (state.bridge)
        state.bridge->WriteUtf8(std::string());
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    ClipboardState& state = State();
    if (!state.open || !state.emptied || format != CF_TEXT || !data)
        return nullptr;
    DropText(state);
    state.text = static_cast<HGLOBAL>(data);
    if (state.bridge)
        state.bridge->WriteUtf8(zorkit::Utf8FromGbk(GbkFromBlock(state.text)));
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    ClipboardState& state = State();
    if (!state.open || format != CF_TEXT)
        return nullptr;
    if (state.bridge) {
        // The desktop may have changed its text since we last looked.
        auto text = state.bridge->ReadUtf8();
        DropText(state);
        if (text)
            state.text = BlockFromGbk(zorkit::GbkFromUtf8(*text));
    }
    return state.text;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    ClipboardState& state = State();
    if (format != CF_TEXT)
        return FALSE;
    if (state.bridge) {
        auto text = state.bridge->ReadUtf8();
        return text && !text->empty();
    }
    return state.text != nullptr;
}

namespace zorkit {

void SetClipboardBridge(std::shared_ptr<ClipboardBridge> bridge) { State().bridge = std::move(bridge); }

}
