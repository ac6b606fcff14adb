// The panel on the virtual board while a lab program runs on it: the user clicks
// and holds the panel's controls, the program sees them on its ports and bus, and
// the panel's pixels show what the program made of them.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "sim/BoardProtocol.h"
#include "sim/VirtualBoard.h"
#include "tests/boardpanel/PanelRig.h"
#include "tests/sim/HostLine.h"
#include "tools/boardpanel/LcdFont.h"
#include "tools/boardpanel/SerialTerminal.h"
#include "tools/common/IntelHex.h"

namespace boardpanel::test {
namespace {

using zorkit::sim::CDeviceBoard;
using zorkit::sim::test::CHostLine;
using zorkit::sim::test::kPatience;

// The program's loop takes a few microseconds; 20 ms of board time is many turns.
constexpr std::uint64_t kManyTurns = 20000;
// About one scan of the whole 7-segment display.
constexpr std::uint64_t kScanTurn = 5000;

class PanelOnBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        board->AttachDevices(&zorkit::sim::DefaultBoardProfile());
        ASSERT_TRUE(board->Start()) << board->LastError();
        host = std::make_unique<CHostLine>(board->SlavePath());
        ASSERT_TRUE(host->IsOpen());
        ASSERT_TRUE(panel.CreateTopLevel("panel", kPanelPlace));
        panel.ShowVirtualBoard(board, zorkit::sim::DefaultBoardProfile());
    }
    void TearDown() override
    {
        panel.DestroyWindow();
        board->Stop();
        board->AttachDevices(nullptr);
    }

    // Downloads the Intel hex file and runs it from 0000 without breakpoints.
    void Run(const std::string& path)
    {
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(path)) << hex.GetError();
        for (const CIntelHex::Run& run : hex.GetRuns())
            for (std::size_t at = 0; at < run.bytes.size(); at += 200) {
                const std::size_t n = std::min<std::size_t>(200, run.bytes.size() - at);
                const WORD address = WORD(run.address + at);
                std::vector<BYTE> parameters{BYTE(address), BYTE(address >> 8), BYTE(n)};
                parameters.insert(parameters.end(), run.bytes.begin() + long(at), run.bytes.begin() + long(at + n));
                ASSERT_TRUE(host->Send(zorkit::sim::test::Frame(zorkit::sim::CMD_PROG_DLD, parameters)));
                ASSERT_EQ(host->Receive(1), std::vector<BYTE>{zorkit::sim::kAck});
            }
        ASSERT_TRUE(host->Send(zorkit::sim::test::Frame(zorkit::sim::CMD_PROG_EXEC, {0x00, 0x00})));
        ASSERT_EQ(host->Receive(1), std::vector<BYTE>{zorkit::sim::kAck});
    }

    std::uint64_t BoardCycle()
    {
        std::uint64_t cycle = 0;
        board->WithDevices([&cycle](CDeviceBoard& devices) { cycle = devices.Cycle(); });
        return cycle;
    }
    // The panel's picture once the board has run `cycles` more machine cycles
    // (null when it does not get there in time).
    std::shared_ptr<zorkit::Surface> PictureAfter(std::uint64_t cycles)
    {
        const std::uint64_t until = BoardCycle() + cycles;
        for (auto deadline = std::chrono::steady_clock::now() + kPatience; BoardCycle() < until;) {
            if (std::chrono::steady_clock::now() > deadline)
                return nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        panel.Refresh();
        return Picture(panel);
    }
    bool LedLit(const zorkit::Surface& picture, int n)
    {
        return Lit(picture, panel.Layout().leds[std::size_t(n)].CenterPoint(), kLedLit);
    }
    BYTE Digit(const zorkit::Surface& picture, int digit)
    {
        const auto rects = SegmentRects(panel.Layout().digits[std::size_t(digit)]);
        BYTE shown = 0;
        for (std::size_t s = 0; s < rects.size(); ++s)
            if (Lit(picture, rects[s].CenterPoint(), kSegmentLit))
                shown |= BYTE(1 << s);
        return shown;
    }
    // Pictures taken a few milliseconds of board time apart until one shows what
    // `shows` looks for; null when none does in time.
    std::shared_ptr<zorkit::Surface> PictureUntil(const std::function<bool(const zorkit::Surface&)>& shows)
    {
        for (auto deadline = std::chrono::steady_clock::now() + kPatience; std::chrono::steady_clock::now() < deadline;)
            if (auto picture = PictureAfter(kScanTurn); picture && shows(*picture))
                return picture;
        return nullptr;
    }

    std::shared_ptr<zorkit::sim::CVirtualBoard> board = std::make_shared<zorkit::sim::CVirtualBoard>();
    std::unique_ptr<CHostLine> host;
    CBoardPanel panel;
};


TEST_F(PanelOnBoard, AClickedSwitchIsReadByTheProgramWhichLightsItsLed)
{
    Run(std::string(ZORKIT_LAB_PROGRAMS) + "/switches_to_leds.ihx");
    auto picture = PictureAfter(kManyTurns);
    ASSERT_TRUE(picture);
    for (int n = 0; n < 8; ++n)
        EXPECT_FALSE(LedLit(*picture, n)) << "LED " << n << " with every switch off";

    Click(panel, panel.Layout().switches[2].CenterPoint());
    picture = PictureAfter(kManyTurns);
    ASSERT_TRUE(picture);
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(LedLit(*picture, n), n == 2) << "LED " << n << " with switch 2 on";

    Click(panel, panel.Layout().switches[2].CenterPoint());
    picture = PictureAfter(kManyTurns);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(LedLit(*picture, 2)) << "switch 2 flipped back off";
}

