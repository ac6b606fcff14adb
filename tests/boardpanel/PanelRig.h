// A panel window on devices for tests, and the user's hand on it: clicks and keys
// delivered as a person gives them, pictures of what the window shows.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "tools/boardpanel/BoardPanel.h"

namespace boardpanel::test {

inline const CRect kPanelPlace(20, 20, 20 + CPanelLayout::kWidth, 20 + CPanelLayout::kHeight);

inline CPoint OnScreen(const CBoardPanel& panel, CPoint client)
{
    panel.ClientToScreen(&client);
    return client;
}

inline void Press(const CBoardPanel& panel, CPoint client)
{
    zorkit::DeliverInput({zorkit::InputKind::MouseMove, OnScreen(panel, client)});
    zorkit::DeliverInput({zorkit::InputKind::ButtonDown, OnScreen(panel, client)});
}

inline void Let(const CBoardPanel& panel, CPoint client)
{
    zorkit::DeliverInput({zorkit::InputKind::ButtonUp, OnScreen(panel, client)});
}

inline void Click(const CBoardPanel& panel, CPoint client)
{
    Press(panel, client);
    Let(panel, client);
}

// A key of the keyboard, to the window with the focus.
inline void Type(zorkit::InputKind kind, UINT key)
{
    zorkit::InputEvent event{kind, CPoint(0, 0)};
    event.key = key;
    zorkit::DeliverInput(event);
}

// The panel's client area as it shows now, after every message was handled.
inline std::shared_ptr<zorkit::Surface> Picture(const CBoardPanel& panel)
{
    zorkit::PumpPendingMessages();
    return zorkit::CaptureWindow(panel.m_hWnd, true);
}

inline bool Lit(const zorkit::Surface& picture, CPoint at, COLORREF lit) { return picture.GetPixel(at.x, at.y) == lit; }

}
