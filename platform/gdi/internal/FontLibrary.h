// FreeType and fontconfig for the whole process: maps LOGFONT face names to installed
// fonts and caches faces and sized fonts. Private to the platform layer.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "zorkit/platform/gdi/internal/FontFace.h"
#include "zorkit/platform/gdi/GdiTypes.h"

namespace zorkit {

class ScaledFont;

class FontLibrary {
public:
    static FontLibrary& Instance();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // The sized font for a description; never null (an unknown face gets the default).
    std::shared_ptr<ScaledFont> Scaled(const LOGFONT& font);
    // The family a LOGFONT face name maps to.
    static std::string FamilyFor(const char* faceName);

private:
    FontLibrary();
    std::shared_ptr<FontFace> Match(const std::string& family, LONG weight, bool italic);

    using Key = std::tuple<std::string, LONG, LONG, LONG, LONG, BYTE, BYTE, BYTE>;
    std::mutex m_mutex;
    FtLibraryPtr m_library;
    FcConfigPtr m_config;
    std::map<std::string, std::shared_ptr<FontFace>> m_faces;  // by path and index
    std::map<Key, std::shared_ptr<ScaledFont>> m_scaled;
};

}
