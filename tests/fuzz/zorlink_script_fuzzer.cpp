// Splits arbitrary text into zorlink script lines. '#' starts a comment anywhere.
// Every line that runs must give words without white space that are, joined, the
// line's text before its comment without white space and without the '-' of a
// tolerated line; a skipped line must be blank or a comment before its comment, or a
// lone '-'.
#include <cctype>
#include <cstdint>
#include <string>

#include "tools/zorlink/ScriptLine.h"

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string WithoutSpace(const std::string& text)
{
    std::string kept;
    for (char c : text)
        if (!IsSpace(c))
            kept += c;
    return kept;
}

void Check(const std::string& line)
{
    std::string bare = WithoutSpace(line.substr(0, line.find('#')));
    std::optional<zorlink::ScriptLine> parsed = zorlink::ParseScriptLine(line);
    if (!parsed) {
        if (!(bare.empty() || bare == "-"))
            __builtin_trap();
        return;
    }
    if (parsed->words.empty() || bare.empty())
        __builtin_trap();
    std::string joined = parsed->tolerated ? "-" : "";
    for (const std::string& word : parsed->words) {
        if (word.empty() || WithoutSpace(word) != word)
            __builtin_trap();
        joined += word;
    }
    if (joined != bare || parsed->tolerated != (bare[0] == '-'))
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        Check(text.substr(start, end - start));
    Check(text.substr(start));
    return 0;
}