TEST_F(PanelOnBoard, AHeldKeypadKeyIsScannedAndShownOnTheDisplay)
{
    Run(std::string(ZORKIT_LAB_PROGRAMS) + "/keypad_to_display.ihx");
    constexpr BYTE kDash = 0x40, kB = 0x7C, kThree = 0x4F;
    // The program scans all eight digits; the panel shows them all steady.
    auto picture = PictureUntil([&](const zorkit::Surface& p) { return Digit(p, 0) == kDash && Digit(p, 7) == kDash; });
    ASSERT_TRUE(picture) << "the display never showed its eight dashes";
    for (int digit = 0; digit < 8; ++digit)
        EXPECT_EQ(Digit(*picture, digit), kDash) << "digit " << digit;

    // Held with the mouse until the display shows it, as a student watches it.
    const CPoint key = panel.Layout().keys[0xB].CenterPoint();
    Press(panel, key);
    picture = PictureUntil([&](const zorkit::Surface& p) { return Digit(p, 7) == kB; });
    ASSERT_TRUE(picture) << "b never entered from the right while the mouse held key B";
    EXPECT_EQ(Digit(*picture, 6), kDash);
    Let(panel, key);

    // The keyboard's 3 holds keypad key 3 while the panel has the focus.
    Type(zorkit::InputKind::KeyDown, '3');
    picture = PictureUntil([&](const zorkit::Surface& p) { return Digit(p, 7) == kThree; });
    ASSERT_TRUE(picture) << "3 never entered while the keyboard held it";
    EXPECT_EQ(Digit(*picture, 6), kB) << "b moved left";
    Type(zorkit::InputKind::KeyUp, '3');
    picture = PictureAfter(kManyTurns);
    ASSERT_TRUE(picture);
    EXPECT_EQ(Digit(*picture, 5), kDash) << "a key held once enters once";
}

TEST_F(PanelOnBoard, TheLcdGreetingsTextIsInTheLcdsPixels)
{
    Run(std::string(ZORKIT_LAB_PROGRAMS) + "/lcd_greeting.ihx");
    const std::string lines[2] = {"Hello, lab!     ", "8051 says hi    "};
    auto greeted = [&] {
        std::string shown;
        board->WithDevices([&shown](CDeviceBoard& devices) { shown = devices.Lcd()->Line(0) + devices.Lcd()->Line(1); });
        return shown == lines[0] + lines[1];
    };
    for (auto deadline = std::chrono::steady_clock::now() + kPatience; !greeted();) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the program never finished its greeting";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    auto picture = PictureAfter(1);
    ASSERT_TRUE(picture);
    for (int cell = 0; cell < 32; ++cell) {
        const char c = lines[cell / 16][std::size_t(cell % 16)];
        const CRect place = panel.Layout().LcdCell(cell);
        const CGlyph glyph = LcdGlyph(BYTE(c), {});
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 5; ++column) {
                const bool on = glyph[std::size_t(row)] >> (4 - column) & 1;
                // Every pixel of the dot, not only its middle.
                for (int dy = 0; dy < CPanelLayout::kDot; ++dy)
                    for (int dx = 0; dx < CPanelLayout::kDot; ++dx)
                        ASSERT_EQ(picture->GetPixel(place.left + column * CPanelLayout::kDotPitch + dx,
                                      place.top + row * CPanelLayout::kDotPitch + dy),
                            on ? kLcdDotOn : kLcdDotOff)
                            << "'" << c << "' in cell " << cell << ", dot row " << row << " column " << column;
            }
    }
}

TEST_F(PanelOnBoard, TheSerialTerminalSendsWhatIsTypedAndShowsWhatTheProgramSends)
{
    Run(std::string(ZORKIT_PANEL_PROGRAMS) + "/serial_echo.ihx");
    CSerialTerminal terminal;
    ASSERT_TRUE(terminal.Create(&panel, CRect(0, 0, 400, 120), 1));
    terminal.Attach(board);
    terminal.SetFocus();
    ASSERT_TRUE(zorkit::DeliverText("hi"));
    zorkit::DeliverInput({zorkit::InputKind::Char, CPoint(0, 0), zorkit::MouseButton::Left, 0, '\r'});
    for (auto deadline = std::chrono::steady_clock::now() + kPatience; terminal.Received().size() < 3;) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "echoed so far: " << terminal.Received().size();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        terminal.Refresh();
    }
    EXPECT_EQ(terminal.Received(), (std::vector<BYTE>{'h', 'i', '\r'}));
    EXPECT_EQ(terminal.Lines(), (std::vector<std::string>{"hi", ""})) << "a CR ends the line";
    Click(panel, CPoint(terminal.ModeSwitch().CenterPoint()));
    EXPECT_TRUE(terminal.Hex()) << "the mode switch was clicked";
    EXPECT_EQ(terminal.Lines(), (std::vector<std::string>{"68 69 0D"}));
    terminal.Attach(nullptr);
    terminal.DestroyWindow();
}

}
}
