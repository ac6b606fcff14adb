// A view that records every update it receives and moves the positions it tracks
// through the update's context, as a real view moves its caret and selection. Listed by
// AddView alone it is not attached, so it must outlive the buffer: declare it first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/editor/UpdateContext.h"

struct ViewUpdate {
    CTextView* source;
    bool hadContext;
    unsigned long hints;
    int line;
};

class RecordingView : public CTextView {
public:
    void UpdateView(CTextView* source, CUpdateContext* context, unsigned long hints, int line) override
    {
        m_updates.push_back({source, context != nullptr, hints, line});
        if (context)
            for (CPoint& point : m_tracked)
                context->AdjustPoint(point);
        if (m_onUpdate)
            m_onUpdate();
    }

    std::vector<ViewUpdate> m_updates;
    std::vector<CPoint> m_tracked;
    std::function<void()> m_onUpdate;
};

using Lines = std::vector<std::string>;

inline Lines LinesOf(const CTextBuf& buffer)
{
    Lines lines;
    for (int line = 0; line < buffer.GetLineCount(); ++line)
        lines.emplace_back(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line)));
    return lines;
}
