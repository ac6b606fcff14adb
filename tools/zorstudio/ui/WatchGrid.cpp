#include "tools/zorstudio/ui/WatchGrid.h"

#include "tools/zorstudio/Translation.h"

namespace zorstudio {
namespace {

constexpr int kNameWidth = 72;
constexpr int kValueWidth = 150;
constexpr int kTypeWidth = 96;

}

CWatchGrid::CWatchGrid() : CGridCtrl(1, 3, 1, 0) {}

BOOL CWatchGrid::Create(const RECT& rect, CWnd* parent, UINT id)
{
    if (!CGridCtrl::Create(rect, parent, id))
        return FALSE;
    SetItemText(0, kNameColumn, TrGbk("Name").c_str());
    SetItemText(0, kValueColumn, TrGbk("Value").c_str());
    SetItemText(0, kTypeColumn, TrGbk("Type").c_str());
    SetColumnWidth(kNameColumn, kNameWidth);
    SetColumnWidth(kValueColumn, kValueWidth);
    SetColumnWidth(kTypeColumn, kTypeWidth);
    return TRUE;
}

void CWatchGrid::Show(const CSourceStop* stop)
{
    m_shown = stop ? stop->watches : std::vector<CWatchValue>{};
    SetRowCount(int(m_shown.size()) + 1);
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        const int row = int(i) + 1;
        const CWatchValue& watch = m_shown[i];
        SetItemText(row, kNameColumn, watch.name.c_str());
        SetItemText(row, kValueColumn, watch.value.c_str());
        SetItemText(row, kTypeColumn, watch.type.c_str());
        SetItemFgColour(row, kNameColumn, watch.global ? kGlobalName : DefaultColour);
        for (int col : {kNameColumn, kValueColumn, kTypeColumn})
            SetItemState(row, col, col == kValueColumn && watch.editable ? 0 : CellReadOnly);
    }
    Invalidate(FALSE);
}

int CWatchGrid::RowOf(const std::string& name, bool global) const
{
    for (std::size_t i = 0; i < m_shown.size(); ++i)
        if (m_shown[i].name == name && m_shown[i].global == global)
            return int(i) + 1;
    return -1;
}

void CWatchGrid::OnEndEditCell(int row, int col, CString& text)
{
    const CString previous = GetItemText(row, col);
    if (col == kValueColumn && row >= 1 && std::size_t(row) <= m_shown.size() && onWrite)
        onWrite(m_shown[std::size_t(row) - 1].name, text.str());
    // The cell shows what the board holds, read back after the write.
    text = previous;
}

}
