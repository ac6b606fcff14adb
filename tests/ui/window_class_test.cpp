#include <gtest/gtest.h>

#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/internal/ScrollBarState.h"
#include "TestWindows.h"

namespace {

TEST(WindowClass, NamesAreUniqueAndKeepTheirAttributes)
{
    WNDCLASS wc{CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::DefWindowProc, 0, 0, nullptr, nullptr, nullptr,
                reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1)), nullptr, "MFCGridCtrlTest"};
    ASSERT_NE(RegisterClass(&wc), 0);
    EXPECT_EQ(RegisterClass(&wc), 0) << "a name is registered once";
    WNDCLASS read{};
    ASSERT_TRUE(GetClassInfo(nullptr, "mfcgridctrltest", &read)) << "names compare without case";
    EXPECT_EQ(read.style, 0x000Bu);
    EXPECT_TRUE(AfxRegisterClass(&wc)) << "an existing class is fine for AfxRegisterClass";
    EXPECT_TRUE(UnregisterClass("MFCGridCtrlTest", nullptr));
    EXPECT_FALSE(GetClassInfo(nullptr, "MFCGridCtrlTest", &read));
    EXPECT_FALSE(UnregisterClass("EDIT", nullptr)) << "platform classes stay";
}

TEST(WindowClass, WithoutDoubleClickStyleASecondClickIsAPlainPress)
{
    LPCTSTR plain = AfxRegisterWndClass(0);
    zorkit::test::RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, plain, "", WS_POPUP | WS_VISIBLE, CRect(500, 500, 600, 600), nullptr, 0));
    zorkit::PumpPendingMessages();
    wnd.events.clear();
    for (DWORD t : {100u, 200u}) {
        zorkit::InjectInput({zorkit::InputKind::ButtonDown, CPoint(550, 550), zorkit::MouseButton::Left, 0, 0, t});
        zorkit::InjectInput({zorkit::InputKind::ButtonUp, CPoint(550, 550), zorkit::MouseButton::Left, 0, 0, t});
    }
    zorkit::PumpPendingMessages();
    EXPECT_EQ(wnd.events, (std::vector<std::string>{"ldown", "lup", "ldown", "lup"}));
}

// Whatever the order of settings, the position stays within [min, max - page + 1]
// and the page within the range.
TEST(ScrollBarState, SettingsStayConsistentForAnyInput)
{
    const int values[] = {-50, -1, 0, 1, 9, 10, 11, 99, 100, 1000};
    for (int min : values)
        for (int max : values)
            for (int page : {0, 1, 10, 50, 200})
                for (int pos : values) {
                    zorkit::ScrollBarState state;
                    state.SetInfo(SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, min, max, UINT(page), pos, 0});
                    ASSERT_LE(state.Min(), state.Max());
                    ASSERT_LE((long long)state.Page(), (long long)state.Max() - state.Min() + 1);
                    ASSERT_GE(state.Pos(), state.Min());
                    ASSERT_LE(state.Pos(), state.MaxPos());
                    ASSERT_EQ(state.Needed(), state.MaxPos() > state.Min())
                        << "a bar is needed exactly when it can move";
                }
}

}
