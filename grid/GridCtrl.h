// CGridCtrl: a spreadsheet-like child window of cells, whose first rows and columns
// may be fixed headings that do not scroll.
//
//   CGridCtrl grid(20, 5, 1, 1);                  // rows, columns, fixed rows, fixed columns
//   grid.Create(CRect(0, 0, 400, 300), &parent, 100);
//   grid.SetItemText(1, 1, "0x3F");
//   grid.SetItemState(1, 1, 0);                   // new cells are read-only until cleared
//   grid.AutoSizeColumns();
//
// The grid owns its rows and cells; the image list stays the host's. It tells its
// owner (the owner window if set, else the parent) of focus changes and edits with
// WM_NOTIFY records (GridNotifyRecord) and of clicks with WM_COMMAND.
#pragma once

#include <climits>
#include <memory>
#include <vector>

#include "zorkit/grid/CellID.h"
#include "zorkit/grid/GridCell.h"
#include "zorkit/grid/GridTitleTip.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/ImageList.h"
#include "zorkit/platform/ui/Wnd.h"

// Grid-line modes.
constexpr int GridLinesNone = 0, GridLinesHorizontal = 1, GridLinesVertical = 2, GridLinesBoth = 3;

// Which fields of a GV_ITEM take part.
constexpr UINT ItemMaskText = 0x01, ItemMaskImage = 0x02, ItemMaskData = 0x04, ItemMaskState = 0x08,
               ItemMaskBkColour = 0x10, ItemMaskFgColour = 0x20, ItemMaskFormat = 0x40, ItemMaskFont = 0x80;

// GetNextItem directions (combined with cell state bits as selectors).
constexpr int SearchAbove = 0x100, SearchBelow = 0x200, SearchToLeft = 0x400, SearchToRight = 0x800,
              SearchAll = SearchBelow | SearchToRight;

// Notification codes of GridNotifyRecord.
constexpr int GridNotifyFocusEntered = -103, GridNotifyFocusLeaving = -104, GridNotifyBeginEdit = -105,
              GridNotifyEndEdit = -106;

// What the grid sends its owner with WM_NOTIFY (wParam: the grid's control identifier).
struct GridNotifyRecord {
    NMHDR hdr;
    int iRow;
    int iColumn;
    CString szText;
};

// Mouse modes.
constexpr int MouseIdle = 0, MouseSelecting = 1, MouseOverRowDivider = 3, MouseSizingRow = 4,
              MouseOverColumnDivider = 5, MouseSizingColumn = 6, MousePrepareEdit = 7;

class CGridCellEditor;

class CGridCtrl : public CWnd {
    DECLARE_DYNCREATE(CGridCtrl)
public:
    typedef struct _GV_ITEM {
        int row;
        int col;
        UINT mask;
        UINT state;
        UINT nFormat;
        CString szText;
        int iImage;
        COLORREF crBkClr;
        COLORREF crFgClr;
        LPARAM lParam;
        LOGFONT lfFont;
    } GV_ITEM;

    CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
    ~CGridCtrl() override;

    BOOL Create(const RECT& rect, CWnd* parent, UINT nID, DWORD dwStyle = WS_CHILD | WS_TABSTOP | WS_VISIBLE);
    BOOL SubclassWindow(HWND hWnd);
    void PreSubclassWindow() override;
    // A key pressed while the title tip shows hides it.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Counts.
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    BOOL SetRowCount(int nRows = 10);
    BOOL SetColumnCount(int nCols = 10);
    BOOL SetFixedRowCount(int nFixedRows = 1);
    BOOL SetFixedColumnCount(int nFixedCols = 1);

    // Sizes in pixels; -1 (get) or FALSE (set) out of range.
    int GetRowHeight(int nRow) const;
    BOOL SetRowHeight(int row, int height);
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetVirtualWidth() const;
    long GetVirtualHeight() const;

    // Geometry in client pixels; cell rectangles are inclusive.
    BOOL GetCellOrigin(int nRow, int nCol, LPPOINT p);
    BOOL GetCellOrigin(const CCellID& cell, LPPOINT p) { return GetCellOrigin(cell.row, cell.col, p); }
    BOOL GetCellRect(int nRow, int nCol, LPRECT pRect);
    BOOL GetCellRect(const CCellID& cell, LPRECT pRect) { return GetCellRect(cell.row, cell.col, pRect); }
    BOOL IsCellVisible(int nRow, int nCol);
    BOOL IsCellVisible(const CCellID& cell) { return IsCellVisible(cell.row, cell.col); }
    CCellID GetTopleftNonFixedCell();
    CCellRange GetVisibleNonFixedCellRange(LPRECT pRect = nullptr);
    CCellRange GetUnobstructedNonFixedCellRange();

