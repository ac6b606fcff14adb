#include "zorkit/platform/gdi/internal/FontFace.h"

#include FT_TRUETYPE_TABLES_H

namespace zorkit {

FontFace::FontFace(FT_Library library, const std::string& path, int index) : m_path(path), m_index(index)
{
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), index, &face) != 0)
        return;
    m_face.reset(face);
    unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    hheaAscender = face->ascender;
    hheaDescender = face->descender;
    hheaLineGap = face->height - (face->ascender - face->descender);
    maximumAdvance = face->max_advance_width;
    winAscent = hheaAscender;
    winDescent = -hheaDescender;
    averageWidth = unitsPerEm / 2;
    if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
        hheaAscender = hhea->Ascender;
        hheaDescender = hhea->Descender;
        hheaLineGap = hhea->Line_Gap;
        maximumAdvance = hhea->advance_Width_Max;
    }
    // The OS/2 table's win metrics make GDI's cell; fonts without one fall back to hhea.
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0)
            averageWidth = os2->xAvgCharWidth;
    }
}

}
