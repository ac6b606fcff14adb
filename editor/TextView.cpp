// CTextView: construction, window creation, font and tab size, the attached buffer
// and the colour table.
#include "zorkit/editor/TextView.h"

#include <algorithm>
#include <cstring>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "zorkit/platform/ui/WindowClass.h"

IMPLEMENT_DYNCREATE(CTextView, CView)

const CMessageMap* CTextView::GetThisMessageMap()
{
    static const CMessageMap map(&CView::GetThisMessageMap, {
        zorkit::MapMessage<WM_CREATE>(&CTextView::OnCreate),
        zorkit::MapMessage<WM_ERASEBKGND>(&CTextView::OnEraseBkgnd),
        zorkit::MapMessage<WM_SIZE>(&CTextView::OnSize),
        zorkit::MapMessage<WM_VSCROLL>(&CTextView::OnVScroll),
        zorkit::MapMessage<WM_HSCROLL>(&CTextView::OnHScroll),
        zorkit::MapMessage<WM_MOUSEWHEEL>(&CTextView::OnMouseWheel),
        zorkit::MapMessage<WM_SETFOCUS>(&CTextView::OnSetFocus),
        zorkit::MapMessage<WM_KILLFOCUS>(&CTextView::OnKillFocus),
        zorkit::MapMessage<WM_KEYDOWN>(&CTextView::OnKeyDown),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CTextView::OnLButtonDown),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CTextView::OnMouseMove),
        zorkit::MapMessage<WM_LBUTTONUP>(&CTextView::OnLButtonUp),
        zorkit::MapMessage<WM_LBUTTONDBLCLK>(&CTextView::OnLButtonDblClk),
        zorkit::MapMessage<WM_SETCURSOR>(&CTextView::OnSetCursor),
        zorkit::MapCommand(ID_EDIT_COPY, &CTextView::OnEditCopy),
        zorkit::MapUpdateCommandUI(ID_EDIT_COPY, &CTextView::OnUpdateEditCopy),
        zorkit::MapCommand(ID_EDIT_SELECT_ALL, &CTextView::OnEditSelectAll),
        zorkit::MapUpdateCommandUI(ID_INDICATOR_CARET, &CTextView::OnUpdateIndicatorCaret),
    });
    return &map;
}

const CMessageMap* CTextView::GetMessageMap() const { return GetThisMessageMap(); }

CTextView::CTextView() { CTextView::ResetView(); }

CTextView::~CTextView()
{
    DetachFromBuffer();
    m_font.DeleteObject();
}

BOOL CTextView::PreCreateWindow(CREATESTRUCT& cs)
{
    CWnd* parent = CWnd::FromHandlePermanent(cs.hwndParent);
    if (!dynamic_cast<CSplitterWnd*>(parent))
        cs.style |= WS_HSCROLL | WS_VSCROLL;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS);
    return CView::PreCreateWindow(cs);
}

int CTextView::OnCreate(LPCREATESTRUCT cs)
{
    m_baseFont = LOGFONT{};
    std::strcpy(m_baseFont.lfFaceName, "FixedSys");
    m_baseFont.lfHeight = 0;
    m_baseFont.lfWeight = FW_NORMAL;
    m_baseFont.lfCharSet = DEFAULT_CHARSET;
    // Metrics asked for before the window existed were taken without this font.
    ApplyFont();
    return CView::OnCreate(cs);
}

void CTextView::ApplyFont()
{
    m_charWidth = -1;
    m_lineHeight = -1;
    // Line widths measured with the old font would leave a wrong horizontal range.
    m_lineExtents.clear();
    m_maxLineExtent = -1;
    DelCacheBmp();
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_baseFont);
    m_measureDC.reset();
}

void CTextView::SetFont(const LOGFONT& font)
{
    m_baseFont = font;
    ApplyFont();
    if (m_hWnd) {
        RecalcVScrollBar(FALSE);
        RecalcHScrollBar(FALSE);
        UpdateCaret();
        Invalidate();
    }
}

void CTextView::SetTabSize(int tabSize)
{
    // Tab stops are computed modulo the size.
    if (tabSize < 1 || tabSize == m_tabSize)
        return;
    m_tabSize = tabSize;
    m_lineExtents.clear();
    m_maxLineExtent = -1;
    if (m_hWnd) {
        RecalcHScrollBar(FALSE);
        Invalidate();
        UpdateCaret();
    }
}

