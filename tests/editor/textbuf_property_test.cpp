// Random insertions and deletions applied both to a buffer and to a plain string model;
// the texts, the returned end positions and positions moved by the update contexts
// must agree after every step.
#include <gtest/gtest.h>

#include <random>

#include "RecordingView.h"
#include "zorkit/platform/core/Gbk.h"

namespace {

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

std::string TextOf(const CTextBuf& buffer)
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

TEST(TextBufProperty, RandomEditsMatchAStringModel)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        CTextBuf buffer;
        buffer.InitNew();
        RecordingView view;
        buffer.AddView(&view);
        TextModel model("");
        Generator generate(seed);

        for (int step = 0; step < 4000; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            std::vector<std::size_t> trackedOffsets;
            view.m_tracked.clear();
            for (int i = 0; i < 4; ++i) {
                view.m_tracked.push_back(generate.Position(buffer));
                trackedOffsets.push_back(model.Offset(view.m_tracked.back()));
            }

            int linesBefore = buffer.GetLineCount();
            if (generate.Below(5) < 3 || (linesBefore == 1 && buffer.GetLineLength(0) == 0)) {
                CPoint pos = generate.Position(buffer);
                std::string typed = generate.Typed();
                std::string lines = TextModel::Lines(typed);
                std::size_t at = model.Offset(pos);
                CPoint end;
                ASSERT_TRUE(buffer.InsertText(nullptr, typed.c_str(), pos, end));
                model.Insert(at, lines);
                ASSERT_EQ(end, model.Position(at + lines.size()));
                for (std::size_t& offset : trackedOffsets)
                    if (offset > at)
                        offset += lines.size();
            } else {
                CPoint a = generate.Position(buffer);
                CPoint b = generate.Position(buffer);
                std::size_t from = model.Offset(a);
                std::size_t to = model.Offset(b);
                if (from > to) {
                    std::swap(a, b);
                    std::swap(from, to);
                }
                ASSERT_TRUE(buffer.DeleteText(nullptr, a, b));
                model.Erase(from, to);
                for (std::size_t& offset : trackedOffsets)
                    offset = offset >= to ? offset - (to - from) : std::min(offset, from);
            }

            ASSERT_EQ(TextOf(buffer), model.Text());
            for (std::size_t i = 0; i < trackedOffsets.size(); ++i)
                ASSERT_EQ(view.m_tracked[i], model.Position(trackedOffsets[i])) << "tracked position " << i;
            bool countHint = (view.m_updates.back().hints & TBU_LINECOUNT) != 0;
            ASSERT_EQ(countHint, buffer.GetLineCount() != linesBefore) << "the hint says whether lines came or went";
        }
        CString whole;
        int last = buffer.GetLineCount() - 1;
        buffer.GetText(CPoint(0, 0), CPoint(buffer.GetLineLength(last), last), whole);
        std::string expected = model.Text();
        for (std::size_t at = expected.find('\0'); at != std::string::npos; at = expected.find('\0', at + 2))
            expected.replace(at, 1, "\r\n");
        EXPECT_EQ(whole.str(), expected);
    }
}

}
