#include "tools/zorstudio/ui/ListingView.h"

#include "zorkit/platform/ui/MessageCrackers.h"

namespace zorstudio {

const CMessageMap* CListingView::GetThisMessageMap()
{
    static const CMessageMap map(&CTextView::GetThisMessageMap, {
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CListingView::OnLButtonDown),
    });
    return &map;
}

const CMessageMap* CListingView::GetMessageMap() const { return GetThisMessageMap(); }

void CListingView::OnLButtonDown(UINT flags, CPoint point)
{
    const int line = ClientToText(point).y;
    if (point.x >= GetMarginWidth() || !onMarginClick || line >= GetLineCount()) {
        CTextView::OnLButtonDown(flags, point);
        return;
    }
    SetFocus();
    SetCursorPos(CPoint(0, line));
    onMarginClick(line);
}

}