void CTextView::AttachToBuffer(CTextBuf* buffer)
{
    if (m_buffer)
        m_buffer->RemoveView(this);
    if (!buffer)
        buffer = LocateTextBuffer();
    m_buffer = buffer;
    if (m_buffer)
        m_buffer->AddView(this);
    ResetView();
    if (!m_hWnd)
        return;
    // A splitter's shared bars are controls of their own: enable them by what this
    // pane needs.
    if (GetScrollBarCtrl(SB_VERT))
        EnableScrollBarCtrl(SB_VERT, GetClientLines() < GetLineCount());
    if (GetScrollBarCtrl(SB_HORZ))
        EnableScrollBarCtrl(SB_HORZ, GetClientWidth() < GetMaxLineExtent());
    RecalcVScrollBar(FALSE);
    RecalcHScrollBar(FALSE);
}

void CTextView::DetachFromBuffer()
{
    if (!m_buffer)
        return;
    m_buffer->RemoveView(this);
    m_buffer = nullptr;
    ResetView();
}

CTextBuf* CTextView::LocateTextBuffer() { return nullptr; }

int CTextView::GetLineCount() const
{
    // A buffer without lines (a zero-byte file) shows as one empty line.
    return m_buffer ? std::max(1, m_buffer->GetLineCount()) : 1;
}

int CTextView::GetLineLength(int line) const { return m_buffer ? m_buffer->GetLineLength(line) : 0; }

char* CTextView::GetLineChars(int line) const { return m_buffer ? m_buffer->GetLineChars(line) : nullptr; }

unsigned long CTextView::GetLineFlags(int line) const { return m_buffer ? m_buffer->GetLineFlags(line) : 0; }

void CTextView::SetLineFlags(int line, unsigned long mask, BOOL set)
{
    if (m_buffer)
        m_buffer->SetLineFlags(line, mask, set);
}

void CTextView::ResetView()
{
    SetTopLine(0);
    m_horzOffset = 0;
    m_lineHeight = -1;
    m_charWidth = -1;
    m_tabSize = 4;
    m_maxLineExtent = -1;
    m_dragging = FALSE;
    m_clientWidth = -1;
    m_clientLines = -1;
    m_cursorPos = m_anchor = m_selStart = m_selEnd = CPoint(0, 0);
    m_marginImages.reset();
    m_lineExtents.clear();
    if (m_hWnd) {
        // The view now shows other text, or the same text from its start.
        Invalidate(FALSE);
        UpdateCaret();
    }
}

COLORREF CTextView::GetColor(int index) const
{
    switch (index) {
    case 0:
    case 1:
        return GetSysColor(COLOR_WINDOW);
    case 2:
        return GetSysColor(COLOR_WINDOWTEXT);
    case 3:
        return GetSysColor(COLOR_3DLIGHT);
    case 4:
        return RGB(0, 0, 0);
    case 5:
        return RGB(255, 255, 255);
    case 6:
        return RGB(0, 0, 255);
    case 7:
        return RGB(128, 128, 128);
    case 8:
        return RGB(128, 0, 0);
    case 9:
        return RGB(0, 0, 0);
    case 10:
        return RGB(255, 0, 0);
    case 11:
        return RGB(0, 128, 192);
    default:
        return RGB(255, 0, 0);
    }
}

CPoint CTextView::ClampToText(CPoint pos) const
{
    pos.y = std::clamp(int(pos.y), 0, GetLineCount() - 1);
    pos.x = std::clamp(int(pos.x), 0, GetLineLength(pos.y));
    return pos;
}

CPoint CTextView::CharacterStart(CPoint pos) const
{
    pos = ClampToText(pos);
    const int length = GetLineLength(pos.y);
    if (const char* chars = GetLineChars(pos.y); chars && pos.x > 0 && pos.x < length)
        pos.x = zorkit::GbkCharacterStart(chars, length, pos.x);
    return pos;
}

CPoint CTextView::CharacterEnd(CPoint pos) const
{
    const CPoint start = CharacterStart(pos);
    if (start.x == ClampToText(pos).x)
        return start;
    return CPoint(zorkit::NextGbkBoundary(GetLineChars(start.y), GetLineLength(start.y), start.x), start.y);
}

void CTextView::GetWholeSelection(CPoint& start, CPoint& end) const
{
    start = CharacterStart(m_selStart);
    end = CharacterEnd(m_selEnd);
}
