// The registers of the last stop in a grid: two columns of name and hex value pairs,
// short enough to show every register without scrolling; the values
// editable in place, the ones that changed at the stop highlighted. An edit goes to
// the host, which writes it to the board; the cell keeps what the board took.
#pragma once

#include <functional>

#include "tools/zorstudio/RegisterLayout.h"
#include "tools/zorstudio/TargetSnapshot.h"
#include "zorkit/grid/GridCtrl.h"

namespace zorstudio {

class CRegisterGrid : public CGridCtrl {
public:
    CRegisterGrid();

    // Writes value to the board; false when it could not (the cell then keeps its text).
    std::function<bool(const CRegisterField& field, unsigned value)> onWrite;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    // changed: indices into RegisterLayout(), as CSnapshotChanges::registers.
    void Show(const CTargetSnapshot& snapshot, const std::vector<int>& changed);
    // The value cell of a register; (0, 0), the heading, when the name is unknown.
    static CCellID CellOf(const char* name);

    void OnEndEditCell(int row, int col, CString& text) override;
};

}
