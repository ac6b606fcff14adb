#include "tools/zorstudio/ui/OutputView.h"

#include "zorkit/platform/ui/MessageCrackers.h"

namespace zorstudio {

const CMessageMap* COutputView::GetThisMessageMap()
{
    static const CMessageMap map(&CTextView::GetThisMessageMap, {
        zorkit::MapMessage<WM_LBUTTONDBLCLK>(&COutputView::OnLButtonDblClk),
    });
    return &map;
}

const CMessageMap* COutputView::GetMessageMap() const { return GetThisMessageMap(); }

void COutputView::OnLButtonDblClk(UINT flags, CPoint point)
{
    CTextView::OnLButtonDblClk(flags, point);
    const int line = ClientToText(point).y;
    if (onLineChosen && line < GetLineCount())
        onLineChosen(line);
}

}
