// The title tip: a borderless popup that shows the whole text of a grid cell too narrow
// for it, laid over the cell. While shown it holds the mouse capture and hands every
// click, key and move that leaves it back to the window underneath, so that it feels
// part of the grid.
#pragma once

#include "zorkit/platform/ui/Wnd.h"

class CGridTitleTip : public CWnd {
public:
    CGridTitleTip();
    ~CGridTitleTip() override;

    virtual BOOL Create(CWnd* pParentWnd);
    // rectTitle: the cell in the parent's client coordinates (inclusive).
    void Show(CRect rectTitle, LPCTSTR lpszTitleText, int xoffset = 0);
    void Hide();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    void OnMouseMove(UINT nFlags, CPoint point);

    CWnd* m_pParentWnd = nullptr;
    CRect m_rectTitle;

private:
    // The window under a screen point, the grid when it is the tip itself, and its hit-test code.
    CWnd* TargetAt(CPoint screen, int& hitTest);
};
