// The in-place cell editor: a single-line edit laid over a grid cell. It ends when it
// loses the keyboard focus (Tab, Return or Escape released, Escape pressed, Ctrl with
// an arrow or Page Up/Down, a click elsewhere), tells the grid with an EditEndRecord,
// closes, and deletes itself when its window is gone: create it with new and forget it.
#pragma once

#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/ui/Edit.h"

// The control identifier of every cell editor.
constexpr UINT InPlaceEditId = 8887;

// What the editor sends its owner (the grid) with WM_NOTIFY when the edit ends: the
// final text and, in the data field, the key that ended it (0 for none).
struct EditEndRecord {
    NMHDR hdr;
    CGridCtrl::GV_ITEM item;
};

class CGridCellEditor : public CEdit {
public:
    CGridCellEditor(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn, CString sInitText,
                    UINT nFirstChar);

    ~CGridCellEditor() override = default;

    // The edited cell is gone: the edit ends without a cell to store into.
    void Abandon();
    CCellID GetCell() const { return CCellID(m_nRow, m_nColumn); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    void PostNcDestroy() override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);

private:
    void Open(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, UINT nFirstChar);
    void EndEdit();
    // Hands the focus back to the grid, which ends the edit.
    void Finish(UINT lastChar);

    int m_nRow;
    int m_nColumn;
    CString m_sInitText;
    UINT m_nLastChar = 0;
    // Tab or Return, while it is held down in the editor.
    UINT m_nEndingKeyDown = 0;
    BOOL m_bExitOnArrows = FALSE;
    // While the constructor runs, a window closed under it (by whoever hears of its text)
    // leaves the object to the caller, who sees it without a window.
    bool m_bOpening = false;
};
