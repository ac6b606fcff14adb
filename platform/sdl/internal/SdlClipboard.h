// The desktop's clipboard through SDL, as the window system's clipboard bridge.
#pragma once

#include "zorkit/platform/ui/Clipboard.h"

namespace zorkit::sdl {

class SdlClipboard final : public ClipboardBridge {
public:
    std::optional<std::string> ReadUtf8() override;
    void WriteUtf8(const std::string& text) override;
};

}
