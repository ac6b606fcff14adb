#include "zorkit/platform/gdi/internal/FontLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "zorkit/platform/gdi/internal/ScaledFont.h"

namespace zorkit {
namespace {

// The desktop's face names and the installed families that stand in for them.
struct Alias {
    const char* face;
    const char* family;
};
constexpr Alias kAliases[] = {
    {"", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"ms shell dlg", "Liberation Sans"},
    {"fixedsys", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"courier new", "Liberation Mono"},
    {"terminal", "Liberation Mono"},
    {"times new roman", "Liberation Serif"},
};
constexpr const char* kFallbackFamily = "WenQuanYi Micro Hei";

std::string Lower(const char* text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

}

FontLibrary& FontLibrary::Instance()
{
    // Never destroyed: static objects (the stock fonts among them) hold sized fonts whose
    // faces must outlive them, whatever order the statics end in.
    static FontLibrary* library = new FontLibrary;
    return *library;
}

FontLibrary::FontLibrary()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0)
        m_library.reset(library);
    m_config.reset(FcInitLoadConfigAndFonts());
}

std::string FontLibrary::FamilyFor(const char* faceName)
{
    const std::string face = Lower(faceName ? faceName : "");
    for (const Alias& alias : kAliases)
        if (face == alias.face)
            return alias.family;
    return faceName;
}

std::shared_ptr<FontFace> FontLibrary::Match(const std::string& family, LONG weight, bool italic)
{
    FcPatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight ? int(weight) : FW_NORMAL));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(m_config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(m_config.get(), pattern.get(), &result));
    if (!match)
        return nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    std::shared_ptr<FontFace> face;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
        const std::string path = reinterpret_cast<const char*>(file);
        auto& slot = m_faces[path + "#" + std::to_string(index)];
        if (!slot) {
            auto opened = std::make_shared<FontFace>(m_library.get(), path, index);
            if (opened->IsOpen())
                slot = opened;
        }
        face = slot;
    }
    return face;
}

std::shared_ptr<ScaledFont> FontLibrary::Scaled(const LOGFONT& font)
{
    char face[LF_FACESIZE + 1] = {};
    std::copy(font.lfFaceName, font.lfFaceName + LF_FACESIZE, face);
    const std::string family = FamilyFor(face);
    const Key key{family, font.lfHeight, font.lfWidth, font.lfEscapement, font.lfWeight,
                  font.lfItalic, font.lfUnderline, font.lfStrikeOut};
    std::lock_guard<std::mutex> lock(m_mutex);
    auto& slot = m_scaled[key];
    if (slot)
        return slot;
    auto primary = Match(family, font.lfWeight, font.lfItalic != 0);
    if (!primary)
        primary = Match(kAliases[0].family, font.lfWeight, font.lfItalic != 0);
    if (!primary) {
        std::fprintf(stderr, "zorkit: no font found for \"%s\"; install fonts-liberation\n", face);
        std::abort();
    }
    auto fallback = Match(kFallbackFamily, font.lfWeight, false);
    slot = std::make_shared<ScaledFont>(m_library.get(), primary, fallback, font);
    return slot;
}

}
