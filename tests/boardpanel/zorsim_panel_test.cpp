// zorsim --panel as a student starts it on a desktop: its window comes up on the X
// server, shows what zorsim's commands do to the devices, and SIGTERM ends it cleanly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/screenshot/XvfbServer.h"
#include "tests/sim/ZorsimProcess.h"
#include "tools/boardpanel/PanelLayout.h"
#include "tools/boardpanel/PanelPainter.h"

namespace boardpanel::test {
namespace {

using zorkit::sim::test::kPatience;

// Where xwininfo puts the panel's window ("760x420+X+Y"), once it lists it.
std::optional<CPoint> PanelOrigin(const zorkit::test::XvfbServer& server)
{
    const std::string windows = server.ListWindows();
    std::istringstream lines(windows);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"zorsim - the board's devices\"") == std::string::npos)
            continue;
        const std::string size = std::to_string(CPanelLayout::kWidth) + "x" + std::to_string(CPanelLayout::kHeight) + "+";
        const std::size_t at = line.find(size);
        if (at == std::string::npos)
            continue;
        int x = 0, y = 0;
        if (std::sscanf(line.c_str() + at + size.size(), "%d+%d", &x, &y) == 2)
            return CPoint(x, y);
    }
    return std::nullopt;
}

TEST(ZorsimPanel, TheWindowShowsWhatTheCommandsDo)
{
    std::string why;
    auto server = zorkit::test::XvfbServer::Start(why, "800x480x24");
    if (!server)
        GTEST_SKIP() << why;
    ::setenv("DISPLAY", server->Display().c_str(), 1);
    zorkit::sim::test::CZorsimProcess zorsim({"--panel"});
    ::unsetenv("DISPLAY");
    ASSERT_TRUE(zorsim.Started());
    ASSERT_FALSE(zorsim.Path().empty()) << "zorsim prints its line's path first";

    std::optional<CPoint> origin;
    for (auto deadline = std::chrono::steady_clock::now() + kPatience; !(origin = PanelOrigin(*server));)
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no panel window:\n" << server->ListWindows();

    const CPanelLayout layout = LayOutPanel(zorkit::sim::DefaultBoardProfile());
    const CRect& slot = layout.switches[3];
    const CPoint handleTop(origin->x + slot.CenterPoint().x, origin->y + slot.top + 6);
    ASSERT_TRUE(zorsim.Type("switch 3 on\n"));
    bool up = false;
    for (auto deadline = std::chrono::steady_clock::now() + kPatience; !up && std::chrono::steady_clock::now() < deadline;)
        if (auto screen = server->GrabRoot())
            up = screen->GetPixel(handleTop.x, handleTop.y) == RGB(240, 240, 236);
    EXPECT_TRUE(up) << "switch 3's handle is up on the screen";

    zorsim.Signal(SIGTERM);
    EXPECT_EQ(zorsim.ExitStatus(), 0);
}

}
}
