// Mouse cursors: the desktop's standard shapes and cursors compiled into a library as
// resources. The current cursor is what the on-screen backend shows.
#pragma once

#include <cstdint>
#include <vector>

#include "zorkit/platform/core/Geometry.h"

namespace zorkit {
struct CursorData;
}
typedef zorkit::CursorData* HCURSOR;

inline LPCTSTR MAKEINTRESOURCE(UINT id) { return reinterpret_cast<LPCTSTR>(std::uintptr_t(WORD(id))); }
inline bool IS_INTRESOURCE(LPCTSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }

inline const LPCTSTR IDC_ARROW = MAKEINTRESOURCE(32512);
inline const LPCTSTR IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const LPCTSTR IDC_WAIT = MAKEINTRESOURCE(32514);
inline const LPCTSTR IDC_CROSS = MAKEINTRESOURCE(32515);
inline const LPCTSTR IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline const LPCTSTR IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline const LPCTSTR IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline const LPCTSTR IDC_SIZENS = MAKEINTRESOURCE(32645);
inline const LPCTSTR IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const LPCTSTR IDC_NO = MAKEINTRESOURCE(32648);
inline const LPCTSTR IDC_HAND = MAKEINTRESOURCE(32649);

namespace zorkit {

// A cursor: a standard shape (its IDC_ number) or an image with a hot spot.
struct CursorData {
    UINT id;                            // IDC_ number or resource id
    bool standard;
    CPoint hotSpot;
    int width;
    int height;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB rows, top first; empty for standard shapes
};

// Makes cursor resource `id` loadable with LoadCursor(instance, MAKEINTRESOURCE(id)).
void RegisterCursorResource(UINT id, int width, int height, CPoint hotSpot, std::vector<std::uint32_t> argb);
void UnregisterCursorResource(UINT id);

}

// instance null: a standard shape (IDC_...); otherwise a registered cursor resource.
// Null when there is no such cursor. Cursors live as long as the process.
HCURSOR LoadCursor(void* instance, LPCTSTR name);
// Makes `cursor` the current one and returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