    // Grid-wide settings.
    void SetTextColor(COLORREF clr) { m_crTextColour = clr; }
    COLORREF GetTextColor() const { return m_crTextColour; }
    void SetTextBkColor(COLORREF clr) { m_crTextBkColour = clr; }
    COLORREF GetTextBkColor() const { return m_crTextBkColour; }
    void SetBkColor(COLORREF clr) { m_crBkColour = clr; }
    COLORREF GetBkColor() const { return m_crBkColour; }
    void SetFixedTextColor(COLORREF clr) { m_crFixedTextColour = clr; }
    COLORREF GetFixedTextColor() const { return m_crFixedTextColour; }
    void SetFixedBkColor(COLORREF clr) { m_crFixedBkColour = clr; }
    COLORREF GetFixedBkColor() const { return m_crFixedBkColour; }
    void SetGridColor(COLORREF clr) { m_crGridColour = clr; }
    COLORREF GetGridColor() const { return m_crGridColour; }
    void SetGridLines(int nWhichLines = GridLinesBoth);
    int GetGridLines() const { return m_nGridLines; }
    void SetEditable(BOOL bEditable = TRUE) { m_bEditable = bEditable; }
    BOOL IsEditable() const { return m_bEditable; }
    void SetModified(BOOL bModified = TRUE) { m_bModified = bModified; }
    BOOL GetModified() const { return m_bModified; }
    void SetRowResize(BOOL bResize = TRUE) { m_bAllowRowResize = bResize; }
    BOOL GetRowResize() const { return m_bAllowRowResize; }
    void SetColumnResize(BOOL bResize = TRUE) { m_bAllowColumnResize = bResize; }
    BOOL GetColumnResize() const { return m_bAllowColumnResize; }
    void SetHandleTabKey(BOOL bHandleTab = TRUE) { m_bHandleTabKey = bHandleTab; }
    BOOL GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetDoubleBuffering(BOOL bBuffer = TRUE) { m_bDoubleBuffer = bBuffer; }
    BOOL GetDoubleBuffering() const { return m_bDoubleBuffer; }
    void EnableTitleTips(BOOL bEnable = TRUE) { m_bTitleTips = bEnable; }
    BOOL GetTitleTips() const { return m_bTitleTips; }
    void SetImageList(CImageList* pList) { m_pImageList = pList; }
    CImageList* GetImageList() const { return m_pImageList; }
    int GetMouseMode() const { return m_MouseMode; }

    // Cells.
    BOOL IsValid(int nRow, int nCol) const;
    BOOL IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    BOOL IsValid(const CCellRange& range) const;
    BOOL IsCellEditable(int nRow, int nCol) const;
    BOOL IsCellEditable(const CCellID& cell) const { return IsCellEditable(cell.row, cell.col); }
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    CCellRange GetCellRange() const { return CCellRange(0, 0, m_nRows - 1, m_nCols - 1); }
    CCellID GetNextItem(const CCellID& cell, int nFlags) const;

    // Items; a position without a cell gives FALSE or the getter's neutral value.
    BOOL SetItem(const GV_ITEM* pItem);
    BOOL GetItem(GV_ITEM* pItem);
    BOOL SetItemText(int nRow, int nCol, LPCTSTR str);
    virtual CString GetItemText(int nRow, int nCol);
    BOOL SetItemData(int nRow, int nCol, LPARAM lParam);
    LPARAM GetItemData(int nRow, int nCol) const;
    BOOL SetItemImage(int nRow, int nCol, int iImage);
    int GetItemImage(int nRow, int nCol) const;
    BOOL SetItemState(int nRow, int nCol, UINT state);
    UINT GetItemState(int nRow, int nCol) const;
    BOOL SetItemFormat(int nRow, int nCol, UINT nFormat);
    UINT GetItemFormat(int nRow, int nCol) const;
    BOOL SetItemBkColour(int nRow, int nCol, COLORREF cr = DefaultColour);
    COLORREF GetItemBkColour(int nRow, int nCol) const;
    BOOL SetItemFgColour(int nRow, int nCol, COLORREF cr = DefaultColour);
    COLORREF GetItemFgColour(int nRow, int nCol) const;
    BOOL SetItemFont(int nRow, int nCol, const LOGFONT* lf);
    LOGFONT* GetItemFont(int nRow, int nCol);

