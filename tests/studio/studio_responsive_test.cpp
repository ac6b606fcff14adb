// The window keeps answering while the board works: another thread times the window's
// message loop during a 16 KB download over the virtual board's serial line and during
// a stop, while the test pumps the window as a desktop would.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/studio/BigProgram.h"
#include "tests/studio/LoopProbe.h"
#include "tests/studio/StudioWindowFixture.h"
#include "tools/common/Numbers.h"
#include "tools/zorstudio/ui/HexCell.h"
#include "zorkit/platform/core/Gbk.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CStudioWindow;

// A window that waits for the board stalls for at least one frame of the link (about
// 210 ms) or a stop (about 850 ms); below that, a loaded machine or a sanitizer build may
// delay any thread. A sanitizer build on a busy machine was seen to pause the window's
// loop for 280 ms with no wait for the board, so there only a wait for a stop is caught.
// The 50 ms aim is measured in bench/studio, not here.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double kLongestStallMs = 600.0;
#else
constexpr double kLongestStallMs = 180.0;
#endif
constexpr DWORD kDownloadMs = 240000;

class StudioResponsiveTest : public StudioWindowTest {
protected:
    void OpenBigProgram()
    {
        const std::filesystem::path path = scratch.Path() / "big.asm";
        std::ofstream(path) << BigProgramSource();
        ASSERT_TRUE(window->OpenSource(path));
        Key('B', true);
        ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
    }
    std::string Message() { return Utf8FromGbk(window->StatusBar().PaneText(CStudioWindow::kMessagePane)); }
    // A click that does not wait for the board's answer.
    void PressDownload()
    {
        CWnd& button = *window->GetDlgItem(int(CStudioWindow::IdDownload));
        CRect client;
        button.GetClientRect(&client);
        CPoint at = client.CenterPoint();
        button.ClientToScreen(&at);
        InjectInput({InputKind::ButtonDown, at});
        InjectInput({InputKind::ButtonUp, at});
        PumpPendingMessages();
    }
};

TEST_F(StudioResponsiveTest, DownloadOf16KbShowsProgressWithoutStallingTheWindowAndCancelStopsIt)
{
    OpenBigProgram();
    CLoopProbe probe(window->m_hWnd);
    PressDownload();
    bool sawProgress = false, sawTimeLeft = false;
    ASSERT_TRUE(WaitFor([&] {
        const std::string text = Message();
        sawProgress = sawProgress || text.find("% (") != std::string::npos;
        sawTimeLeft = sawTimeLeft || text.find(" s left") != std::string::npos;
        return window->Idle();
    }, kDownloadMs)) << Message();
    const double worst = probe.Stop();
    EXPECT_LT(worst, kLongestStallMs) << "the window's loop stalled during the download";
    EXPECT_GT(probe.Answers(), 100) << "the loop answered all along";
    EXPECT_TRUE(sawProgress && sawTimeLeft) << "the status line showed the progress and the time left";
    ASSERT_TRUE(View().entry) << Message();
    EXPECT_EQ(Message().rfind("downloaded", 0), 0u) << Message();
    const CIntelHex::Run& run = window->LastBuild().hex.GetRuns().back();
    const WORD last = WORD(run.address + run.bytes.size() - 1);
    EXPECT_GE(last - 0x0100 + 1, 16000) << "about 16 KB went";
    EXPECT_TRUE(View().code->IsKnown(last)) << "the last byte reached the board's copy";

    // Again, cancelled with Escape once the first frames have gone.
    PressDownload();
    ASSERT_TRUE(WaitFor([&] { return Message().find("% (") != std::string::npos; }, kDownloadMs)) << Message();
    EXPECT_TRUE(window->CanRun(CStudioWindow::IdCancel));
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return window->Idle(); }, kDownloadMs));
    EXPECT_NE(Message().find("cancelled after"), std::string::npos) << Message();
    EXPECT_FALSE(View().entry) << "a cancelled download is no program to run";
    EXPECT_FALSE(View().code->IsKnown(last)) << "the download stopped before its end";
    EXPECT_FALSE(window->CanRun(CStudioWindow::IdCancel));
    EXPECT_TRUE(window->CanRun(CStudioWindow::IdDownload));
}

TEST_F(StudioResponsiveTest, StopShowsRegistersBeforeMemoryWithoutStallingTheWindow)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    ASSERT_TRUE(View().entry) << Message();
    const auto done = window->AddressOfSourceLine(LineOfLabel(window->Source(), "done:") + 1);
    ASSERT_TRUE(done);
    ASSERT_TRUE(window->ToggleBreakpoint(*done));
    Settle();
    ASSERT_TRUE(View().IsBreakpoint(*done));

    const int stops = View().stopsHandled;
    const CCellID pc = zorstudio::CRegisterGrid::CellOf("PC");
    CLoopProbe probe(window->m_hWnd);
    Key(VK_F5);
    bool registersFirst = false;
    ASSERT_TRUE(WaitFor([&] {
        registersFirst = registersFirst || (View().memoryPending &&
                                            window->Registers().GetItemText(pc.row, pc.col).str() ==
                                                tools::Hex(*done, 4));
        return View().stopsHandled > stops && !View().memoryPending && window->Idle();
    })) << Message();
    const double worst = probe.Stop();
    EXPECT_LT(worst, kLongestStallMs) << "the window's loop stalled at the stop";
    EXPECT_TRUE(registersFirst) << "the registers were shown while the memory was still on its way";
    EXPECT_EQ(View().current.pc, *done);
    EXPECT_EQ(Message(), "stopped at " + tools::Hex(*done, 4));
}

}
}
