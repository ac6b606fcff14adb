// A top-level window whose picture has fills, a line and text, for comparing screens.
#pragma once

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit::test {

class PatternWnd : public CWnd {
public:
    BOOL CreateAt(const CRect& rect)
    {
        static LPCTSTR cls = AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW));
        return CreateEx(0, cls, "pattern", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(250, 250, 240));
        dc.FillSolidRect(10, 10, 60, 30, RGB(200, 30, 40));
        CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
        CPen* old = dc.SelectObject(&pen);
        dc.MoveTo(5, client.bottom - 5);
        dc.LineTo(client.right - 5, 40);
        dc.SelectObject(old);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(80, 12, "Zor 8051", 8);
        ++paints;
    }
    int paints = 0;

    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CWnd::GetThisMessageMap, {MapMessage<WM_PAINT>(&PatternWnd::OnPaint)});
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

// The first pixel where two pictures differ, or (-1, -1).
inline CPoint FirstDifference(const Surface& a, const Surface& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return CPoint(x, y);
    return CPoint(-1, -1);
}

}
