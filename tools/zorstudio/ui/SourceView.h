// The source editor: the editable view with the source's syntax in colours, assembly
// or C as the file's name says. Lines the debugger marks (breakpoint, current line)
// keep the marks' own colours. It passes each edit of its buffer (the user's, an undo's)
// on to onEdit.
#pragma once

#include <functional>
#include <vector>

#include "tools/zorstudio/SyntaxColours.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/UIEditView.h"
#include "zorkit/editor/UpdateContext.h"

namespace zorstudio {

class CSourceView : public CUIEditView {
public:
    // Hears of every insertion and deletion in the buffer shown.
    std::function<void(const CUpdateContext&)> onEdit;

    SourceLanguage Language() const { return m_language; }
    void SetLanguage(SourceLanguage language);

    void DrawLineHelper(CDC* dc, CPoint& origin, const CRect& clip, int colorIndex, const char* chars, int offset,
                        int count, CPoint textPos) override;
    void UpdateView(CTextView* source, CUpdateContext* context, unsigned long hints, int line) override;

    // The editor scrolled, or an edit may have changed its lines: what is drawn beside
    // them follows.
    std::function<void()> onLinesMoved;

protected:
    void OnTopLineChanged() override;

private:
    void LinesMoved();
    // The state the line starts in, from the lines above.
    CLineState StateAt(int line);

    SourceLanguage m_language = SourceLanguage::Assembly;
    // The start state of each line, as far as it has been worked out since the last edit.
    std::vector<CLineState> m_states;
};

}
