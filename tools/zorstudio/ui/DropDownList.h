// A list that drops down over the window's views: one row per item, its text on the
// left and an optional key on the right, greyed when the item cannot run now, and a
// thin rule for an item without text. A click on a row hands its index to the host,
// greyed or not (the host's command says why it cannot run). The Port list and the
// menus are made of it; the host hides it (Escape, a click elsewhere) and keeps the
// object until the next list, since a list cannot go while its own click runs.
//
//   auto list = std::make_unique<CDropDownList>(std::vector<CDropDownItem>{{"Run", "F5"}, {"Reset"}});
//   list->onChoose = [](std::size_t index) { ... };
//   list->Create(mainWnd, CPoint(10, 30), 200, IdMyList);
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "zorkit/platform/ui/Wnd.h"

namespace zorstudio {

struct CDropDownItem {
    std::string label;  // GBK; empty: a rule between groups
    std::string key;    // the key that runs it, shown on the right
    bool enabled = true;
};

class CDropDownList : public CWnd {
public:
    static constexpr int kRowHeight = 22;
    static constexpr int kRuleHeight = 7;

    explicit CDropDownList(std::vector<CDropDownItem> items) : m_items(std::move(items)) {}

    // Placed at topLeft of the parent's client area, above its other children, at least
    // minWidth wide and as wide as its texts need.
    BOOL Create(CWnd* parent, CPoint topLeft, int minWidth, UINT id);
    const std::vector<CDropDownItem>& Items() const { return m_items; }
    // The item's row in client coordinates.
    CRect ItemRect(std::size_t index) const;
    // The item whose label is `label`; nothing when there is none.
    std::optional<std::size_t> IndexOf(const std::string& label) const;
    // The item under the mouse, which is painted highlighted; -1 for none.
    int HotItem() const { return m_hot; }
    // Moves the highlight to the next item (step 1) or the previous one (-1), past rules,
    // wrapping around.
    void MoveHot(int step);
    // Chooses the highlighted item, as a click on it would; false when none is.
    bool ChooseHot();

    std::function<void(std::size_t)> onChoose;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);

private:
    std::optional<std::size_t> ItemAt(CPoint point) const;
    void SetHot(int hot);
    void Choose(std::size_t index);
    int RowHeight(std::size_t index) const { return m_items[index].label.empty() ? kRuleHeight : kRowHeight; }

    std::vector<CDropDownItem> m_items;
    int m_hot = -1;
};

}
