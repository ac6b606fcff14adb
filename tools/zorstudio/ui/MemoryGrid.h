// A page of memory in a grid: sixteen bytes a row under the address of the row, each
// byte editable in place, the bytes that changed at the last stop highlighted. An
// edit goes to the host, which writes it to the board; the cell keeps what the board
// took.
#pragma once

#include <functional>
#include <vector>

#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

class CMemoryGrid : public CGridCtrl {
public:
    static constexpr int kBytesPerRow = 16;

    // rows: rows of sixteen bytes the page holds.
    explicit CMemoryGrid(int rows);

    // Writes one byte to the board; false when it could not.
    std::function<bool(WORD address, BYTE value)> onWrite;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    // changed: offsets into bytes, as CSnapshotChanges gives them; addresses in
    // addressDigits hex digits. Cells past the bytes stay empty and cannot be edited.
    void Show(WORD address, const std::vector<BYTE>& bytes, const std::vector<int>& changed, int addressDigits);
    WORD Address() const { return m_address; }
    // The grid cell of the byte at offset from the page's start.
    static CCellID CellOf(int offset) { return CCellID(offset / kBytesPerRow + 1, offset % kBytesPerRow + 1); }

    void OnEndEditCell(int row, int col, CString& text) override;

private:
    WORD m_address = 0;
    int m_shown = 0;  // bytes shown from m_address
};

}
