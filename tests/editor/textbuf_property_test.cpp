// Random insertions and deletions applied both to a buffer and to a plain string model;
// the texts, the returned end positions and positions moved by the update contexts
// must agree after every step.
#include <gtest/gtest.h>

#include "TextModel.h"

namespace {

TEST(TextBufProperty, RandomEditsMatchAStringModel)
{
    for (unsigned seed : {1u, 2u, 3u}) {
        RecordingView view;
        CTextBuf buffer;
        buffer.InitNew();
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
