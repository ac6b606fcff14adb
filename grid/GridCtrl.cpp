// The grid window's life: construction defaults, the window class, creation and
// subclassing, the font, and the system settings it follows.
#include "zorkit/grid/GridCtrl.h"

#include <new>

#include "zorkit/grid/GridCellEditor.h"

#include "zorkit/platform/core/ResourceException.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/WindowClass.h"

IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

namespace {
constexpr const char* kGridClassName = "MFCGridCtrl";
constexpr COLORREF kGrey = 0xCCCCCC;
}

const CMessageMap* CGridCtrl::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CGridCtrl::OnPaint),
        zorkit::MapMessage<WM_ERASEBKGND>(&CGridCtrl::OnEraseBkgnd),
        zorkit::MapMessage<WM_SIZE>(&CGridCtrl::OnSize),
        zorkit::MapMessage<WM_HSCROLL>(&CGridCtrl::OnHScroll),
        zorkit::MapMessage<WM_VSCROLL>(&CGridCtrl::OnVScroll),
        zorkit::MapUserMessage(WM_SETFONT, &CGridCtrl::OnSetFont),
        zorkit::MapUserMessage(WM_GETFONT, &CGridCtrl::OnGetFont),
        zorkit::MapMessage<WM_SYSCOLORCHANGE>(&CGridCtrl::OnSysColorChange),
        zorkit::MapMessage<WM_SETTINGCHANGE>(&CGridCtrl::OnSettingChange),
        zorkit::MapMessage<WM_CAPTURECHANGED>(&CGridCtrl::OnCaptureChanged),
        zorkit::MapMessage<WM_KEYDOWN>(&CGridCtrl::OnKeyDown),
        zorkit::MapMessage<WM_CHAR>(&CGridCtrl::OnChar),
        zorkit::MapMessage<WM_GETDLGCODE>(&CGridCtrl::OnGetDlgCode),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CGridCtrl::OnMouseMove),
        zorkit::MapUserMessage(WM_MOUSELEAVE, &CGridCtrl::OnMouseLeave),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CGridCtrl::OnLButtonDown),
        zorkit::MapMessage<WM_LBUTTONUP>(&CGridCtrl::OnLButtonUp),
        zorkit::MapMessage<WM_LBUTTONDBLCLK>(&CGridCtrl::OnLButtonDblClk),
        zorkit::MapMessage<WM_SETCURSOR>(&CGridCtrl::OnSetCursor),
        zorkit::MapMessage<WM_MOUSEWHEEL>(&CGridCtrl::OnMouseWheel),
        zorkit::MapNotify(GridNotifyEndEdit, InPlaceEditId, &CGridCtrl::OnEndInPlaceEdit),
    });
    return &map;
}

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols)
{
    RegisterWindowClass();
    ReadSystemColours();
    m_crGridColour = kGrey;
    ReadWheelSetting();

    NONCLIENTMETRICS ncm{};
    ncm.cbSize = sizeof(NONCLIENTMETRICS);
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(NONCLIENTMETRICS), &ncm, 0))
        m_Logfont = ncm.lfMessageFont;
    m_Logfont.lfHeight = 16;
    m_Logfont.lfWidth = 8;
    m_Logfont.lfWeight = FW_THIN;

    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);

    m_crTextColour = m_crWindowText;
    m_crTextBkColour = m_crWindowColour;
    // The grey outside the cells is the grid's own, not the system shadow: it stays when
    // the system colours change.
    m_crBkColour = kGrey;
    m_crFixedTextColour = m_crWindowText;
    m_crFixedBkColour = m_cr3DFace;
}

CGridCtrl::~CGridCtrl()
{
    DeleteAllItems();
    DestroyWindow();
}

BOOL CGridCtrl::RegisterWindowClass()
{
    WNDCLASS wndcls{};
    if (GetClassInfo(nullptr, kGridClassName, &wndcls))
        return TRUE;
    wndcls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wndcls.lpfnWndProc = ::DefWindowProc;
    wndcls.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_3DFACE + 1));
    wndcls.lpszClassName = kGridClassName;
    if (!AfxRegisterClass(&wndcls))
        AfxThrowResourceException();
    return TRUE;
}

void CGridCtrl::ReadSystemColours()
{
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
    m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
}

