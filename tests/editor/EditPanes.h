// An editing view and a read-only view on one buffer, side by side in a splitter, and
// the injected keys, characters and clicks that drive them.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zorkit/editor/UIEditView.h"
#include "zorkit/platform/core/CmdUI.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "tests/editor/TextViewHost.h"
#include "tests/support/ClipboardText.h"

namespace zorkit::test {

struct EditPanes : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 640, 12 * 16 + 40)));
        ASSERT_TRUE(splitter.CreateStatic(&frame, 1, 2, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
        ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(CUIEditView), CSize(300, 100), nullptr));
        ASSERT_TRUE(splitter.CreateView(0, 1, RUNTIME_CLASS(CTextView), CSize(300, 100), nullptr));
        frame.SendMessageToDescendants(WM_INITIALUPDATE);
        PumpPendingMessages();
    }
    void TearDown() override { splitter.DestroyWindow(); }

    // Puts the lines into the buffer, shows them in both panes and gives the editor the focus.
    void Show(const std::vector<std::string>& lines)
    {
        FillLines(buffer, lines);
        Editor().AttachToBuffer(&buffer);
        Reader().AttachToBuffer(&buffer);
        Editor().SetFocus();
        PumpPendingMessages();
    }

    CUIEditView& Editor() { return *static_cast<CUIEditView*>(splitter.GetPane(0, 0)); }
    CTextView& Reader() { return *static_cast<CTextView*>(splitter.GetPane(0, 1)); }

    void Key(UINT key, std::initializer_list<UINT> modifiers = {}) { PressKey(key, modifiers); }
    void Type(const std::string& utf8) { TypeText(utf8); }
    void Mouse(InputKind kind, CWnd& view, CPoint client) { MouseAt(kind, view, client); }
    void Click(CWnd& view, CPoint client) { ClickAt(view, client); }
    // The client point in the middle of the character at pos of the view.
    CPoint PointOf(CTextView& view, CPoint pos)
    {
        CPoint point = view.TextToClient(pos);
        return CPoint(point.x + view.GetCharWidthA() / 2 - 1, point.y + view.GetLineHeight() / 2);
    }
    CPoint Cursor() { return Editor().GetCursorPos(); }
    std::pair<CPoint, CPoint> Selection(CTextView& view)
    {
        std::pair<CPoint, CPoint> selection;
        view.GetSelection(selection.first, selection.second);
        return selection;
    }
    std::vector<std::string> Text()
    {
        std::vector<std::string> lines;
        for (int line = 0; line < buffer.GetLineCount(); ++line)
            lines.emplace_back(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line)));
        return lines;
    }
    // Runs the update handler of a command on a view.
    CCmdUI Update(CWnd& view, UINT id)
    {
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(&view, FALSE);
        return ui;
    }
    void Command(CWnd& view, UINT id)
    {
        view.SendMessage(WM_COMMAND, id, 0);
        PumpPendingMessages();
    }

    CTextBuf buffer;
    RecordingWnd frame;
    CSplitterWnd splitter;
};

using Sel = std::pair<CPoint, CPoint>;

inline void SetClipboardText(const std::string& text) { ASSERT_TRUE(PutClipboardText(text)); }

}
