// The call stack of a C program's stop, one frame a line, innermost first:
// "fact  lab.c:23". A click on a frame chooses it for the watches; the chosen frame
// is highlighted.
#pragma once

#include <functional>

#include "tools/zorstudio/SourceStepper.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"

namespace zorstudio {

class CCallStackView : public CTextView {
public:
    CCallStackView();

    std::function<void(std::size_t frame)> onFrameChosen;

    BOOL Create(CWnd* parent, UINT id);
    // Null: no C program stands stopped.
    void Show(const CSourceStop* stop);
    const CTextBuf& Text() const { return m_text; }

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnLButtonDown(UINT flags, CPoint point);

private:
    CTextBuf m_text;
    std::size_t m_frames = 0;
};

// "fact  lab.c:23", or the address where no C line is.
std::string FrameText(const CStackFrame& frame);

}
