// The lines a text file should load as, worked out byte by byte without pieces or
// blocks: a line ends at CR LF or LF LF, any other CR or LF is dropped, and nothing
// after the last break makes no line.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> ReferenceLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char byte = bytes[i];
        if (byte != '\r' && byte != '\n') {
            current += byte;
            open = true;
        } else if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            ++i;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}
