// Random edits, typed runs, groups, saves, undos and redos applied both to a buffer and
// to a reference history over the string model: the text, what can be undone and
// redone, the caret an undo or redo reports, the modified flag and the positions a view
// moves through the update contexts must agree after every action.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TextModel.h"

namespace {

// One insertion or deletion of lines (the model's text) at an offset of the model.
struct ModelEdit {
    std::size_t at;
    std::string lines;
    bool inserted;
};

class ReferenceHistory {
public:
    ReferenceHistory() : m_text("") {}

    const TextModel& Text() const { return m_text; }
    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    bool Modified() const { return m_modified; }

    // Applies an edit made on the buffer, moving the tracked offsets as a view would.
    void Edit(ModelEdit edit, bool typed, std::vector<std::size_t>& tracked)
    {
        Apply(edit, edit.inserted, tracked);
        m_modified = true;
        if (edit.lines.empty())
            return;
        m_steps.resize(m_done);
        if (m_saved > m_done)
            m_saved = kNever;
        ModelEdit* last = m_steps.empty() ? nullptr : &m_steps.back().back();
        if (typed && m_runOpen && last->at + last->lines.size() == edit.at) {
            last->lines += edit.lines;
        } else if (m_groupOpen) {
            m_steps.back().push_back(edit);
        } else {
            m_steps.push_back({edit});
            ++m_done;
        }
        m_groupOpen = m_groupDepth > 0;
        m_runOpen = typed;
    }

    void Begin()
    {
        if (m_groupDepth++ == 0)
            m_groupOpen = false;
    }
    void End()
    {
        if (--m_groupDepth == 0)
            m_groupOpen = false;
    }
    void CloseRun() { m_runOpen = false; }
    void Save()
    {
        m_saved = m_done;
        m_modified = false;
        m_runOpen = m_groupOpen = false;
    }

    // Returns the offset where the caret belongs.
    std::size_t Undo(std::vector<std::size_t>& tracked)
    {
        std::vector<ModelEdit>& step = m_steps[--m_done];
        std::size_t caret = 0;
        for (auto edit = step.rbegin(); edit != step.rend(); ++edit)
            caret = Apply(*edit, !edit->inserted, tracked);
        Replayed();
        return caret;
    }

    std::size_t Redo(std::vector<std::size_t>& tracked)
    {
        std::size_t caret = 0;
        for (const ModelEdit& edit : m_steps[m_done])
            caret = Apply(edit, edit.inserted, tracked);
        ++m_done;
        Replayed();
        return caret;
    }

private:
    static constexpr std::size_t kNever = std::size_t(-1);

    // Inserts or removes the edit's lines; returns the offset after an insertion, or
    // where a removal happened.
    std::size_t Apply(const ModelEdit& edit, bool insert, std::vector<std::size_t>& tracked)
    {
        std::size_t length = edit.lines.size();
        if (insert) {
            m_text.Insert(edit.at, edit.lines);
            for (std::size_t& offset : tracked)
                if (offset > edit.at)
                    offset += length;
            return edit.at + length;
        }
        m_text.Erase(edit.at, edit.at + length);
        for (std::size_t& offset : tracked)
            offset = offset >= edit.at + length ? offset - length : std::min(offset, edit.at);
        return edit.at;
    }

    void Replayed()
    {
        m_modified = m_done != m_saved;
        m_groupDepth = 0;
        m_groupOpen = m_runOpen = false;
    }

    TextModel m_text;
    std::vector<std::vector<ModelEdit>> m_steps;
    std::size_t m_done = 0;
    std::size_t m_saved = 0; // the new text counts as saved
    bool m_modified = false;
    int m_groupDepth = 0;
    bool m_groupOpen = false;
    bool m_runOpen = false;
};

bool IsTypedCharacter(const std::string& text)
{
    if (text.size() == 2 && zorkit::IsGbkLeadByte(static_cast<unsigned char>(text[0])))
        return zorkit::NextGbkBoundary(text.data(), 2, 0) == 2;
    return text.size() == 1 && text[0] != '\r';
}

class UndoProperty : public ::testing::Test {
protected:
    void SetUp() override
    {
        buffer.InitNew();
        buffer.AddView(&view);
    }

