// One cell of the grid, and a row of cells. The grid owns both (Create/EmptyCell of
// CGridCtrl); a row holds one cell pointer per column, any of which may be null.
#pragma once

#include <vector>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/RuntimeClass.h"
#include "zorkit/platform/gdi/GdiTypes.h"

// Cell state bits; GetNextItem takes the same values as selectors.
constexpr UINT CellFocused = 0x01;   // the focus cell, framed in black
constexpr UINT CellSelected = 0x02;  // drawn in the highlight colours
constexpr UINT CellMarked = 0x04;    // drawn with an extra black frame
constexpr UINT CellReadOnly = 0x08;  // refuses in-place editing

// A cell colour of this value takes the grid's colour.
constexpr COLORREF DefaultColour = 0xFF000000;

// Centred both ways, one line, end ellipsis: DrawText flags as they are handed on.
constexpr UINT DefaultCellFormat = 0x8025;

class CGridCell : public CObject {
public:
    ~CGridCell() override = default;

    UINT m_nState = CellReadOnly;
    UINT m_nFormat = DefaultCellFormat;
    CString m_strText;
    int m_nImage = -1;
    COLORREF m_crBkClr = DefaultColour;
    COLORREF m_crFgClr = DefaultColour;
    LPARAM m_lParam = 0;
    LOGFONT m_lfFont{};
};

using CGridRow = std::vector<CGridCell*>;
