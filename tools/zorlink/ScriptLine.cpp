#include "tools/zorlink/ScriptLine.h"

#include <sstream>

namespace zorlink {

std::optional<ScriptLine> ParseScriptLine(const std::string& text)
{
    ScriptLine line;
    std::istringstream in(text.substr(0, text.find('#')));
    for (std::string word; in >> word;)
        line.words.push_back(word);
    if (line.words.empty())
        return std::nullopt;
    if (line.words[0][0] == '-') {
        line.tolerated = true;
        line.words[0].erase(0, 1);
        if (line.words[0].empty())
            line.words.erase(line.words.begin());
        if (line.words.empty())
            return std::nullopt;
    }
    return line;
}

}
