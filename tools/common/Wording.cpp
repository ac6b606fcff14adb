#include "tools/common/Wording.h"

#include <atomic>

namespace tools {
namespace {

std::atomic<Wording> g_wording{nullptr};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}

void SetWording(Wording wording) { g_wording = wording; }

std::string Say(const char* english, std::initializer_list<std::string> arguments)
{
    const Wording wording = g_wording;
    return FillArguments(wording ? wording(english) : std::string(english), arguments);
}

std::string FillArguments(const std::string& text, std::initializer_list<std::string> arguments)
{
    std::string filled;
    filled.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
        std::size_t close = open + 1;
        while (close < text.size() && IsDigit(text[close]) && close - open <= 2)
            ++close;
        if (close == open + 1 || close >= text.size() || text[close] != '}')
            continue;
        const std::size_t index = std::stoul(text.substr(open + 1, close - open - 1));
        if (index < 1 || index > arguments.size())
            continue;
        filled.append(text, at, open - at);
        filled += *(arguments.begin() + (index - 1));
        at = close + 1;
        open = close;
    }
    filled.append(text, at, std::string::npos);
    return filled;
}

}
