#include "zorkit/platform/gdi/Font.h"

#include <cstring>

#include "zorkit/platform/gdi/internal/GdiObjectData.h"

BOOL CFont::CreateFontIndirect(const LOGFONT* font)
{
    if (!font)
        return FALSE;
    LOGFONT copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = '\0';
    Adopt(std::make_shared<zorkit::FontData>(copy));
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, const char* faceName)
{
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strikeOut;
    font.lfCharSet = charSet;
    font.lfOutPrecision = outPrecision;
    font.lfClipPrecision = clipPrecision;
    font.lfQuality = quality;
    font.lfPitchAndFamily = pitchAndFamily;
    if (faceName)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&font);
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName)
{
    // Tenths of a point at 96 pixels per inch, as a character (em) height.
    const int pixels = (pointSize * 96 + 360) / 720;
    return CreateFont(-pixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, faceName);
}

CFont::operator HFONT() const
{
    return static_cast<HFONT>(m_data.get());
}
