// The framework's window: an object bound to a window handle. Messages reach the
// object's WindowProc, which looks them up in its message map (most derived class
// first) and passes what nobody handles to DefWindowProc: a subclassed window's
// previous object, a control class's behaviour, or the desktop's default handling.
//
//   class CMyWnd : public CWnd {
//   public:
//       static const CMessageMap* GetThisMessageMap();
//       const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
//       void OnPaint();
//   };
//   const CMessageMap* CMyWnd::GetThisMessageMap()
//   {
//       static const CMessageMap map(&CWnd::GetThisMessageMap, {zorkit::MapMessage<WM_PAINT>(&CMyWnd::OnPaint)});
//       return &map;
//   }
//
// The C++ object may die before its window (its destructor destroys the window) and
// the window may die before its object (the handle is cleared and PostNcDestroy runs).
#pragma once

#include "zorkit/platform/core/CmdTarget.h"
#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/ui/WinUser.h"

class CDC;
class CFont;
class CScrollBar;
struct CCreateContext;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // the background still needs erasing
    RECT rcPaint;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object of a handle; a window made by the platform (a dialog's control) gets
    // an object of its own that lives as long as the window. Null for a dead handle.
    static CWnd* FromHandle(HWND hwnd);
    // Only an object that a program bound to the handle.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creation. className must be registered (WindowClass.h).
    virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, CCreateContext* context = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, UINT idOrMenu, LPVOID param = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called after the window is gone (WM_NCDESTROY); objects that delete themselves do it here.
    virtual void PostNcDestroy();
    // Binds this object to an existing window; its previous object handles what this
    // one passes to DefWindowProc.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow();

    // Messages.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The default handling of the message being handled.
    LRESULT Default();
    static const MSG* GetCurrentMessage();
    static MSG SetCurrentMessage(const MSG& msg);
    // Offers msg to the windows from its target up to (not beyond) stop.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE) const;

    // Tree.
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* newParent);
    CWnd* GetOwner() const;  // the owner if set, else the parent
    void SetOwner(CWnd* owner);
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT relation) const;
    CWnd* GetTopWindow() const;
    CWnd* GetNextWindow(UINT relation = GW_HWNDNEXT) const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int id);
    BOOL IsChild(const CWnd* wnd) const;
    CWnd* ChildWindowFromPoint(POINT client) const;
    static CWnd* WindowFromPoint(POINT screen);

    // Styles.
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

    // Geometry.
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const;
    void MapWindowPoints(CWnd* to, LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void CenterWindow(CWnd* alternateOwner = nullptr);

    // State.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL IsZoomed() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(LPCTSTR text);
    int GetWindowText(LPTSTR buffer, int size) const;
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    void SetRedraw(BOOL redraw = TRUE);

    // Focus, capture, activation.
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetActiveWindow();
    static CWnd* GetActiveWindow();

    // Caret (one per thread, owned by the window that created it).
    void CreateSolidCaret(int width, int height);
    void CreateGrayCaret(int width, int height);
    void ShowCaret();
    void HideCaret();
    static void SetCaretPos(POINT point);
    static CPoint GetCaretPos();

    // Painting.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void ValidateRect(LPCRECT rect);
    void Validate() { ValidateRect(nullptr); }
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT rect = nullptr, void* region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE);
    CDC* BeginPaint(PAINTSTRUCT* paint);
    void EndPaint(PAINTSTRUCT* paint);
    // A DC on the client area (GetDC) or the whole window (GetWindowDC); give it back
    // with ReleaseDC.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* dc);
    void ScrollWindow(int dx, int dy, LPCRECT scroll = nullptr, LPCRECT clip = nullptr);
    int ScrollWindowEx(int dx, int dy, LPCRECT scroll, LPCRECT clip, void* updateRegion, LPRECT update, UINT flags);

    // Scroll bars. When GetScrollBarCtrl gives a control for the bar (a splitter's
    // shared bar), the settings are the control's.
    virtual CScrollBar* GetScrollBarCtrl(int bar) const;
    BOOL SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask = SIF_ALL);
    int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
    int GetScrollPos(int bar) const;
    void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
    void GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const;
    int GetScrollLimit(int bar);
    void ShowScrollBar(UINT bar, BOOL show = TRUE);
    BOOL EnableScrollBarCtrl(int bar, BOOL enable = TRUE);
    BOOL EnableScrollBar(int bar, UINT arrows = ESB_ENABLE_BOTH);

    // Timers.
    std::uintptr_t SetTimer(std::uintptr_t id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(std::uintptr_t id);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    // Default handlers: each passes the current message to the default handling.
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
    void OnSysKeyUp(UINT ch, UINT repeat, UINT flags);
    void OnSysChar(UINT ch, UINT repeat, UINT flags);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMButtonDown(UINT flags, CPoint point);
    void OnMButtonUp(UINT flags, CPoint point);
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    UINT OnNcHitTest(CPoint point);
    void OnNcMouseMove(UINT hitTest, CPoint point);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnTimer(UINT id);
    UINT OnGetDlgCode();
    void OnSysColorChange();
    void OnSettingChange(UINT flags, LPCTSTR section);
    void OnCaptureChanged(CWnd* wnd);
    void OnEnable(BOOL enable);
};
