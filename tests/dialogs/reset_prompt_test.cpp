#include <cstdio>

#include <gtest/gtest.h>

#include "zorkit/module/DialogTemplates.h"
#include "zorkit/module/LibraryResources.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Resources.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/Dialog.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/internal/KeyState.h"

namespace {

// The library entry registered the template and its string when the library loaded.
struct ResetPromptTest : ::testing::Test {};

TEST_F(ResetPromptTest, TemplateHasTheGivenShape)
{
    const zorkit::DialogTemplate* t = zorkit::FindDialogTemplate(zorkit::IDD_RESET_PROMPT);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rect.Size(), CSize(189, 65));
    EXPECT_NE(t->style & WS_CAPTION, WS_CAPTION) << "caption-less (a border alone is no caption)";
    EXPECT_EQ(t->fontName, "System");
    EXPECT_EQ(t->pointSize, 10);
    ASSERT_EQ(t->items.size(), 3u);
    EXPECT_EQ(t->items[0].text, zorkit::GbkFromUtf8("\n请按实验箱上的复位键\n\n（Esc键取消单片机复位操作）"));
    EXPECT_EQ(t->items[0].style & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(t->items[1].style & SS_TYPEMASK, SS_ETCHEDHORZ);
    EXPECT_EQ(t->items[1].rect.Height(), 1) << "a one-unit rule";
    EXPECT_EQ(t->items[2].id, int(zorkit::IDC_PORT_AND_BAUD));
    EXPECT_EQ(t->items[2].style & SS_TYPEMASK, SS_CENTER);
}

// Every control lies inside the dialog, and each text fits its control unclipped.
TEST_F(ResetPromptTest, TextsFitTheirControlsWhenShown)
{
    CDialog prompt;
    ASSERT_TRUE(prompt.Create(zorkit::IDD_RESET_PROMPT));
    char port[128];
    std::snprintf(port, sizeof port, zorkit::FindStringResource(zorkit::IDS_PORT_AND_BAUD), 1, 9600);
    prompt.SetDlgItemText(int(zorkit::IDC_PORT_AND_BAUD), port);

    CRect client;
    prompt.GetClientRect(&client);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(prompt.GetDialogFont());
    int checked = 0;
    for (CWnd* child = prompt.GetTopWindow(); child; child = child->GetNextWindow()) {
        CRect place;
        child->GetWindowRect(&place);
        prompt.ScreenToClient(&place);
        CRect inside;
        EXPECT_TRUE(inside.IntersectRect(&place, &client) && inside == place) << "control " << child->GetDlgCtrlID();
        CString text;
        child->GetWindowText(text);
        if (text.IsEmpty())
            continue;
        CRect needed(0, 0, place.Width(), 0);
        dc.DrawText(text, &needed, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        EXPECT_LE(needed.Height(), place.Height()) << LPCTSTR(text);
        EXPECT_LE(needed.Width(), place.Width());
        ++checked;
    }
    EXPECT_EQ(checked, 2);
    zorkit::UnregisterLibraryResources();
}

TEST_F(ResetPromptTest, EscapeCancelsTheModalPrompt)
{
    zorkit::ReleaseAllKeys();
    // The key arrives once the dialog has the focus: queue it behind the dialog's creation.
    struct Escape : CDialog {
        using CDialog::CDialog;
        BOOL OnInitDialog() override
        {
            CDialog::OnInitDialog();
            SetFocus();
            zorkit::InjectInput({zorkit::InputKind::KeyDown, CPoint(), zorkit::MouseButton::Left, 0, VK_ESCAPE});
            return FALSE;
        }
    } escape(zorkit::IDD_RESET_PROMPT);
    EXPECT_EQ(escape.DoModal(), IDCANCEL);
}

}
