#include "zorkit/platform/ui/View.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "zorkit/platform/ui/WindowClass.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

const CMessageMap* CView::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CView::OnPaint),
        zorkit::MapMessage<WM_MOUSEACTIVATE>(&CView::OnMouseActivate),
        zorkit::MapUserMessage(WM_INITIALUPDATE, &CView::OnInitialUpdateMessage),
    });
    return &map;
}

const CMessageMap* CView::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1)));
    return cs.lpszClass != nullptr;
}

void CView::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

CScrollBar* CView::GetScrollBarCtrl(int bar) const
{
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    if (!splitter)
        return nullptr;
    int row = 0, col = 0;
    if (!splitter->IsChildPane(const_cast<CView*>(this), &row, &col))
        return nullptr;
    return splitter->GetSharedScrollBar(bar, row, col);
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnPrepareDC(CDC*, void*) {}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message)
{
    int answer = CWnd::OnMouseActivate(topParent, hitTest, message);
    if (answer == MA_NOACTIVATE || answer == 4)
        return answer;
    // A click makes the view the active one: it gets the keyboard.
    if (::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus()))
        SetFocus();
    return answer;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}
