// The behaviour of a single-line edit control window ("EDIT"): GBK text with a caret
// and a selection, typing (double-byte characters arrive as two character messages),
// Backspace and Delete, arrow/Home/End keys with Shift selecting, mouse placing and
// dragging, word selection by double click, horizontal scrolling that keeps the caret
// in view, left/centred/right alignment, read-only mode, a text limit, the clipboard
// (Ctrl+C, Ctrl+X, Ctrl+V and WM_COPY/CUT/PASTE/CLEAR) and EN_ notifications.
#pragma once

#include <string>

#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/ui/WindowClass.h"

constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8,
               EM_SETMODIFY = 0x00B9, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5, EM_SETREADONLY = 0x00CF;
constexpr int EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
              EN_MAXTEXT = 0x0501;

namespace zorkit {

class EditControl final : public ControlProc {
public:
    LRESULT WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(CWnd* wnd);
    void Char(CWnd* wnd, UINT ch);
    void KeyDown(CWnd* wnd, UINT key);
    void Replace(CWnd* wnd, const std::string& with);
    void SetSel(CWnd* wnd, int anchor, int caret);
    void Notify(CWnd* wnd, int code);
    void Copy(CWnd* wnd);
    void Paste(CWnd* wnd);
    int Width(CWnd* wnd, int bytes);
    int TextLeft(CWnd* wnd);
    int IndexFromX(CWnd* wnd, int x);
    void ScrollToCaret(CWnd* wnd);
    void PlaceCaret(CWnd* wnd);
    int LineHeight(CWnd* wnd);
    bool ReadOnly(CWnd* wnd) const;
    int Prev(int index) const;
    int Next(int index) const;

    std::string m_text;  // GBK
    int m_anchor = 0;
    int m_caret = 0;
    int m_scroll = 0;    // pixels the text is shifted left
    int m_limit = 30000;
    bool m_focused = false;
    bool m_dragging = false;
    bool m_modified = false;
    int m_pendingLead = -1;  // first byte of a double-byte character being typed
    HFONT m_font = nullptr;
};

}
