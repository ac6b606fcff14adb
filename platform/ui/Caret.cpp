#include "zorkit/platform/ui/Caret.h"

#include "zorkit/platform/ui/internal/Desktop.h"

namespace {

struct CaretState {
    HWND owner = nullptr;
    CSize size;
    CPoint pos;
    int hideCount = 1;  // a new caret is hidden
    bool gray = false;
};

CaretState& Caret()
{
    static CaretState caret;
    return caret;
}

}

BOOL CreateCaret(HWND owner, HBITMAP bitmap, int width, int height)
{
    if (!zorkit::StateOf(owner))
        return FALSE;
    CaretState& caret = Caret();
    caret = CaretState{};
    caret.owner = owner;
    caret.size = CSize(width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : GetSystemMetrics(SM_CYBORDER));
    caret.gray = bitmap == reinterpret_cast<HBITMAP>(1);
    return TRUE;
}

BOOL DestroyCaret()
{
    CaretState& caret = Caret();
    if (!caret.owner)
        return FALSE;
    caret = CaretState{};
    return TRUE;
}

BOOL ShowCaret(HWND hwnd)
{
    CaretState& caret = Caret();
    if (!caret.owner || (hwnd && hwnd != caret.owner) || caret.hideCount == 0)
        return FALSE;
    --caret.hideCount;
    return TRUE;
}

BOOL HideCaret(HWND hwnd)
{
    CaretState& caret = Caret();
    if (!caret.owner || (hwnd && hwnd != caret.owner))
        return FALSE;
    ++caret.hideCount;
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    CaretState& caret = Caret();
    if (!caret.owner)
        return FALSE;
    caret.pos = CPoint(x, y);
    return TRUE;
}

BOOL GetCaretPos(LPPOINT point)
{
    *point = Caret().pos;
    return Caret().owner != nullptr;
}

UINT GetCaretBlinkTime() { return 530; }

namespace zorkit {

CaretInfo GetCaretInfo()
{
    CaretState& caret = Caret();
    return CaretInfo{caret.owner, CRect(caret.pos, caret.size), caret.owner && caret.hideCount == 0, caret.gray};
}

void ForgetCaretOwner(HWND hwnd)
{
    if (Caret().owner == hwnd)
        Caret() = CaretState{};
}

}
