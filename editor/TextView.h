// CTextView: a window that shows a CTextBuf. Text is GBK bytes drawn in the view's font
// (a double-byte character is one glyph and two byte positions), tabs expanded to
// the tab size, a 20-pixel margin on the left with marker images for the line flags,
// and line colours for the flags LINEMARK_DOT (white on red) and LINEMARK_TRIANGLE
// (white on light blue). It scrolls by whole lines vertically and by pixels
// sideways; panes of a splitter that show one buffer follow each other.
//
//   CTextBuf buffer;
//   buffer.LoadFromFile("listing.lst");
//   CTextView* view = ...;               // a splitter pane, or Create(...) as a child
//   view->AttachToBuffer(&buffer);
//   buffer.SetLineFlags(12, LINEMARK_ARROW, TRUE);
//
// Positions are CPoint(byte in line, line), as in the buffer. A view without a buffer
// (or over a buffer without lines) shows one empty line.
#pragma once

#include <memory>
#include <vector>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/ImageList.h"
#include "zorkit/platform/core/CmdUI.h"
#include "zorkit/platform/ui/View.h"

class CTextBuf;
class CUpdateContext;

// Commands the text views handle from the host's menus, accelerators and status bar.
constexpr UINT ID_EDIT_COPY = 0xE122;
constexpr UINT ID_EDIT_CUT = 0xE123;
constexpr UINT ID_EDIT_PASTE = 0xE125;
constexpr UINT ID_EDIT_SELECT_ALL = 0xE12A;
constexpr UINT ID_EDIT_UNDO = 0xE12B;
constexpr UINT ID_EDIT_REDO = 0xE12C;
constexpr UINT ID_INDICATOR_CARET = 0xE733;

class CTextView : public CView {
    DECLARE_DYNCREATE(CTextView)
public:
    CTextView();
    ~CTextView() override;

    // Painting of one line's text area or margin into dc; line -1 is the space below
    // the last line.
    virtual void DrawSingleLine(CDC* dc, const CRect& rect, int line);
    virtual void DrawMargin(CDC* dc, const CRect& rect, int line);
    // Draws count bytes of chars from offset at origin (advanced past them), splitting
    // the run where the selection starts and ends; textPos is the position of the
    // run's first byte.
    virtual void DrawLineHelper(CDC* dc, CPoint& origin, const CRect& clip, int colorIndex, const char* chars,
                                int offset, int count, CPoint textPos);
    virtual COLORREF GetColor(int index) const;
    virtual int GetLineLength(int line) const;
    virtual char* GetLineChars(int line) const;
    virtual void GetLineColors(int line, COLORREF& background, COLORREF& text, BOOL& toEdge);
    virtual int GetLineCount() const;
    // The text from start to end of the attached buffer, lines joined by CR LF.
    virtual void GetText(const CPoint& start, const CPoint& end, CString& text);
    // The clipboard's plain text (CF_TEXT); FALSE when it could not be read or set, and
    // GetFromClip's FALSE too when the text is empty.
    virtual int GetFromClip(CString& text);
    virtual int PutToClip(const char* text);
    virtual int TextInClip();
    virtual void OnUpdateSibling(CTextView* source, BOOL vertical);
    virtual void ResetView();
    virtual void UpdateSiblingScrollPos(BOOL vertical);
    virtual CTextBuf* LocateTextBuffer();
    // Called by CTextBuf::UpdateViews on every attached view, the source view included:
    // source is the view that made the change (or null), context moves positions past an
    // edit (or null), hints are TBU_* bits and line the first line concerned (-1: all).
    virtual void UpdateView(CTextView* source, CUpdateContext* context, unsigned long hints, int line);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;

    // Font and tabs.
    void SetFont(const LOGFONT& font);
    int GetTabSize() const { return m_tabSize; }
    // Sizes below 1 are refused.
    void SetTabSize(int tabSize);

    // Buffer.
    void AttachToBuffer(CTextBuf* buffer);
    // Virtual so that a buffer, which calls it as it goes, needs none of the view code.
    virtual void DetachFromBuffer();
    unsigned long GetLineFlags(int line) const;
    void SetLineFlags(int line, unsigned long mask, BOOL set);

    // Metrics, measured on demand and cached.
    int GetLineHeight();
    int GetCharWidthA();
    int GetMarginWidth() const;
    int GetClientWidth();
    int GetClientLines();
    CSize CalcTxtExtent(const char* text, int count);
    // Pixels from the start of line pos.y to byte pos.x; with record set, also stores
    // the tab-expanded column and line in m_indicatorPos.
    int CalcTxtOffset(CPoint pos, BOOL record = FALSE);
    int GetLineExtent(int line);
    int GetMaxLineExtent();
    // The display form of count bytes of chars from offset: tabs become spaces up to
    // the next tab stop of the whole line.
    void ExpandChars(const char* chars, CString& result, int offset, int count);

    // Coordinates.
    CPoint TextToClient(const CPoint& pos, BOOL record = FALSE);
    CPoint ClientToText(const CPoint& point);
    // Invalidates lines first to last (-1: to the bottom), from the margin on when
    // withMargin is set.
    void InvalidateLines(int first, int last, BOOL withMargin);
    // Forgets the client metrics and the one-line bitmap (after a resize or a font change).
    void DelCacheBmp();

