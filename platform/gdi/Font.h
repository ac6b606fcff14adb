// A font made from a LOGFONT. Faces map to installed fonts ("Arial" and "System" to
// Liberation Sans, "FixedSys" to Liberation Mono); characters the face lacks, Chinese
// among them, are drawn from WenQuanYi Micro Hei. A positive height is the cell height,
// a negative one the character (em) height, 0 a 16-pixel cell. Escapement 900 draws
// text running upward.
#pragma once

#include "zorkit/platform/gdi/GdiObject.h"

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* font);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, const char* faceName);
    // pointSize is in tenths of a point at 96 pixels per inch.
    BOOL CreatePointFont(int pointSize, const char* faceName);
    int GetLogFont(LOGFONT* font) const { return GetObject(sizeof(LOGFONT), font); }
    operator HFONT() const;
    static CFont* FromHandle(HFONT handle) { return static_cast<CFont*>(CGdiObject::FromHandle(HGDIOBJ(handle))); }
};
