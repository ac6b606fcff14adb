// The watches of a C program's stop in a grid: name, value and type of the chosen
// frame's locals, then of the globals (their names in blue). A scalar's value is
// editable in place; the edit goes to the host, which writes it to the board, and the
// cell shows what is read back at the next view.
#pragma once

#include <functional>
#include <string>

#include "tools/zorstudio/SourceStepper.h"
#include "zorkit/grid/GridCtrl.h"

namespace zorstudio {

class CWatchGrid : public CGridCtrl {
public:
    static constexpr int kNameColumn = 0, kValueColumn = 1, kTypeColumn = 2;
    static constexpr COLORREF kGlobalName = RGB(0, 0, 160);

    CWatchGrid();

    // Writes the typed value to the variable; false when it was refused at once.
    std::function<bool(const std::string& name, const std::string& value)> onWrite;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    // Null: no C program stands stopped.
    void Show(const CSourceStop* stop);
    // The row of a watch by its name (a local before a global); -1 when none.
    int RowOf(const std::string& name, bool global) const;

    void OnEndEditCell(int row, int col, CString& text) override;

private:
    std::vector<CWatchValue> m_shown;
};

}
