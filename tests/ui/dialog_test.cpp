#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/KeyState.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "DialogFixture.h"
#include "TestWindows.h"

namespace {

using namespace zorkit::test;
using zorkit::InputKind;
using zorkit::MouseButton;

struct DialogTest : ::testing::Test {
    void SetUp() override
    {
        zorkit::ReleaseAllKeys();
        RegisterTestTemplate();
        ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 640, 480)));
    }
    void TearDown() override
    {
        zorkit::ReleaseAllKeys();
        zorkit::UnregisterDialogTemplate(kTestDialog);
    }
    static CRect ScreenRect(CWnd* wnd)
    {
        CRect r;
        wnd->GetWindowRect(&r);
        return r;
    }
    RecordingWnd owner;
};

TEST_F(DialogTest, ReturnPressesTheDefaultButtonAndEscapeCancels)
{
    ActingDialog ok(&owner);
    ok.act = [](ActingDialog&) { Key(VK_RETURN); };
    EXPECT_EQ(ok.DoModal(), IDOK);
    EXPECT_TRUE(ok.initialised) << "OnInitDialog runs after the controls exist";
    EXPECT_EQ(ok.commands, std::vector<int>{IDOK});

    ActingDialog cancel(&owner);
    cancel.act = [](ActingDialog&) { Key(VK_ESCAPE); };
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_EQ(cancel.commands, std::vector<int>{IDCANCEL});
    EXPECT_EQ(cancel.m_hWnd, nullptr) << "DoModal destroys the dialog window";
}

TEST_F(DialogTest, ReturnOnAFocusedPushButtonPressesThatButton)
{
    ActingDialog dialog(&owner);
    dialog.act = [](ActingDialog& d) {
        d.GetDlgItem(kOtherButton)->SetFocus();
        Key(VK_RETURN);
        Key(VK_ESCAPE);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.commands, (std::vector<int>{kOtherButton, IDCANCEL}));
}

TEST_F(DialogTest, ChangedDefaultButtonTakesReturn)
{
    ActingDialog dialog(&owner);
    dialog.act = [](ActingDialog& d) {
        d.SetDefID(IDCANCEL);
        EXPECT_EQ(LOWORD(d.GetDefID()), IDCANCEL);
        EXPECT_EQ(d.GetDlgItem(IDOK)->GetStyle() & BS_TYPEMASK, BS_PUSHBUTTON);
        EXPECT_EQ(d.GetDlgItem(IDCANCEL)->GetStyle() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        Key(VK_RETURN);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, TabMovesThroughEnabledTabStopsBothWaysAndSelectsEditText)
{
    std::vector<int> forward, backward;
    ActingDialog dialog(&owner);
    dialog.act = [&](ActingDialog& d) {
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(kEditId)) << "the first tab stop starts with the focus";
        for (int i = 0; i < 5; ++i) {
            Key(VK_TAB);
            zorkit::PumpPendingMessages();
            forward.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        }
        zorkit::InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, VK_SHIFT});
        for (int i = 0; i < 2; ++i) {
            Key(VK_TAB);
            zorkit::PumpPendingMessages();
            backward.push_back(CWnd::GetFocus()->GetDlgCtrlID());
        }
        zorkit::InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, VK_SHIFT});
        DWORD start = 0, end = 0;
        d.GetDlgItem(kEditId)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 5u) << "tabbing into an edit selects its text";
        d.EndDialog(7);
    };
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(forward, (std::vector<int>{kSecondEdit, IDOK, IDCANCEL, kOtherButton, kEditId}))
        << "statics and disabled controls are skipped, and the order wraps";
    EXPECT_EQ(backward, (std::vector<int>{kOtherButton, IDCANCEL}));
}

TEST_F(DialogTest, RefusedExchangeKeepsTheDialogOpen)
{
    ActingDialog dialog(&owner);
    dialog.refuse = true;
    bool stillOpen = false;
    dialog.act = [&](ActingDialog& d) {
        Key(VK_RETURN);
        zorkit::PumpPendingMessages();
        stillOpen = d.IsWindowVisible();
        d.EndDialog(IDABORT);
    };
    EXPECT_EQ(dialog.DoModal(), IDABORT);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dialog.exchanges, 2) << "one exchange into the controls at start, one refused on OK";
}

TEST_F(DialogTest, OwnerIsDisabledWhileModalAndActiveAfterwards)
{
    bool ownerEnabledInside = true;
    ActingDialog dialog(&owner);
    dialog.act = [&](ActingDialog& d) {
        ownerEnabledInside = owner.IsWindowEnabled();
        EXPECT_EQ(CWnd::GetActiveWindow(), &d);
        d.PostMessage(WM_CLOSE);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL) << "the close box cancels";
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(CWnd::GetActiveWindow(), &owner);
}

TEST_F(DialogTest, MouseClickOnAButtonSendsItsCommand)
{
    ActingDialog dialog(&owner);
    dialog.act = [](ActingDialog& d) {
        CPoint centre = ScreenRect(d.GetDlgItem(IDOK)).CenterPoint();
        zorkit::InjectInput({InputKind::ButtonDown, centre});
        zorkit::InjectInput({InputKind::ButtonUp, centre});
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);

    ActingDialog dragged(&owner);
    dragged.act = [](ActingDialog& d) {
        CRect ok = ScreenRect(d.GetDlgItem(IDOK));
        zorkit::InjectInput({InputKind::ButtonDown, ok.CenterPoint()});
        zorkit::InjectInput({InputKind::MouseMove, CPoint(ok.right + 40, ok.top - 30)});
        zorkit::InjectInput({InputKind::ButtonUp, CPoint(ok.right + 40, ok.top - 30)});
        Key(VK_ESCAPE);
    };
    EXPECT_EQ(dragged.DoModal(), IDCANCEL) << "a press released outside the button is no click";
    EXPECT_EQ(dragged.commands, std::vector<int>{IDCANCEL});
}

