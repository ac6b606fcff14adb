// The clipboard with plain text (CF_TEXT: GBK bytes ending in NUL). Open it, then
// empty and set, or read; close it. An on-screen backend bridges it to the desktop's
// clipboard, which speaks UTF-8.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "zorkit/platform/core/GlobalMemory.h"

constexpr UINT CF_TEXT = 1;

// FALSE while another window has it open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Only while open: drops the data and makes the opener its owner.
BOOL EmptyClipboard();
// Only while open and after EmptyClipboard; the clipboard takes the block. Only CF_TEXT.
HANDLE SetClipboardData(UINT format, HANDLE data);
// Only while open; the clipboard keeps the block. Null without text.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

namespace zorkit {

// The desktop's clipboard as an on-screen backend reaches it.
class ClipboardBridge {
public:
    virtual ~ClipboardBridge() = default;
    // The desktop's text, or nothing when it holds none.
    virtual std::optional<std::string> ReadUtf8() = 0;
    virtual void WriteUtf8(const std::string& text) = 0;
};

// Installs a bridge (null removes it); the clipboard is then the desktop's.
void SetClipboardBridge(std::shared_ptr<ClipboardBridge> bridge);

}
