// Message boxes on a real desktop: the on-screen backend shows them, and the keys a
// person presses there decide the answer.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "tests/screenshot/ScreenComparison.h"
#include "tests/screenshot/Xdotool.h"

namespace {

struct DesktopMessageBoxTest : ::testing::Test {
    void SetUp() override
    {
        if (!zorkit::test::HaveProgram("xdotool") || !zorkit::test::HaveProgram("xwininfo"))
            GTEST_SKIP() << "xdotool or xwininfo is not installed";
        std::string why;
        screen = zorkit::test::ScreenComparison::Start(why);
        if (!screen)
            GTEST_SKIP() << why;
        zorkit::ClearRecordedMessageBoxes();
    }

    // Where the top-level window titled `caption` is on the server, if it is there.
    std::optional<CRect> FindWindow(const std::string& caption) const
    {
        const std::string listing = screen->Server().ListWindows();
        const std::size_t name = listing.find("\"" + caption + "\"");
        if (name == std::string::npos)
            return std::nullopt;
        const std::size_t geometry = listing.find(')', name + caption.size() + 2);
        int w, h, x, y;
        if (geometry == std::string::npos ||
            std::sscanf(listing.c_str() + geometry + 1, " %dx%d+%d+%d", &w, &h, &x, &y) != 4)
            return std::nullopt;
        return CRect(x, y, x + w, y + h);
    }

    // Shows a box titled `caption` and, from a second thread, waits for it on the
    // desktop and presses `key` in it (the key goes to the window under the pointer).
    // If the box does not end, the test process ends rather than hang.
    int AnswerWith(const std::string& key, UINT type, const std::string& text)
    {
        const std::string caption = "zorkit box " + key;
        std::promise<void> answered;
        std::shared_future<void> seen = answered.get_future().share();
        std::thread watchdog([&, seen] {
            if (seen.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
                std::fprintf(stderr, "the box \"%s\" is still up; giving up\n", caption.c_str());
                std::abort();
            }
        });
        std::thread person([&, seen] {
            // The box may be listed before it can take keys: press until it answers.
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (std::chrono::steady_clock::now() < deadline) {
                if (std::optional<CRect> box = FindWindow(caption)) {
                    // No --sync: the pointer may already be there, and the server
                    // takes the move before the key in any case.
                    CPoint middle = box->CenterPoint();
                    pressed |= zorkit::test::RunXdotool(
                        screen->Display(), {"mousemove", std::to_string(middle.x), std::to_string(middle.y), "key", key});
                }
                if (seen.wait_for(std::chrono::milliseconds(300)) == std::future_status::ready)
                    return;
            }
        });
        int answer = MessageBox(nullptr, zorkit::GbkFromUtf8(text).c_str(), caption.c_str(), type);
        answered.set_value();
        person.join();
        watchdog.join();
        return answer;
    }

    std::unique_ptr<zorkit::test::ScreenComparison> screen;
    bool pressed = false;
};

TEST_F(DesktopMessageBoxTest, ReturnTakesTheDefaultButtonAndEscapeCancels)
{
    EXPECT_EQ(AnswerWith("Return", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, "复位成功？"), IDNO)
        << "the second button is the default";
    EXPECT_TRUE(pressed) << "the box never appeared on the desktop";
    EXPECT_EQ(AnswerWith("Escape", MB_YESNOCANCEL | MB_ICONWARNING, "保存修改？"), IDCANCEL);
    EXPECT_EQ(AnswerWith("Return", MB_OKCANCEL, "继续"), IDOK) << "without a default flag the first button is it";
    ASSERT_EQ(zorkit::RecordedMessageBoxes().size(), 3u) << "boxes on the desktop are recorded too";
    EXPECT_EQ(zorkit::Utf8FromGbk(zorkit::RecordedMessageBoxes()[1].text), "保存修改？");
}

}
