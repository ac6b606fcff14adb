#include "zorkit/platform/ui/EditControl.h"

#include <algorithm>
#include <cstring>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "zorkit/platform/ui/WinUser.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/internal/WindowState.h"

namespace {

constexpr int kMargin = 1;

bool IsWordByte(unsigned char b) { return std::isalnum(b) || b == '_' || b >= 0x80; }

void SelectFont(CDC& dc, HFONT font)
{
    if (font)
        dc.SelectObject(CFont::FromHandle(font));
    else
        dc.SelectStockObject(DEFAULT_GUI_FONT);
}

}

namespace zorkit {

bool EditControl::ReadOnly(CWnd* wnd) const { return (wnd->GetStyle() & ES_READONLY) != 0; }

int EditControl::Prev(int index) const { return PrevGbkBoundary(m_text.data(), int(m_text.size()), index); }

int EditControl::Next(int index) const { return NextGbkBoundary(m_text.data(), int(m_text.size()), index); }

int EditControl::Width(CWnd* wnd, int bytes)
{
    CClientDC dc(wnd);
    SelectFont(dc, m_font);
    return dc.GetTextExtent(m_text.c_str(), bytes).cx;
}

int EditControl::LineHeight(CWnd* wnd)
{
    CClientDC dc(wnd);
    SelectFont(dc, m_font);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    return tm.tmHeight;
}

// Where the text starts in client coordinates, by the alignment style.
int EditControl::TextLeft(CWnd* wnd)
{
    CRect client;
    wnd->GetClientRect(&client);
    int width = Width(wnd, int(m_text.size()));
    int room = client.Width() - 2 * kMargin;
    DWORD style = wnd->GetStyle();
    if (width < room && (style & ES_RIGHT))
        return kMargin + room - width;
    if (width < room && (style & ES_CENTER))
        return kMargin + (room - width) / 2;
    return kMargin - m_scroll;
}

int EditControl::IndexFromX(CWnd* wnd, int x)
{
    int left = TextLeft(wnd);
    int best = 0;
    for (int i = 0; i <= int(m_text.size()); i = Next(i)) {
        int mid = i == 0 ? left : left + Width(wnd, i) - (Width(wnd, i) - Width(wnd, Prev(i))) / 2;
        if (x >= mid)
            best = i;
        if (i == int(m_text.size()))
            break;
    }
    return best;
}

void EditControl::ScrollToCaret(CWnd* wnd)
{
    CRect client;
    wnd->GetClientRect(&client);
    int room = client.Width() - 2 * kMargin;
    int caretX = Width(wnd, m_caret);
    if (caretX - m_scroll > room)
        m_scroll = caretX - room + room / 4;
    if (caretX < m_scroll)
        m_scroll = std::max(0, caretX - room / 4);
    if (Width(wnd, int(m_text.size())) <= room)
        m_scroll = 0;
}

void EditControl::PlaceCaret(CWnd* wnd)
{
    if (!m_focused)
        return;
    ::SetCaretPos(TextLeft(wnd) + Width(wnd, m_caret), kMargin);
}

void EditControl::Notify(CWnd* wnd, int code)
{
    if (HWND parent = ::GetParent(wnd->m_hWnd))
        ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(wnd->GetDlgCtrlID()), WORD(code)),
                      reinterpret_cast<LPARAM>(wnd->m_hWnd));
}

void EditControl::SetSel(CWnd* wnd, int anchor, int caret)
{
    int length = int(m_text.size());
    m_anchor = std::clamp(anchor, 0, length);
    m_caret = std::clamp(caret, 0, length);
    ScrollToCaret(wnd);
    PlaceCaret(wnd);
    wnd->Invalidate(FALSE);
}

void EditControl::Replace(CWnd* wnd, const std::string& with)
{
    int start = std::min(m_anchor, m_caret), end = std::max(m_anchor, m_caret);
    std::string insert = with;
    int room = m_limit - (int(m_text.size()) - (end - start));
    if (int(insert.size()) > room) {
        insert.resize(std::max(0, room));
        Notify(wnd, EN_MAXTEXT);
    }
    if (start == end && insert.empty())
        return;
    m_text.replace(std::size_t(start), std::size_t(end - start), insert);
    StateOf(wnd->m_hWnd)->text = m_text.c_str();
    m_modified = true;
    int caret = start + int(insert.size());
    Notify(wnd, EN_UPDATE);
    SetSel(wnd, caret, caret);
    Notify(wnd, EN_CHANGE);
}

