// One font file opened with FreeType, with the table values GDI metrics come from.
// Private to the platform layer.
#pragma once

#include <string>

#include "zorkit/platform/gdi/internal/GdiHandles.h"

namespace zorkit {

class FontFace {
public:
    // Check IsOpen: a missing or unreadable file leaves the face closed.
    FontFace(FT_Library library, const std::string& path, int index);
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool IsOpen() const { return m_face != nullptr; }
    FT_Face Face() const { return m_face.get(); }
    const std::string& Path() const { return m_path; }
    int Index() const { return m_index; }
    bool HasChar(char32_t ch) const { return FT_Get_Char_Index(m_face.get(), ch) != 0; }
    bool IsFixedPitch() const { return FT_IS_FIXED_WIDTH(m_face.get()); }
    bool IsBold() const { return (m_face->style_flags & FT_STYLE_FLAG_BOLD) != 0; }

    int unitsPerEm = 2048;
    int winAscent = 0;
    int winDescent = 0;
    int hheaAscender = 0;
    int hheaDescender = 0;  // negative below the baseline
    int hheaLineGap = 0;
    int averageWidth = 0;
    int maximumAdvance = 0;

private:
    FtFacePtr m_face;
    std::string m_path;
    int m_index = 0;
};

}
