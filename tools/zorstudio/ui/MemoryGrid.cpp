#include "tools/zorstudio/ui/MemoryGrid.h"

#include <algorithm>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/ui/ChangeColours.h"
#include "tools/zorstudio/ui/HexCell.h"

namespace zorstudio {
namespace {

constexpr int kAddressWidth = 40;
constexpr int kByteWidth = 23;

}

CMemoryGrid::CMemoryGrid(int rows) : CGridCtrl(rows + 1, kBytesPerRow + 1, 1, 1) {}

BOOL CMemoryGrid::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CGridCtrl::Create(rect, parent, id))
        return FALSE;
    SetColumnWidth(0, kAddressWidth);
    for (int col = 1; col <= kBytesPerRow; ++col) {
        SetItemText(0, col, tools::Hex(unsigned(col - 1), 1).c_str());
        SetColumnWidth(col, kByteWidth);
        for (int row = 1; row < GetRowCount(); ++row)
            SetItemState(row, col, 0);
    }
    Show(0, {}, {}, 2);
    return TRUE;
}

void CMemoryGrid::Show(WORD address, const std::vector<BYTE>& bytes, const std::vector<int>& changed, int addressDigits)
{
    m_address = address;
    const int cells = (GetRowCount() - 1) * kBytesPerRow;
    m_shown = std::min(int(bytes.size()), cells);
    for (int row = 1; row < GetRowCount(); ++row) {
        const int offset = (row - 1) * kBytesPerRow;
        SetItemText(row, 0, offset < m_shown ? tools::Hex(unsigned(address + offset) & 0xFFFF, addressDigits).c_str() : "");
    }
    for (int offset = 0; offset < cells; ++offset) {
        const CCellID cell = CellOf(offset);
        const bool known = offset < m_shown;
        SetItemText(cell.row, cell.col, known ? tools::Hex(bytes[std::size_t(offset)], 2).c_str() : "");
        const bool isChanged = std::find(changed.begin(), changed.end(), offset) != changed.end();
        SetItemFgColour(cell.row, cell.col, isChanged ? kChangedText : DefaultColour);
        SetItemBkColour(cell.row, cell.col, isChanged ? kChangedBack : DefaultColour);
    }
    Invalidate(FALSE);
}

void CMemoryGrid::OnEndEditCell(int row, int col, CString& text)
{
    const CString previous = GetItemText(row, col);
    const int offset = (row - 1) * kBytesPerRow + (col - 1);
    if (row >= 1 && col >= 1 && offset < m_shown) {
        const auto value = ParseHexCell(text.str(), 0xFF);
        if (value && onWrite && onWrite(WORD(m_address + offset), BYTE(*value)))
            SetItemText(row, col, tools::Hex(*value, 2).c_str());
    }
    text = previous;
}

}
