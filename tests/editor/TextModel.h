// A plain string model of a buffer's text and a source of random edits, for tests that
// compare a buffer with the model step by step.
#pragma once

#include <random>
#include <string>

#include "RecordingView.h"
#include "zorkit/platform/core/Gbk.h"

// The model is the whole text with NUL between lines: inserted text never holds a NUL.
class TextModel {
public:
    explicit TextModel(const std::string& text) : m_text(text) {}

    const std::string& Text() const { return m_text; }

    std::size_t Offset(CPoint pos) const
    {
        std::size_t at = 0;
        for (int line = 0; line < pos.y; ++line)
            at = m_text.find('\0', at) + 1;
        return at + std::size_t(pos.x);
    }

    CPoint Position(std::size_t offset) const
    {
        CPoint pos(0, 0);
        for (std::size_t i = 0; i < offset; ++i) {
            if (m_text[i] == '\0') {
                ++pos.y;
                pos.x = 0;
            } else {
                ++pos.x;
            }
        }
        return pos;
    }

    // As the buffer reads typed or pasted text: CR LF or a lone CR starts a line.
    static std::string Lines(const std::string& typed)
    {
        std::string out;
        for (std::size_t i = 0; i < typed.size(); ++i) {
            if (typed[i] != '\r') {
                out += typed[i];
                continue;
            }
            out += '\0';
            if (i + 1 < typed.size() && typed[i + 1] == '\n')
                ++i;
        }
        return out;
    }

    void Insert(std::size_t at, const std::string& lines) { m_text.insert(at, lines); }
    void Erase(std::size_t from, std::size_t to) { m_text.erase(from, to - from); }

private:
    std::string m_text;
};

inline std::string TextOf(const CTextBuf& buffer)
{
    std::string text;
    for (int line = 0; line < buffer.GetLineCount(); ++line) {
        if (line > 0)
            text += '\0';
        text.append(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line)));
    }
    return text;
}

class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) {}

    int Below(int limit) { return int(m_random() % unsigned(limit)); }

    std::string Typed()
    {
        static const std::string chinese = zorkit::GbkFromUtf8("汉字");
        const std::string pieces[] = {"a", "xyz", "\r\n", "\r", "\n", chinese, " ", "\t", "\r\n\r\n", "\n\r"};
        std::string text;
        for (int count = Below(6); count > 0; --count)
            text += pieces[Below(int(std::size(pieces)))];
        return text;
    }

    CPoint Position(const CTextBuf& buffer)
    {
        int line = Below(buffer.GetLineCount());
        return CPoint(Below(buffer.GetLineLength(line) + 1), line);
    }

private:
    std::mt19937 m_random;
};
