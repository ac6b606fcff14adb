#include "tools/zorstudio/ui/CallStackView.h"

#include "tools/common/Numbers.h"
#include "tools/zorstudio/TextLines.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/ui/MessageCrackers.h"

namespace zorstudio {

std::string FrameText(const CStackFrame& frame)
{
    if (frame.line == 0)
        return TrGbk("{1}  at {2}", {frame.function, tools::Hex(frame.pc, 4)});
    return frame.function + "  " + frame.file + ":" + std::to_string(frame.line);
}

CCallStackView::CCallStackView()
{
    m_text.InitNew();
    m_text.SetReadOnly(TRUE);
}

BOOL CCallStackView::Create(CWnd* parent, UINT id)
{
    if (!CTextView::Create(nullptr, "call stack", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 1, 1), parent, id))
        return FALSE;
    AttachToBuffer(&m_text);
    Show(nullptr);
    return TRUE;
}

const CMessageMap* CCallStackView::GetThisMessageMap()
{
    static const CMessageMap map(&CTextView::GetThisMessageMap, {
        zorkit::MapMessage<WM_LBUTTONDOWN>(&CCallStackView::OnLButtonDown),
    });
    return &map;
}

const CMessageMap* CCallStackView::GetMessageMap() const { return GetThisMessageMap(); }

void CCallStackView::Show(const CSourceStop* stop)
{
    std::vector<std::string> lines;
    if (stop)
        for (const CStackFrame& frame : stop->frames)
            lines.push_back(FrameText(frame));
    m_frames = lines.size();
    if (lines.empty())
        lines.push_back(TrGbk("(no C program stopped)"));
    FillBuffer(m_text, lines);
    if (stop && stop->selected < m_frames)
        m_text.SetLineFlags(int(stop->selected), LINEMARK_TRIANGLE, TRUE);
}

void CCallStackView::OnLButtonDown(UINT flags, CPoint point)
{
    CTextView::OnLButtonDown(flags, point);
    const std::size_t line = std::size_t(ClientToText(point).y);
    if (line < m_frames && onFrameChosen)
        onFrameChosen(line);
}

}
