#include "zorkit/platform/ui/SplitterBar.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Cursor.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

const CMessageMap* CSplitterBar::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_PAINT>(&CSplitterBar::OnPaint),
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CSplitterBar::OnLButtonDown),
        zorkit::MapMessage<WM_MOUSEMOVE>(&CSplitterBar::OnMouseMove),
        zorkit::MapMessage<WM_LBUTTONUP>(&CSplitterBar::OnLButtonUp),
        zorkit::MapMessage<WM_CAPTURECHANGED>(&CSplitterBar::OnCaptureChanged),
    });
    return &map;
}

const CMessageMap* CSplitterBar::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CSplitterBar::Create(CWnd* parent, const CRect& rect, UINT id)
{
    // The pointer shows which way the bar moves.
    static LPCTSTR across = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_SIZEWE));
    static LPCTSTR upDown = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_SIZENS));
    return CreateEx(0, m_orientation == Vertical ? across : upDown, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CSplitterBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    // A groove down the middle says the bar can be taken hold of.
    CRect groove = client;
    if (m_orientation == Vertical)
        groove.DeflateRect(client.Width() / 2 - 1, 0);
    else
        groove.DeflateRect(0, client.Height() / 2 - 1);
    dc.Draw3dRect(&groove, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CSplitterBar::OnLButtonDown(UINT, CPoint point)
{
    m_grab = m_orientation == Vertical ? point.x : point.y;
    m_dragging = true;
    SetCapture();
}

void CSplitterBar::OnMouseMove(UINT, CPoint point)
{
    if (!m_dragging)
        return;
    MapWindowPoints(GetParent(), &point, 1);
    if (onDrag)
        onDrag((m_orientation == Vertical ? point.x : point.y) - m_grab);
}

void CSplitterBar::OnLButtonUp(UINT, CPoint)
{
    if (m_dragging)
        ReleaseCapture();
    EndDrag();
}

void CSplitterBar::OnCaptureChanged(CWnd* gaining)
{
    if (gaining != this)
        EndDrag();
}

void CSplitterBar::EndDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    if (onDragEnd)
        onDragEnd();
}