void CGridCtrl::ReadWheelSetting()
{
    UINT lines = 3;
    if (!SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    m_nRowsPerWheelNotch = int(lines);
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* parent, UINT nID, DWORD dwStyle)
{
    // Every row and column starts at the default size, which the window's font sets. The
    // arrays' room is taken before the window exists, so that running out of memory
    // leaves the grid as it was, without a window; filling that room cannot fail.
    std::vector<UINT> heights, widths;
    try {
        heights.reserve(std::size_t(m_nRows));
        widths.reserve(std::size_t(m_nCols));
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    if (!CWnd::Create(kGridClassName, nullptr, dwStyle, rect, parent, nID))
        return FALSE;
    if (m_bTitleTips)
        m_TitleTip.Create(this);
    heights.assign(std::size_t(m_nRows), UINT(m_nDefCellHeight));
    widths.assign(std::size_t(m_nCols), UINT(m_nDefCellWidth));
    m_arRowHeights.swap(heights);
    m_arColWidths.swap(widths);
    SizesChanged();
    ResetScrollBars();
    return TRUE;
}

BOOL CGridCtrl::SubclassWindow(HWND hWnd)
{
    if (!CWnd::SubclassWindow(hWnd))
        return FALSE;
    if (m_bTitleTips && !::IsWindow(m_TitleTip.m_hWnd))
        m_TitleTip.Create(this);
    return TRUE;
}

void CGridCtrl::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    CFont font;
    font.CreateFontIndirect(&m_Logfont);
    OnSetFont(WPARAM(HFONT(font)), 0);
    ResetScrollBars();
}

std::unique_ptr<CFont> CGridCtrl::MakeFont(const LOGFONT& lf, LONG weight) const
{
    LOGFONT copy = lf;
    if (weight)
        copy.lfWeight = weight;
    auto font = std::make_unique<CFont>();
    if (!font->CreateFontIndirect(&copy))
        return nullptr;
    return font;
}

LRESULT CGridCtrl::OnSetFont(WPARAM hFont, LPARAM lParam)
{
    LRESULT result = DefWindowProc(WM_SETFONT, hFont, lParam);
    LOGFONT lf{};
    if (!GetObject(HGDIOBJ(reinterpret_cast<HFONT>(hFont)), sizeof(LOGFONT), &lf))
        return result;
    m_Logfont = lf;
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            SetItemFont(row, col, &lf);

    if (CDC* dc = GetDC()) {
        std::unique_ptr<CFont> font = MakeFont(m_Logfont, 0);
        // An open editor draws with the grid's font: it takes the new one before the old goes.
        if (font)
            for (CGridCellEditor* editor : CellEditors())
                editor->SetFont(font.get());
        m_Font = std::move(font);
        if (m_Font) {
            CFont* old = dc->SelectObject(m_Font.get());
            TEXTMETRIC tm{};
            dc->GetTextMetrics(&tm);
            m_nMargin = dc->GetTextExtent(" ", 1).cx;
            dc->SelectObject(old);
            m_nDefCellHeight = tm.tmHeight + tm.tmExternalLeading + 2;
            m_nDefCellWidth = tm.tmMaxCharWidth;
        }
        ReleaseDC(dc);
    }
    if (::IsWindow(m_hWnd))
        Invalidate();
    return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM)
{
    return m_Font ? LRESULT(HFONT(*m_Font)) : 0;
}

void CGridCtrl::OnSysColorChange()
{
    Default();
    if (m_crTextColour == m_crWindowText)
        m_crTextColour = ::GetSysColor(COLOR_WINDOWTEXT);
    if (m_crTextBkColour == m_crWindowColour)
        m_crTextBkColour = ::GetSysColor(COLOR_WINDOW);
    if (m_crBkColour == m_crShadow)
        m_crBkColour = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_crFixedTextColour == m_crWindowText)
        m_crFixedTextColour = ::GetSysColor(COLOR_WINDOWTEXT);
    if (m_crFixedBkColour == m_cr3DFace)
        m_crFixedBkColour = ::GetSysColor(COLOR_3DFACE);
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
    m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
}

void CGridCtrl::OnSettingChange(UINT, LPCTSTR)
{
    OnSysColorChange();
    ReadWheelSetting();
}

void CGridCtrl::OnCaptureChanged(CWnd*) {}

void CGridCtrl::RepaintAll()
{
    if (::IsWindow(m_hWnd))
        Invalidate();
}
