#include <gtest/gtest.h>

#include "zorkit/platform/core/CmdUI.h"
#include "zorkit/platform/ui/Input.h"
#include "TestWindows.h"

namespace {

using zorkit::test::RecordingWnd;

constexpr UINT ID_COPY = 0xE122;
constexpr UINT ID_PASTE = 0xE125;

// A command target with no window, as a document or a text buffer is.
class Target : public CCmdTarget {
public:
    std::vector<std::string> calls;
    void OnCopy() { calls.push_back("copy"); }
    void OnUpdateCopy(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }

    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CCmdTarget::GetThisMessageMap, {
            zorkit::MapCommand(ID_COPY, &Target::OnCopy),
            zorkit::MapUpdateCommandUI(ID_COPY, &Target::OnUpdateCopy),
            zorkit::MapCommandRange(100, 110, &Target::OnRange),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

class Base : public RecordingWnd {
public:
    void OnKeyDown(UINT key, UINT, UINT) { events.push_back("base key " + std::to_string(key)); }
    void OnChar(UINT ch, UINT, UINT) { events.push_back("base char " + std::to_string(ch)); }
    void OnPaste() { events.push_back("base paste"); }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&RecordingWnd::GetThisMessageMap, {
            zorkit::MapMessage<WM_KEYDOWN>(&Base::OnKeyDown),
            zorkit::MapMessage<WM_CHAR>(&Base::OnChar),
            zorkit::MapCommand(ID_PASTE, &Base::OnPaste),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

class Derived : public Base {
public:
    LRESULT lastNotifyCode = 0;
    void OnKeyDown(UINT key, UINT repeat, UINT flags)
    {
        events.push_back("derived key " + std::to_string(key));
        Base::OnKeyDown(key, repeat, flags);
    }
    void OnEndEdit(NMHDR* header, LRESULT* result)
    {
        lastNotifyCode = int(header->code);
        *result = 42;
    }
    LRESULT OnUser(WPARAM w, LPARAM l) { return LRESULT(w + l); }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&Base::GetThisMessageMap, {
            zorkit::MapMessage<WM_KEYDOWN>(&Derived::OnKeyDown),
            zorkit::MapNotify(-106, 8887, &Derived::OnEndEdit),
            zorkit::MapUserMessage(WM_USER + 0x70, &Derived::OnUser),
        });
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

TEST(MessageMap, CommandTargetWithoutWindowRunsCommandsAndUpdates)
{
    Target target;
    EXPECT_TRUE(target.OnCmdMsg(ID_COPY, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(105, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(111, CN_COMMAND, nullptr, nullptr)) << "outside the range";
    EXPECT_EQ(target.calls, (std::vector<std::string>{"copy", "range 105"}));

    CCmdUI ui;
    ui.m_nID = ID_COPY;
    EXPECT_TRUE(ui.DoUpdate(&target, TRUE));
    EXPECT_FALSE(ui.m_bEnabled) << "the update handler disabled the item";

    CCmdUI unhandled;
    unhandled.m_nID = 0xE12A;
    EXPECT_FALSE(unhandled.DoUpdate(&target, TRUE));
    EXPECT_FALSE(unhandled.m_bEnabled) << "no handler for the command: disabled";

    CCmdUI handledCommand;
    handledCommand.m_nID = 105;
    handledCommand.DoUpdate(&target, TRUE);
    EXPECT_TRUE(handledCommand.m_bEnabled) << "a command with a handler stays enabled";
}

TEST(MessageMap, MostDerivedHandlerWinsAndBaseTablesAreSearchedAfter)
{
    Derived wnd;
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 100, 100)));
    wnd.events.clear();
    wnd.SendMessage(WM_KEYDOWN, 'A', 1);
    wnd.SendMessage(WM_CHAR, 'b', 1);
    EXPECT_EQ(wnd.events, (std::vector<std::string>{"derived key 65", "base key 65", "base char 98"}))
        << "the most derived handler runs, calls its base's; WM_CHAR is found in the base table";

    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_PASTE, 0), 0);
    EXPECT_EQ(wnd.events.back(), "base paste");
    EXPECT_EQ(wnd.SendMessage(WM_USER + 0x70, 40, 2), 42);
}

TEST(MessageMap, NotifyReachesHandlerByControlIdAndCode)
{
    Derived wnd;
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 100, 100)));
    NMHDR header{nullptr, 8887, UINT(-106)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 8887, reinterpret_cast<LPARAM>(&header)), 42);
    EXPECT_EQ(wnd.lastNotifyCode, -106);

    NMHDR other{nullptr, 8887, UINT(-105)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 8887, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_EQ(wnd.lastNotifyCode, -106) << "another code has no handler";
}

TEST(MessageMap, UnhandledMessagesGetTheDefaultHandling)
{
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 100, 100)));
    wnd.SetWindowText("hello");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ(text, "hello");
    EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTCLIENT);
}

TEST(MessageMap, PreTranslateMessageSeesPostedMessagesFirst)
{
    class Eater : public RecordingWnd {
    public:
        BOOL PreTranslateMessage(MSG* msg) override { return msg->message == WM_KEYDOWN && msg->wParam == 'X'; }
    };
    Eater top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    RecordingWnd child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 50, 50), 1));
    child.PostMessage(WM_KEYDOWN, 'X', 1);
    child.PostMessage(WM_KEYDOWN, 'Y', 1);
    zorkit::PumpPendingMessages();
    EXPECT_EQ(child.events.back(), "key 89");
    EXPECT_EQ(std::count(child.events.begin(), child.events.end(), "key 88"), 0) << "the parent took X on its way";
}

}
