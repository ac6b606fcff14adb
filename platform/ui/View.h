// The framework's view: a child window that paints through OnDraw and takes the focus
// when clicked. Views here need no document (GetDocument is null) and run their
// initial update on WM_INITIALUPDATE, which a host or a splitter sends. In a splitter
// pane, the window scroll-bar calls reach the splitter's shared bars.
#pragma once

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/Wnd.h"

// What creation passes on to a view made by its run-time class.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CObject* m_pCurrentDoc = nullptr;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    CScrollBar* GetScrollBarCtrl(int bar) const override;

    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    virtual void OnPrepareDC(CDC* dc, void* printInfo = nullptr);
    CObject* GetDocument() const { return nullptr; }

    void OnPaint();
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    // Set for views made by their run-time class (splitter panes): they delete
    // themselves when their window is destroyed.
    BOOL m_bAutoDelete = FALSE;
};