TEST_F(DialogTest, MissingTemplateFailsAndQuitEndsTheLoop)
{
    CDialog missing(4242, &owner);
    EXPECT_EQ(missing.DoModal(), -1);

    ActingDialog dialog(&owner);
    dialog.act = [](ActingDialog&) { PostQuitMessage(3); };
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit stays for the outer loop";
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(DialogTest, ItemTextsRoundTripInGbk)
{
    CDialog dialog(kTestDialog, &owner);
    ASSERT_TRUE(dialog.Create(kTestDialog, &owner));
    CString text;
    EXPECT_EQ(dialog.GetDlgItemText(kSecondEdit, text), 6);
    EXPECT_STREQ(text, "second");
    std::string chinese = zorkit::GbkFromUtf8("波特率");
    dialog.SetDlgItemText(kEditId, chinese.c_str());
    char buffer[4];
    EXPECT_EQ(dialog.GetDlgItemText(kEditId, buffer, sizeof buffer), 3) << "cut to the buffer";
    EXPECT_EQ(std::string(buffer), chinese.substr(0, 3));
    EXPECT_EQ(dialog.GetDlgItemText(999, text), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(dialog.IsWindowVisible()) << "the template has no WS_VISIBLE";
}

TEST_F(DialogTest, DialogUnitsFollowTheTemplateFont)
{
    CDialog small(kTestDialog, &owner);
    ASSERT_TRUE(small.Create(kTestDialog, &owner));
    RegisterTestTemplate("System", 20);
    CDialog large(kTestDialog, &owner);
    ASSERT_TRUE(large.Create(kTestDialog, &owner));

    // Four horizontal units are one average character of the dialog's font.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(small.GetDialogFont());
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    CRect client;
    small.GetClientRect(&client);
    CRect expected(0, 0, 160, 80);
    small.MapDialogRect(&expected);
    EXPECT_EQ(client.Size(), expected.Size());
    EXPECT_NEAR(client.Height(), 80 * tm.tmHeight / 8, 1) << "eight vertical units are the font's height";

    CRect bigClient;
    large.GetClientRect(&bigClient);
    EXPECT_NEAR(double(bigClient.Width()) / client.Width(), 2.0, 0.25);
    EXPECT_NEAR(double(bigClient.Height()) / client.Height(), 2.0, 0.25);

    CRect edit;
    small.GetDlgItem(kEditId)->GetWindowRect(&edit);
    small.ScreenToClient(&edit);
    CRect edit2(44, 4, 150, 16);
    small.MapDialogRect(&edit2);
    EXPECT_EQ(edit, edit2);
    LOGFONT lf{};
    small.GetFont()->GetLogFont(&lf);
    EXPECT_STREQ(lf.lfFaceName, "System");
    EXPECT_EQ(small.GetDlgItem(kEditId)->GetFont()->GetSafeHandle(), small.GetFont()->GetSafeHandle())
        << "controls get the dialog's font";
}

TEST_F(DialogTest, ControlsPaintTheirLook)
{
    const DWORD visible = WS_VISIBLE;
    zorkit::RegisterDialogTemplate(kTestDialog + 1, zorkit::DialogTemplate{
        WS_POPUP | visible, 0, "", "System", 10, CRect(0, 0, 100, 40), {
            {"STATIC", "", IDC_STATIC, visible | SS_ETCHEDHORZ, CRect(0, 10, 100, 11)},
            {"BUTTON", "OK", IDOK, visible | BS_DEFPUSHBUTTON, CRect(20, 20, 80, 36)},
        }});
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(kTestDialog + 1, &owner));
    zorkit::PumpPendingMessages();
    auto shot = zorkit::CaptureWindow(dialog.m_hWnd, true);
    ASSERT_TRUE(shot);
    CRect rule;
    dialog.GetDlgItem(IDC_STATIC)->GetWindowRect(&rule);
    dialog.ScreenToClient(&rule);
    EXPECT_EQ(shot->GetPixel(rule.left + 5, rule.top), GetSysColor(COLOR_BTNSHADOW)) << "etched rule: shadow line";
    EXPECT_EQ(shot->GetPixel(rule.left + 5, rule.top + 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << "then highlight";
    CRect ok;
    dialog.GetDlgItem(IDOK)->GetWindowRect(&ok);
    dialog.ScreenToClient(&ok);
    EXPECT_EQ(shot->GetPixel(ok.left, ok.top + 3), GetSysColor(COLOR_WINDOWFRAME))
        << "the default button has a dark frame";
    int textPixels = 0;
    for (int y = ok.top + 3; y < ok.bottom - 3; ++y)
        for (int x = ok.left + 3; x < ok.right - 3; ++x)
            textPixels += (shot->GetPixel(x, y)) != (GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(textPixels, 10) << "the caption is drawn on the face";
    dialog.DestroyWindow();
    zorkit::UnregisterDialogTemplate(kTestDialog + 1);
}

}
