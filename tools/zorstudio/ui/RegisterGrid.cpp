#include "tools/zorstudio/ui/RegisterGrid.h"

#include <algorithm>
#include <cstring>

#include "tools/zorstudio/ui/ChangeColours.h"
#include "tools/zorstudio/ui/HexCell.h"

namespace zorstudio {
namespace {

constexpr int kValueColumn = 1;
constexpr int kNameWidth = 48;
constexpr int kValueWidth = 52;

}

CRegisterGrid::CRegisterGrid() : CGridCtrl(int(RegisterLayout().size()) + 1, 2, 1, 1) {}

BOOL CRegisterGrid::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CGridCtrl::Create(rect, parent, id))
        return FALSE;
    SetItemText(0, 0, "Reg");
    SetItemText(0, kValueColumn, "Value");
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const int row = int(i) + 1;
        SetItemText(row, 0, layout[i].name);
        SetItemText(row, kValueColumn, "");
        SetItemState(row, kValueColumn, 0);
    }
    SetColumnWidth(0, kNameWidth);
    SetColumnWidth(kValueColumn, kValueWidth);
    return TRUE;
}

int CRegisterGrid::RowOf(const char* name)
{
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (std::strcmp(layout[i].name, name) == 0)
            return int(i) + 1;
    return 0;
}

void CRegisterGrid::Show(const CTargetSnapshot& snapshot, const std::vector<int>& changed)
{
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const int row = int(i) + 1;
        const CRegisterField& field = layout[i];
        SetItemText(row, kValueColumn,
                    snapshot.valid ? HexText(RegisterValue(snapshot.registers, field), 2 * field.size).c_str() : "");
        const bool isChanged = std::find(changed.begin(), changed.end(), int(i)) != changed.end();
        SetItemFgColour(row, kValueColumn, isChanged ? kChangedText : DefaultColour);
        SetItemBkColour(row, kValueColumn, isChanged ? kChangedBack : DefaultColour);
    }
    Invalidate(FALSE);
}

void CRegisterGrid::OnEndEditCell(int row, int col, CString& text)
{
    const auto& layout = RegisterLayout();
    const CString previous = GetItemText(row, col);
    if (col == kValueColumn && row >= 1 && row <= int(layout.size())) {
        const CRegisterField& field = layout[std::size_t(row - 1)];
        const auto value = ParseHexCell(text.str(), field.size == 2 ? 0xFFFFu : 0xFFu);
        if (value && onWrite && onWrite(field, *value))
            SetItemText(row, col, HexText(*value, 2 * field.size).c_str());
    }
    text = previous;
}

}