    // Rows and columns.
    int InsertColumn(LPCTSTR strHeading, UINT nFormat = 0x25, int nColumn = -1);
    int InsertRow(LPCTSTR strHeading, int nHeight = 0);
    BOOL DeleteColumn(int nColumn);
    BOOL DeleteRow(int nRow);
    BOOL DeleteNonFixedRows();
    BOOL DeleteAllItems();

    // Sizing.
    BOOL AutoSizeRow(int nRow);
    BOOL AutoSizeColumn(int nCol);
    void AutoSizeRows();
    void AutoSizeColumns();
    void AutoSize();
    void ExpandColumnsToFit();
    void ExpandRowsToFit();
    void ExpandToFit();
    CSize GetTextExtent(LPCTSTR str, BOOL bUseNormalWeight = FALSE);

    // Painting.
    void SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars = FALSE);
    BOOL RedrawCell(int nRow, int nCol, CDC* pDC = nullptr);
    BOOL RedrawCell(const CCellID& cell, CDC* pDC = nullptr) { return RedrawCell(cell.row, cell.col, pDC); }
    BOOL RedrawRow(int row);
    BOOL RedrawColumn(int col);

    // Scrolls line by line until the cell is in view.
    void EnsureVisible(int nRow, int nCol);
    void EnsureVisible(const CCellID& cell) { EnsureVisible(cell.row, cell.col); }

    // Overridables, in the class's slot order.
    virtual void OnFixedColumnClick(CCellID& cell);
    virtual void OnFixedRowClick(CCellID& cell);
    virtual CSize GetCellExtent(int nRow, int nCol, CDC* pDC);
    // Stores text in the cell and hands back the cell's previous text in it.
    virtual void OnEndEditCell(int nRow, int nCol, CString& str);
    // Opens the cell editor over the cell; nChar is the key that asked for it.
    virtual void OnEditCell(int nRow, int nCol, UINT nChar);
    virtual void CreateInPlaceEditControl(CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                          LPCTSTR szText, int nChar);
    virtual void OnDraw(CDC* pDC);
    virtual BOOL DrawFixedCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual BOOL DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk = FALSE);
    virtual CGridCell* CreateCell(int nRow, int nCol);
    virtual void EmptyCell(CGridCell* pCell, int nRow, int nCol);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    BOOL RegisterWindowClass();
    void ReadSystemColours();
    void ReadWheelSetting();

    CGridCell* GetCell(int nRow, int nCol) const;
    BOOL SetCell(int nRow, int nCol, CGridCell* pCell);

    // Focus.
    CCellID SetFocusCell(CCellID cell);
    CCellID SetFocusCell(int nRow, int nCol) { return SetFocusCell(CCellID(nRow, nCol)); }
    CCellID SetFocusCell();
    LRESULT SendMessageToParent(int nRow, int nCol, int nMessage, LPCTSTR text = "");
    int SetMouseMode(int nMode);

    // Geometry and scrolling.
    BOOL GetCellRangeRect(const CCellRange& cellRange, LPRECT lpRect);
    CCellID GetCellFromPt(CPoint point, BOOL bAllowFixedCellCheck = TRUE);
    int GetScrollPos32(int nBar, BOOL bGetTrackPos = FALSE);
    BOOL SetScrollPos32(int nBar, int nPos, BOOL bRedraw = TRUE);
    void ResetScrollBars();
    BOOL InvalidateCellRect(const CCellID& cell);
    BOOL InvalidateCellRect(const CCellRange& cellRange);
    void EraseBkgnd(CDC* pDC);

    // Message handlers.
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    LRESULT OnSetFont(WPARAM hFont, LPARAM lParam);
    LRESULT OnGetFont(WPARAM hFont, LPARAM lParam);
    void OnSysColorChange();
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    void OnCaptureChanged(CWnd* pWnd);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    UINT OnGetDlgCode();
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnMouseLeave(WPARAM, LPARAM);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult);

    COLORREF m_crTextColour;
    COLORREF m_crTextBkColour;
    COLORREF m_crBkColour;
    COLORREF m_crFixedTextColour;
    COLORREF m_crFixedBkColour;
    COLORREF m_crGridColour;
    // The system colours the grid colours came from, so that a change of the system
    // colours moves only the grid colours the host left alone.
    COLORREF m_crWindowText;
    COLORREF m_crWindowColour;
    COLORREF m_cr3DFace;
    COLORREF m_crShadow;

    int m_nGridLines = GridLinesBoth;
    BOOL m_bEditable = TRUE;
    BOOL m_bModified = FALSE;
    BOOL m_bAllowDraw = TRUE;
    BOOL m_bHandleTabKey = TRUE;
    BOOL m_bDoubleBuffer = TRUE;
    BOOL m_bTitleTips = TRUE;

    std::vector<UINT> m_arRowHeights;
    std::vector<UINT> m_arColWidths;
    int m_nRows = 0;
    int m_nFixedRows = 0;
    int m_nCols = 0;
    int m_nFixedCols = 0;

    int m_nMargin = 0;
    int m_nDefCellWidth = 10;
    int m_nDefCellHeight = 12;
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;

    LOGFONT m_Logfont{};
    std::unique_ptr<CFont> m_Font;
    CImageList* m_pImageList = nullptr;

    // Row pointers, each a row of cell pointers; the grid news and deletes both.
    std::vector<CGridRow*> m_RowData;

    int m_MouseMode = MouseIdle;
    CPoint m_LeftClickDownPoint;
    CPoint m_LastMousePoint;
    CCellID m_LeftClickDownCell;
    CCellID m_idCurrentCell;

    BOOL m_bAllowRowResize = TRUE;
    BOOL m_bAllowColumnResize = TRUE;
    int m_nResizeCaptureRange = 3;
    int m_nRowsPerWheelNotch = 3;
    CGridTitleTip m_TitleTip;

