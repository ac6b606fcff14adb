// A static splitter: a grid of panes, each a view made by its run-time class, with
// child ids 0xE900 + 16 * row + column. Created with WS_VSCROLL / WS_HSCROLL, it keeps
// one vertical scroll bar per row (ids 0xEA00 + row) and one horizontal bar per column
// (0xEA10 + column), shared by the panes of that row or column: a pane's scroll-bar
// calls reach its shared bar, and a request from a bar goes to every pane in its row
// or column.
#pragma once

#include <memory>
#include <vector>

#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/View.h"

constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
constexpr UINT AFX_IDW_VSCROLL_FIRST = 0xEA00;
constexpr UINT AFX_IDW_HSCROLL_FIRST = 0xEA10;

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    BOOL CreateStatic(CWnd* parent, int rows, int cols, DWORD style = WS_CHILD | WS_VISIBLE,
                      UINT id = AFX_IDW_PANE_FIRST);
    virtual BOOL CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE initialSize,
                            CCreateContext* context);

    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_cols; }
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return int(AFX_IDW_PANE_FIRST) + 16 * row + col; }
    BOOL IsChildPane(CWnd* wnd, int* row, int* col) const;
    // The shared bar of a pane's row (SB_VERT) or column (SB_HORZ), or null.
    CScrollBar* GetSharedScrollBar(int bar, int row, int col) const;
    void SetRowInfo(int row, int ideal, int minimum);
    void SetColumnInfo(int col, int ideal, int minimum);
    virtual void RecalcLayout();

    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    static constexpr int kGap = 4;  // pixels between panes

private:
    int m_rows = 0;
    int m_cols = 0;
    std::vector<int> m_rowIdeal, m_colIdeal;
    std::vector<std::unique_ptr<CScrollBar>> m_vbars, m_hbars;
};
