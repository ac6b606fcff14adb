#include "tools/zorstudio/ui/RegisterGrid.h"

#include <algorithm>
#include <cstring>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/ChangeColours.h"
#include "tools/zorstudio/ui/HexCell.h"

namespace zorstudio {
namespace {

constexpr int kNameWidth = 48;
constexpr int kValueWidth = 52;
constexpr int kPairs = 2;

// Registers a name and value column pair holds, down from the heading.
int RowsPerPair() { return (int(RegisterLayout().size()) + kPairs - 1) / kPairs; }

// The value cell of the register at index in RegisterLayout(); its name is to the left.
CCellID ValueCell(std::size_t index)
{
    return CCellID(int(index) % RowsPerPair() + 1, 2 * (int(index) / RowsPerPair()) + 1);
}

}

CRegisterGrid::CRegisterGrid() : CGridCtrl(RowsPerPair() + 1, 2 * kPairs, 1, 0) {}

BOOL CRegisterGrid::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CGridCtrl::Create(rect, parent, id))
        return FALSE;
    for (int pair = 0; pair < kPairs; ++pair) {
        SetItemText(0, 2 * pair, TrGbk("Reg").c_str());
        SetItemText(0, 2 * pair + 1, TrGbk("Value").c_str());
        SetColumnWidth(2 * pair, kNameWidth);
        SetColumnWidth(2 * pair + 1, kValueWidth);
    }
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const CCellID value = ValueCell(i);
        SetItemText(value.row, value.col - 1, layout[i].name);
        SetItemState(value.row, value.col, 0);
    }
    return TRUE;
}

CCellID CRegisterGrid::CellOf(const char* name)
{
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i)
        if (std::strcmp(layout[i].name, name) == 0)
            return ValueCell(i);
    return CCellID(0, 0);
}

void CRegisterGrid::Show(const CTargetSnapshot& snapshot, const std::vector<int>& changed)
{
    const auto& layout = RegisterLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const CCellID cell = ValueCell(i);
        const CRegisterField& field = layout[i];
        SetItemText(cell.row, cell.col,
                    snapshot.valid ? tools::Hex(RegisterValue(snapshot.registers, field), 2 * field.size).c_str() : "");
        const bool isChanged = std::find(changed.begin(), changed.end(), int(i)) != changed.end();
        SetItemFgColour(cell.row, cell.col, isChanged ? kChangedText : DefaultColour);
        SetItemBkColour(cell.row, cell.col, isChanged ? kChangedBack : DefaultColour);
    }
    Invalidate(FALSE);
}

void CRegisterGrid::OnEndEditCell(int row, int col, CString& text)
{
    const auto& layout = RegisterLayout();
    const CString previous = GetItemText(row, col);
    const std::size_t index = std::size_t((col / 2) * RowsPerPair() + row - 1);
    if (col % 2 == 1 && row >= 1 && index < layout.size()) {
        const CRegisterField& field = layout[index];
        const auto value = ParseHexCell(text.str(), field.size == 2 ? 0xFFFFu : 0xFFu);
        if (value && onWrite && onWrite(field, *value))
            SetItemText(row, col, tools::Hex(*value, 2 * field.size).c_str());
    }
    text = previous;
}

}