    // Scrolling.
    void RecalcVScrollBar(BOOL positionOnly);
    void RecalcHScrollBar(BOOL positionOnly);
    void ScrollToLine(int line, BOOL follow);
    void ScrollToPos(int offset, BOOL follow);
    void EnsureVisible(CPoint pos);
    CTextView* GetSiblingView(int row, int col) const;

    // Caret and selection. The selection is kept with start <= end; equal ends mean none.
    // The anchor is the fixed end of a selection being extended.
    void UpdateCaret();
    CPoint GetCursorPos() const { return m_cursorPos; }
    // Moves the cursor, leaves no selection, and scrolls the cursor into view. A position
    // outside the text moves to the nearest one inside it.
    void SetCursorPos(const CPoint& pos);
    void SetAnchor(const CPoint& pos) { m_anchor = pos; }
    void SetSelection(CPoint a, CPoint b);
    void GetSelection(CPoint& start, CPoint& end) const;
    int IsSelection() const;
    // Whether pos lies in [start, end) of the selection.
    int IsInsideSelection(const CPoint& pos) const;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    int OnCreate(LPCREATESTRUCT cs);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    // The lines the desktop's setting says a notch, up or down.
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);

    // Navigation: each moves the cursor, selecting from the anchor when select is set.
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnMoveLeft(BOOL select);
    void OnMoveRight(BOOL select);
    void OnMoveUp(BOOL select);
    void OnMoveDown(BOOL select);
    void OnPageUp(BOOL select);
    void OnPageDown(BOOL select);
    // With ctrl: to the first (last) line, keeping the column.
    void OnMoveHome(BOOL select, BOOL ctrl);
    void OnMoveEnd(BOOL select, BOOL ctrl);

    // Mouse selection: click, Shift+click, drag, whole lines from the margin, words by
    // double click.
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    // The ends of the word around pos: letters, digits, '_', double-byte characters and
    // the single bytes 0xA1 to 0xFF.
    CPoint WordToLeft(CPoint pos);
    CPoint WordToRight(CPoint pos);

    // Commands: copy 0xE122, select all 0xE12A, the caret position pane 0xE733.
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* ui);
    void OnEditSelectAll();
    void OnUpdateIndicatorCaret(CCmdUI* ui);

protected:
    // The first line shown changed: by a scroll, an edit above it or a reset. A window
    // that draws beside the text's lines follows it from here.
    virtual void OnTopLineChanged() {}
    // Draws one run of bytes at origin without selection handling.
    void DrawLineHelperImpl(CDC* dc, CPoint& origin, const CRect& clip, const char* chars, int offset, int count);
    void CalcLineCharDim();
    // A valid position of the text nearest to pos.
    CPoint ClampToText(CPoint pos) const;
    // The character boundary at or before (after) pos, which is a valid position: a
    // position inside a double-byte character moves to its start (end).
    CPoint CharacterStart(CPoint pos) const;
    CPoint CharacterEnd(CPoint pos) const;
    // The selection widened to whole characters, as it is painted.
    void GetWholeSelection(CPoint& start, CPoint& end) const;
    // The display column of byte offset of the line (tabs expanded).
    int ColumnOf(const char* chars, int offset) const;
    // The user moved the caret: typed characters before and after are separate undo steps.
    void CloseUndoGroup();
    // The common end of every move: scroll the cursor into view and select from the
    // anchor, or move the anchor along.
    void FinishMove(BOOL select);
    // The pane position in the parent splitter; false outside a splitter.
    bool GetPanePosition(int& row, int& col) const;
    // A DC with m_font selected, for measuring; kept for the view's life.
    CDC& MeasureDC();
    // Pixels and display columns of the first offset bytes of line (offset clamped to it).
    int CalcTxtOffsetOfLine(int line, int offset, int* columns);
    // The cached width of a line of a text of lineCount lines, measured when unknown.
    int MeasuredExtent(int line, int lineCount);
    // Creates m_font from m_baseFont and forgets every measure taken with the old one.
    void ApplyFont();
    // Brings the cached widths up to a change of the text from line on (see UpdateView);
    // returns the widest width dropped, -1 when one of them was not known.
    int DropChangedExtents(int line, int lineCount, bool oneLine, bool oneEdit);

    BOOL m_focused = FALSE;
    BOOL m_selMargin = TRUE;
    BOOL m_dragging = FALSE;
    BOOL m_lineSelect = FALSE;
    LOGFONT m_baseFont{};
    CFont m_font;
    std::unique_ptr<CBitmap> m_cacheBitmap;
    int m_lineHeight = -1;
    int m_charWidth = -1;
    int m_tabSize = 4;
    int m_maxLineExtent = -1;
    std::vector<int> m_lineExtents;  // empty: not made yet
    int m_clientWidth = -1;
    int m_clientLines = -1;
    CPoint m_cursorPos;
    CPoint m_caretPoint;
    CPoint m_indicatorPos;
    CPoint m_selStart;
    CPoint m_selEnd;
    CPoint m_anchor;
    std::unique_ptr<CImageList> m_marginImages;
    BOOL m_horzLocked = FALSE;
    BOOL m_vertLocked = FALSE;
    CTextBuf* m_buffer = nullptr;
    int m_topLine = 0;
    int m_horzOffset = 0;

private:
    friend struct TextViewProbe;  // tests read the caches
    friend class CTextBuf;        // a buffer that goes detaches its views

    // Every change of m_topLine goes through here, and is told.
    void SetTopLine(int line);

    std::unique_ptr<CDC> m_measureDC;
};
