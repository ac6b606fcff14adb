#include <gtest/gtest.h>

#include "zorkit/dialogs/Modeless.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/internal/KeyState.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace {

using zorkit::InputKind;
using zorkit::MouseButton;

constexpr UINT kPanel = 7001;
constexpr int kEdit = 11;

void Key(UINT vk)
{
    zorkit::InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, vk});
    zorkit::InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, vk});
    zorkit::PumpPendingMessages();
}

// Counts exchanges and tells when it is deleted.
class Panel : public CModeless {
public:
    Panel(CWnd* parent, bool* deleted) : CModeless(kPanel, parent), m_deleted(deleted) {}
    ~Panel() override { *m_deleted = true; }
    int exchanges = 0;
    UINT TemplateId() const { return m_nID; }

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        ++exchanges;
        CModeless::DoDataExchange(dx);
    }

private:
    bool* m_deleted;
};

struct ModelessTest : ::testing::Test {
    void SetUp() override
    {
        zorkit::ReleaseAllKeys();
        const DWORD tab = WS_VISIBLE | WS_TABSTOP;
        zorkit::RegisterDialogTemplate(kPanel, zorkit::DialogTemplate{
            WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, "Panel", "System", 10, CRect(0, 0, 120, 50), {
                {"EDIT", "", kEdit, tab, CRect(4, 4, 116, 16)},
                {"BUTTON", "OK", IDOK, tab | BS_DEFPUSHBUTTON, CRect(4, 30, 50, 44)},
                {"BUTTON", "Cancel", IDCANCEL, tab, CRect(60, 30, 110, 44)},
            }});
        static LPCTSTR cls = AfxRegisterWndClass(0);
        ASSERT_TRUE(host.CreateEx(0, cls, "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
    }
    void TearDown() override
    {
        zorkit::UnregisterDialogTemplate(kPanel);
        zorkit::ReleaseAllKeys();
    }
    CWnd host;
};

TEST_F(ModelessTest, CreatesFromTheRememberedTemplateAndStaysOpenOnReturn)
{
    bool deleted = false;
    auto* panel = new Panel(&host, &deleted);
    EXPECT_EQ(panel->TemplateId(), kPanel);
    ASSERT_TRUE(panel->Create(&host));
    EXPECT_TRUE(panel->IsWindowVisible());
    EXPECT_TRUE(host.IsWindowEnabled()) << "modeless: the host stays usable";
    int exchangesAfterCreate = panel->exchanges;

    zorkit::InjectText("abc");
    Key(VK_RETURN);
    EXPECT_TRUE(panel->IsWindowVisible()) << "Return leaves the dialog open";
    EXPECT_EQ(panel->exchanges, exchangesAfterCreate) << "and runs no data exchange";
    CString text;
    panel->GetDlgItemText(kEdit, text);
    EXPECT_STREQ(text, "abc");
    panel->DestroyWindow();
    EXPECT_TRUE(deleted);
}

TEST_F(ModelessTest, EscapeAndCloseOnlyHideAndShowingAgainKeepsTheControls)
{
    bool deleted = false;
    auto* panel = new Panel(&host, &deleted);
    ASSERT_TRUE(panel->Create(&host));
    HWND window = panel->m_hWnd;
    zorkit::InjectText("kept");
    Key(VK_ESCAPE);
    EXPECT_FALSE(panel->IsWindowVisible());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(deleted);

    panel->ShowWindow(SW_SHOW);
    EXPECT_EQ(panel->m_hWnd, window) << "the same window comes back";
    CString text;
    panel->GetDlgItemText(kEdit, text);
    EXPECT_STREQ(text, "kept");

    panel->SendMessage(WM_CLOSE);
    EXPECT_FALSE(panel->IsWindowVisible()) << "the close box hides too";
    EXPECT_FALSE(deleted);
    panel->DestroyWindow();
    EXPECT_TRUE(deleted);
}

TEST_F(ModelessTest, DestroyingTheHostDestroysAndFreesThePanel)
{
    bool deleted = false;
    auto* panel = new Panel(&host, &deleted);
    ASSERT_TRUE(panel->Create(&host));
    HWND window = panel->m_hWnd;
    host.DestroyWindow();
    EXPECT_FALSE(IsWindow(window)) << "an owned dialog goes with its owner";
    EXPECT_TRUE(deleted);
}

TEST_F(ModelessTest, MissingTemplateFailsWithoutAWindow)
{
    bool deleted = false;
    zorkit::UnregisterDialogTemplate(kPanel);
    auto* panel = new Panel(&host, &deleted);
    EXPECT_FALSE(panel->Create(&host));
    EXPECT_EQ(panel->m_hWnd, nullptr);
    delete panel;  // never had a window, so it cannot delete itself
    EXPECT_TRUE(deleted);
}

}