    // Tracks a few random positions and the caret in the view and the model.
    void Track()
    {
        view.m_tracked = {generate.Position(buffer), generate.Position(buffer), caret};
        tracked.clear();
        for (CPoint point : view.m_tracked)
            tracked.push_back(reference.Text().Offset(point));
    }

    void Insert(CPoint pos, const std::string& typed)
    {
        CPoint end;
        ASSERT_TRUE(buffer.InsertText(nullptr, typed.c_str(), pos, end));
        std::string lines = TextModel::Lines(typed);
        reference.Edit({reference.Text().Offset(pos), lines, true}, IsTypedCharacter(typed), tracked);
        caret = end;
    }

    void Delete()
    {
        CPoint a = generate.Position(buffer);
        CPoint b = generate.Position(buffer);
        std::size_t from = reference.Text().Offset(a);
        std::size_t to = reference.Text().Offset(b);
        if (from > to) {
            std::swap(a, b);
            std::swap(from, to);
        }
        ASSERT_TRUE(buffer.DeleteText(nullptr, a, b));
        reference.Edit({from, reference.Text().Text().substr(from, to - from), false}, false, tracked);
        caret = a;
    }

    std::string TypedCharacter()
    {
        static const std::string chinese = zorkit::GbkFromUtf8("汉");
        const std::string characters[] = {"a", "b", " ", "\t", "\n", chinese, chinese.substr(0, 1)};
        return characters[generate.Below(int(std::size(characters)))];
    }

    void Act()
    {
        int action = generate.Below(100);
        if (action < 30) {
            // Typing: mostly on at the caret, which continues a run.
            CPoint at = generate.Below(4) == 0 ? generate.Position(buffer) : caret;
            Insert(at, TypedCharacter());
        } else if (action < 45) {
            Insert(generate.Position(buffer), generate.Typed());
        } else if (action < 55) {
            Delete();
        } else if (action < 62) {
            // Typing over a selection.
            buffer.BeginUndoGroup();
            reference.Begin();
            Delete();
            Insert(caret, generate.Below(2) ? TypedCharacter() : generate.Typed());
            buffer.EndUndoGroup();
            reference.End();
        } else if (action < 65) {
            buffer.CloseUndoGroup();
            reference.CloseRun();
        } else if (action < 67) {
            buffer.SetModified(FALSE);
            reference.Save();
        } else if (action < 87) {
            ASSERT_EQ(bool(buffer.Undo(caret)), reference.CanUndo());
            if (reference.CanUndo()) {
                EXPECT_EQ(caret, reference.Text().Position(reference.Undo(tracked))) << "caret after undo";
            }
        } else {
            ASSERT_EQ(bool(buffer.Redo(caret)), reference.CanRedo());
            if (reference.CanRedo()) {
                EXPECT_EQ(caret, reference.Text().Position(reference.Redo(tracked))) << "caret after redo";
            }
        }
    }

    RecordingView view;
    CTextBuf buffer;
    ReferenceHistory reference;
    std::vector<std::size_t> tracked;
    CPoint caret{0, 0};
    Generator generate{0};
};

TEST_F(UndoProperty, RandomEditsUndosAndRedosMatchAReferenceHistory)
{
    for (unsigned seed : {11u, 12u, 13u}) {
        generate = Generator(seed);
        for (int action = 0; action < 3000; ++action) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " action " + std::to_string(action));
            Track();
            ASSERT_NO_FATAL_FAILURE(Act());
            ASSERT_EQ(TextOf(buffer), reference.Text().Text());
            ASSERT_EQ(bool(buffer.CanUndo()), reference.CanUndo());
            ASSERT_EQ(bool(buffer.CanRedo()), reference.CanRedo());
            ASSERT_EQ(bool(buffer.IsModified()), reference.Modified());
            for (std::size_t i = 0; i < tracked.size(); ++i)
                ASSERT_EQ(view.m_tracked[i], reference.Text().Position(tracked[i])) << "tracked position " << i;
        }
        // Everything undone gives back the text of the start.
        while (buffer.Undo(caret))
            reference.Undo(tracked);
        EXPECT_EQ(TextOf(buffer), reference.Text().Text());
        EXPECT_FALSE(reference.CanUndo());
    }
}

}