void EditControl::Copy(CWnd* wnd)
{
    int start = std::min(m_anchor, m_caret), end = std::max(m_anchor, m_caret);
    if (start == end || (wnd->GetStyle() & ES_PASSWORD) || !OpenClipboard(wnd->m_hWnd))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::size_t(end - start + 1));
    if (block) {
        auto* bytes = static_cast<char*>(GlobalLock(block));
        std::memcpy(bytes, m_text.data() + start, std::size_t(end - start));
        GlobalUnlock(block);
        if (!SetClipboardData(CF_TEXT, block))
            GlobalFree(block);
    }
    CloseClipboard();
}

void EditControl::Paste(CWnd* wnd)
{
    if (ReadOnly(wnd) || !OpenClipboard(wnd->m_hWnd))
        return;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        auto block = static_cast<HGLOBAL>(data);
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        text.assign(bytes, strnlen(bytes, GlobalSize(block)));
        GlobalUnlock(block);
    }
    CloseClipboard();
    // One line only: the text stops at the first line break.
    text = text.substr(0, text.find_first_of("\r\n"));
    Replace(wnd, text);
}

void EditControl::Paint(CWnd* wnd)
{
    CPaintDC dc(wnd);
    CRect client;
    wnd->GetClientRect(&client);
    bool grey = ReadOnly(wnd) || !wnd->IsWindowEnabled();
    dc.FillSolidRect(&client, GetSysColor(grey ? COLOR_BTNFACE : COLOR_WINDOW));
    SelectFont(dc, m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(wnd->IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    std::string shown = (wnd->GetStyle() & ES_PASSWORD) ? std::string(m_text.size(), '*') : m_text;
    int left = TextLeft(wnd);
    dc.TextOut(left, kMargin, shown.c_str(), int(shown.size()));
    int start = std::min(m_anchor, m_caret), end = std::max(m_anchor, m_caret);
    if (m_focused && start != end) {
        int x0 = left + Width(wnd, start), x1 = left + Width(wnd, end);
        CRect band(x0, kMargin, x1, kMargin + LineHeight(wnd));
        dc.FillSolidRect(&band, GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc.TextOut(x0, kMargin, shown.c_str() + start, end - start);
    }
}

void EditControl::Char(CWnd* wnd, UINT ch)
{
    bool control = GetKeyState(VK_CONTROL) < 0;
    if (ch == 3 && control) {
        Copy(wnd);
        return;
    }
    if (ch == 22 && control) {
        Paste(wnd);
        return;
    }
    if (ch == 24 && control) {
        Copy(wnd);
        if (!ReadOnly(wnd))
            Replace(wnd, std::string());
        return;
    }
    if (ReadOnly(wnd))
        return;
    if (ch == VK_BACK) {
        if (m_anchor == m_caret)
            m_anchor = Prev(m_caret);
        Replace(wnd, std::string());
        return;
    }
    if (ch < 0x20)
        return;
    unsigned char byte = static_cast<unsigned char>(ch);
    if (m_pendingLead >= 0) {
        std::string pair{char(m_pendingLead), char(byte)};
        m_pendingLead = -1;
        Replace(wnd, pair);
        return;
    }
    if (IsGbkLeadByte(byte)) {
        m_pendingLead = byte;
        return;
    }
    Replace(wnd, std::string(1, char(byte)));
}

void EditControl::KeyDown(CWnd* wnd, UINT key)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    int caret = m_caret;
    switch (key) {
    case VK_LEFT:
        caret = (!shift && m_anchor != m_caret) ? std::min(m_anchor, m_caret) : Prev(m_caret);
        break;
    case VK_RIGHT:
        caret = (!shift && m_anchor != m_caret) ? std::max(m_anchor, m_caret) : Next(m_caret);
        break;
    case VK_HOME:
        caret = 0;
        break;
    case VK_END:
        caret = int(m_text.size());
        break;
    case VK_DELETE:
        if (ReadOnly(wnd))
            return;
        if (m_anchor == m_caret)
            m_anchor = Next(m_caret);
        Replace(wnd, std::string());
        return;
    default:
        return;
    }
    SetSel(wnd, shift ? m_anchor : caret, caret);
}

LRESULT EditControl::WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = wnd->m_hWnd;
    switch (message) {
    case WM_CREATE:
        m_text = StateOf(hwnd)->text.str();
        m_anchor = m_caret = 0;
        return 0;
    case WM_SETTEXT:
        m_text = lParam ? reinterpret_cast<LPCTSTR>(lParam) : "";
        if (int(m_text.size()) > m_limit)
            m_text.resize(std::size_t(m_limit));
        StateOf(hwnd)->text = m_text.c_str();
        m_modified = false;
        m_scroll = 0;
        SetSel(wnd, 0, 0);
        Notify(wnd, EN_CHANGE);
        return TRUE;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (m_focused) {
            ::CreateCaret(hwnd, nullptr, 1, LineHeight(wnd));
            PlaceCaret(wnd);
            ::ShowCaret(hwnd);
        }
        if (LOWORD(lParam))
            wnd->Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_PAINT:
        Paint(wnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
        m_focused = true;
        ::CreateCaret(hwnd, nullptr, 1, LineHeight(wnd));
        PlaceCaret(wnd);
        ::ShowCaret(hwnd);
        wnd->Invalidate(FALSE);
        Notify(wnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        m_dragging = false;
        ::DestroyCaret();
        wnd->Invalidate(FALSE);
        Notify(wnd, EN_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR:
        Char(wnd, UINT(wParam));
        return 0;
    case WM_KEYDOWN:
        KeyDown(wnd, UINT(wParam));
        return 0;
    case WM_LBUTTONDOWN: {
        if (::GetFocus() != hwnd)
            ::SetFocus(hwnd);
        int index = IndexFromX(wnd, PointFromLParam(lParam).x);
        SetSel(wnd, GetKeyState(VK_SHIFT) < 0 ? m_anchor : index, index);
        m_dragging = true;
        ::SetCapture(hwnd);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_dragging)
            SetSel(wnd, m_anchor, IndexFromX(wnd, PointFromLParam(lParam).x));
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging && ::GetCapture() == hwnd)
            ::ReleaseCapture();
        m_dragging = false;
        return 0;
    case WM_LBUTTONDBLCLK: {
        int index = IndexFromX(wnd, PointFromLParam(lParam).x);
        int start = index, end = index;
        while (start > 0 && IsWordByte(static_cast<unsigned char>(m_text[start - 1])))
            --start;
        while (end < int(m_text.size()) && IsWordByte(static_cast<unsigned char>(m_text[end])))
            ++end;
        SetSel(wnd, start, end);
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_IBEAM));
            return TRUE;
        }
        break;
    case EM_GETSEL: {
        int start = std::min(m_anchor, m_caret), end = std::max(m_anchor, m_caret);
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = DWORD(start);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = DWORD(end);
        return MAKELONG(WORD(start), WORD(end));
    }
    case EM_SETSEL: {
        int start = int(wParam), end = int(lParam);
        if (start == -1) {
            SetSel(wnd, m_caret, m_caret);
            return 0;
        }
        if (end == -1)
            end = int(m_text.size());
        SetSel(wnd, start, end);
        return 0;
    }
    case EM_SCROLLCARET:
        ScrollToCaret(wnd);
        PlaceCaret(wnd);
        wnd->Invalidate(FALSE);
        return TRUE;
    case EM_REPLACESEL:
        Replace(wnd, lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
        return 0;
    case EM_LIMITTEXT:
        m_limit = wParam ? int(wParam) : 0x7FFFFFFE;
        return 0;
    case EM_GETMODIFY:
        return m_modified;
    case EM_SETMODIFY:
        m_modified = wParam != 0;
        return 0;
    case EM_SETREADONLY:
        wnd->ModifyStyle(wParam ? 0 : ES_READONLY, wParam ? ES_READONLY : 0);
        wnd->Invalidate();
        return TRUE;
    case WM_COPY:
        Copy(wnd);
        return 0;
    case WM_CUT:
        Copy(wnd);
        if (!ReadOnly(wnd))
            Replace(wnd, std::string());
        return 0;
    case WM_PASTE:
        Paste(wnd);
        return 0;
    case WM_CLEAR:
        if (!ReadOnly(wnd))
            Replace(wnd, std::string());
        return 0;
    default:
        break;
    }
    return ::DefWindowProc(hwnd, message, wParam, lParam);
}

}
