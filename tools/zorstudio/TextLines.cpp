#include "tools/zorstudio/TextLines.h"

#include <algorithm>
#include <sstream>

namespace zorstudio {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void FillBuffer(CTextBuf& buffer, const std::vector<std::string>& lines)
{
    buffer.FreeAll();
    for (const std::string& line : lines)
        buffer.InsertLine(line.data(), int(line.size()), -1);
    if (lines.empty())
        buffer.InsertLine(nullptr, 0, -1);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
}

std::string BufferText(const CTextBuf& buffer)
{
    const int last = buffer.GetLineCount() - 1;
    if (last < 0)
        return {};
    CString text;
    buffer.GetText(CPoint(0, 0), CPoint(buffer.GetLineLength(last), last), text);
    std::string result = text.str();
    result.erase(std::remove(result.begin(), result.end(), '\r'), result.end());
    return result + "\n";
}

}