private:
    // One field of the cell at a position: what the item getters and setters share.
    template <typename T>
    T CellField(int nRow, int nCol, T CGridCell::*field, T absent) const
    {
        const CGridCell* cell = GetCell(nRow, nCol);
        return cell ? cell->*field : absent;
    }
    template <typename T>
    BOOL SetCellField(int nRow, int nCol, T CGridCell::*field, T value)
    {
        CGridCell* cell = GetCell(nRow, nCol);
        if (!cell)
            return FALSE;
        cell->*field = value;
        return TRUE;
    }
    // Where the first non-fixed row (column) shown begins, remembered between calls
    // so that scrolling a long grid walks only past the rows it moves over.
    struct ScrollAnchor {
        long generation = -1;
        int index = 0;
        long offset = 0;
    };
    int FirstShown(const std::vector<UINT>& sizes, int fixedCount, int count, int pos, ScrollAnchor& anchor) const;
    // Every change of a size, a count or a fixed count calls this.
    void SizesChanged()
    {
        CheckSizesMatchCounts();
        ++m_sizesGeneration;
    }
    // Debug builds stop when the size arrays and the counts disagree (a derived grid
    // that changed one of them directly).
    void CheckSizesMatchCounts() const;
    long m_sizesGeneration = 0;
    ScrollAnchor m_rowAnchor;
    ScrollAnchor m_colAnchor;

    // The grid font with the given weight, or the grid's own font object when weight is 0.
    std::unique_ptr<CFont> MakeFont(const LOGFONT& lf, LONG weight) const;
    void DestroyRow(CGridRow* row, int nRow);
    void UnmarkFocusCell();
    void ReapplyFocus();
    void DrawImageAndText(CDC* pDC, CRect& rect, const GV_ITEM& item);
    void RepaintAll();
    // The cells from row fromRow down and from column fromCol right are about to go or
    // move: an editor over one of them must not store into another cell, and an edit
    // about to begin on one must not open on whatever takes its place. Editors over
    // other cells stay open.
    void AbandonCellEditors(int fromRow, int fromCol);
    // The cell an edit is about to begin on while its owner hears of it; (-1, -1) once
    // that cell went or moved.
    CCellID m_editStarting;
    // The open cell editors' windows.
    std::vector<CGridCellEditor*> CellEditors() const;
    // The mode the pointer at a client point gives while no button is held: over a
    // column or row divider, or idle; false when the point's cell has no origin.
    bool HoverModeAt(CPoint point, int& mode);
    static LPCTSTR CursorFor(int mode);
    // Inverts the 2-pixel band that follows a divider being dragged.
    void InvertSizingBand(CPoint at);
    // Whether a point lies on the divider before or after the cell at origin with size.
    bool OnDivider(int at, int origin, int size, int index) const;
    void ScrollAlong(int bar, UINT code);
    // Sets every size of one axis to `share` when the spare room allows; true when it did.
    bool ExpandAxisToFit(bool rows, int spare, int minimumSpare);
    // ResetScrollBars is running on this grid (another grid's may run inside it).
    bool m_resettingScrollBars = false;
    bool CanDraw() const { return m_bAllowDraw && ::IsWindow(m_hWnd); }
};
