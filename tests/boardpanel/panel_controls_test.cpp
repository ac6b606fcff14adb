// The panel on a board's devices driven directly as the core would drive them: what
// each device shows in the window's pixels, and what the user's mouse and keys do
// to the devices' inputs.
#include <gtest/gtest.h>

#include "sim/devices/DeviceBoard.h"
#include "tests/boardpanel/PanelRig.h"
#include "tools/boardpanel/LcdFont.h"
#include "tools/common/Wording.h"

namespace boardpanel::test {
namespace {

using zorkit::sim::CDeviceBoard;
using zorkit::sim::DefaultBoardProfile;

constexpr WORD kSeg7 = 0xE200;
constexpr WORD kLcd = 0xE400;

class PanelOnDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(panel.CreateTopLevel("panel", kPanelPlace));
        panel.ShowBoard(DefaultBoardProfile(), [this](const auto& action) {
            action(devices);
            return true;
        });
    }
    void TearDown() override { panel.DestroyWindow(); }

    // Writes a bus register as a MOVX of the program would, a little later than the last.
    void Write(WORD address, BYTE value)
    {
        cycle += 50;
        devices.AdvanceTo(cycle);
        devices.BusWrite(address, value, cycle);
    }
    void Wait(std::uint64_t cycles)
    {
        cycle += cycles;
        devices.AdvanceTo(cycle);
        panel.Refresh();
    }
    // The 5x8 dots of an LCD cell as the picture shows them, as glyph rows.
    CGlyph CellDots(const zorkit::Surface& picture, int cell)
    {
        const CRect place = panel.Layout().LcdCell(cell);
        CGlyph dots{};
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 5; ++column) {
                const COLORREF c = picture.GetPixel(place.left + column * CPanelLayout::kDotPitch + 1,
                    place.top + row * CPanelLayout::kDotPitch + 1);
                EXPECT_TRUE(c == kLcdDotOn || c == kLcdDotOff) << "cell " << cell << " dot " << row << "," << column;
                if (c == kLcdDotOn)
                    dots[std::size_t(row)] |= BYTE(0x10 >> column);
            }
        return dots;
    }
    // The segments digit `digit` shows in the picture, bit 0 = a.
    BYTE Segments(const zorkit::Surface& picture, int digit)
    {
        const auto rects = SegmentRects(panel.Layout().digits[std::size_t(digit)]);
        BYTE shown = 0;
        for (std::size_t s = 0; s < rects.size(); ++s)
            if (Lit(picture, rects[s].CenterPoint(), kSegmentLit))
                shown |= BYTE(1 << s);
        return shown;
    }

    CDeviceBoard devices{DefaultBoardProfile()};
    std::uint64_t cycle = 0;
    CBoardPanel panel;
};

TEST_F(PanelOnDevices, LcdCellsShowTheCharacterGeneratorsGlyphsUserCharactersAndTheCursor)
{
    Write(kLcd, 0x38);          // two lines
    Write(kLcd, 0x0F);          // display, cursor and blink on
    Write(kLcd, 0x40);          // character RAM, character 0
    const BYTE arrow[8] = {0x04, 0x0E, 0x15, 0x04, 0x04, 0x04, 0x04, 0x00};
    for (BYTE row : arrow)
        Write(kLcd + 1, row);
    Write(kLcd, 0x80);
    for (BYTE code : {BYTE(0x00), BYTE('A'), BYTE('g'), BYTE(0x7E)})
        Write(kLcd + 1, code);
    Write(kLcd, 0xC0 + 15);     // the cursor on the last cell of line 2
    Wait(1);

    auto picture = Picture(panel);
    ASSERT_TRUE(picture);
    EXPECT_EQ(CellDots(*picture, 0), (CGlyph{0x04, 0x0E, 0x15, 0x04, 0x04, 0x04, 0x04, 0x00})) << "user character 0";
    EXPECT_EQ(CellDots(*picture, 1), LcdGlyph('A', {}));
    EXPECT_EQ(CellDots(*picture, 2), LcdGlyph('g', {}));
    EXPECT_EQ(CellDots(*picture, 3), (CGlyph{0x00, 0x04, 0x02, 0x1F, 0x02, 0x04, 0x00, 0x00})) << "the part's right arrow";
    EXPECT_EQ(CellDots(*picture, 4), CGlyph{}) << "a cleared cell is blank";
    EXPECT_NE(LcdGlyph('A', {}), CGlyph{});

    // The blinking cursor alternates a full block with the underline cursor.
    const std::uint64_t phase = cycle / kBlinkCycles;
    const CGlyph block{0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F};
    const CGlyph underline{0, 0, 0, 0, 0, 0, 0, 0x1F};
    EXPECT_EQ(CellDots(*picture, 31), phase % 2 == 0 ? block : underline);
    Wait(kBlinkCycles);
    EXPECT_EQ(CellDots(*Picture(panel), 31), phase % 2 == 0 ? underline : block);

    Write(kLcd, 0x08);          // display off: every cell blank, the cursor too
    Wait(1);
    picture = Picture(panel);
    for (int cell : {0, 1, 31})
        EXPECT_EQ(CellDots(*picture, cell), CGlyph{}) << "cell " << cell;
}

TEST_F(PanelOnDevices, SevenSegmentDigitsStaySteadyWhenScannedAndFadeWhenNot)
{
    const BYTE three = 0x4F;
    const BYTE seven = 0x07;
    // A fast scan: digits 0 and 1 each lit every 5 ms.
    for (int turn = 0; turn < 8; ++turn) {
        Write(kSeg7 + 1, 0x00);
        Write(kSeg7, three);
        Write(kSeg7 + 1, 0x01);
        Wait(2500);
        Write(kSeg7 + 1, 0x00);
        Write(kSeg7, seven);
        Write(kSeg7 + 1, 0x02);
        Wait(2500);
        auto picture = Picture(panel);
        ASSERT_EQ(Segments(*picture, 0), three) << "turn " << turn;
        ASSERT_EQ(Segments(*picture, 1), seven) << "turn " << turn;
        ASSERT_EQ(Segments(*picture, 2), 0);
    }
    // The scan stops on digit 1: digit 0 fades once the eye's 20 ms have passed.
    Wait(10000);
    EXPECT_EQ(Segments(*Picture(panel), 0), three) << "still seen 12.5 ms after it was lit";
    Wait(15000);
    EXPECT_EQ(Segments(*Picture(panel), 0), 0) << "faded";
    EXPECT_EQ(Segments(*Picture(panel), 1), seven) << "the digit lit now";
}

TEST_F(PanelOnDevices, MouseAndKeysWorkTheInputs)
{
    const CPanelLayout& layout = panel.Layout();
    Click(panel, layout.switches[5].CenterPoint());
    EXPECT_EQ(devices.State("switches"), "00000100");
    Click(panel, layout.switches[5].CenterPoint());
    Click(panel, layout.switches[0].CenterPoint());
    EXPECT_EQ(devices.State("switches"), "10000000") << "a second click flips the switch back";

    Press(panel, layout.buttons[1].CenterPoint());
    EXPECT_EQ(devices.State("buttons"), "up down") << "held while the mouse button is down";
    Let(panel, layout.buttons[1].CenterPoint());
    // A press lasts a finger's time on the board's clock, however quick the click.
    Wait(CDeviceBoard::kFingerCycles);
    EXPECT_EQ(devices.State("buttons"), "up up");

    // The mouse leaves the key before it lets go: the key comes up all the same.
    Press(panel, layout.keys[0xC].CenterPoint());
    EXPECT_EQ(devices.State("keypad"), "C");
    zorkit::DeliverInput({zorkit::InputKind::MouseMove, OnScreen(panel, CPoint(5, 5))});
    Let(panel, CPoint(5, 5));
    EXPECT_EQ(devices.State("keypad"), "none");

    const CPoint knob = layout.knobs[3].CenterPoint();
    Press(panel, knob);
    zorkit::DeliverInput({zorkit::InputKind::MouseMove, OnScreen(panel, CPoint(knob.x, knob.y - 40))});
    Let(panel, CPoint(knob.x, knob.y - 40));
    EXPECT_EQ(devices.Adc()->Input(3), 40) << "dragged up 40 pixels";
    zorkit::InputEvent wheel{zorkit::InputKind::Wheel, OnScreen(panel, knob)};
    wheel.wheelDelta = 2 * WHEEL_DELTA;
    zorkit::DeliverInput(wheel);
    EXPECT_EQ(devices.Adc()->Input(3), 40 + 2 * CBoardPanel::kWheelStep);
    wheel.wheelDelta = -100 * WHEEL_DELTA;
    zorkit::DeliverInput(wheel);
    EXPECT_EQ(devices.Adc()->Input(3), 0) << "a knob stops at its end";

    // The keyboard holds keypad keys while the panel has the focus (the clicks gave it).
    Type(zorkit::InputKind::KeyDown, '7');
    Type(zorkit::InputKind::KeyDown, 'E');
    Type(zorkit::InputKind::KeyDown, '7');   // the keyboard's repeat
    EXPECT_EQ(devices.State("keypad"), "7 E");
    Type(zorkit::InputKind::KeyUp, '7');
    EXPECT_EQ(devices.State("keypad"), "E");
    Type(zorkit::InputKind::KeyDown, 'G');
    EXPECT_EQ(devices.State("keypad"), "E") << "G is no keypad key";
    Type(zorkit::InputKind::KeyUp, 'E');
    EXPECT_EQ(devices.State("keypad"), "none");

    // The panel shows what the inputs are now.
    auto picture = Picture(panel);
    const CRect& on = layout.switches[0];
    EXPECT_EQ(picture->GetPixel(on.CenterPoint().x, on.top + 6), RGB(240, 240, 236)) << "switch 0's handle is up";
    EXPECT_NE(picture->GetPixel(layout.switches[5].CenterPoint().x, layout.switches[5].top + 6), RGB(240, 240, 236));
}

// A program that speaks another language has the device names in it.
std::string BuzzerInChinese(const char* english)
{
    return std::string(english) == "buzzer" ? "蜂鸣器" : english;
}

TEST_F(PanelOnDevices, TheCaptionsComeInTheWordingInstalled)
{
    const CPanelLayout& layout = panel.Layout();
    ASSERT_TRUE(layout.buzzer);
    const CRect caption(layout.buzzer->left, layout.buzzer->top - 18, layout.buzzer->left + 200, layout.buzzer->top - 2);
    auto english = Picture(panel);
    tools::SetWording(&BuzzerInChinese);
    panel.Invalidate(FALSE);
    auto worded = Picture(panel);
    tools::SetWording(nullptr);
    panel.Invalidate(FALSE);
    auto again = Picture(panel);
    int insideCaption = 0, elsewhere = 0;
    for (int y = 0; y < english->Height(); ++y)
        for (int x = 0; x < english->Width(); ++x)
            if (english->GetPixel(x, y) != worded->GetPixel(x, y))
                ++(caption.PtInRect(CPoint(x, y)) ? insideCaption : elsewhere);
    EXPECT_GT(insideCaption, 20) << "the buzzer's name is drawn in the other words";
    EXPECT_EQ(elsewhere, 0) << "nothing else changes";
    for (int y = caption.top; y < caption.bottom; ++y)
        for (int x = caption.left; x < caption.right; ++x)
            ASSERT_EQ(english->GetPixel(x, y), again->GetPixel(x, y)) << "English again without the wording";
}

TEST_F(PanelOnDevices, AWindowWithoutVirtualDevicesSaysSo)
{
    panel.ShowMessage("The experiment box is in front of you.");
    const std::size_t reads = panel.Reads();
    panel.Refresh();
    EXPECT_EQ(panel.Reads(), reads) << "a panel without devices reads none";
    auto picture = Picture(panel);
    EXPECT_NE(picture->GetPixel(panel.Layout().leds[0].CenterPoint().x, panel.Layout().leds[0].CenterPoint().y), kLedDark)
        << "no stale LEDs";
    Click(panel, panel.Layout().switches[2].CenterPoint());
    EXPECT_EQ(devices.State("switches"), "00000000") << "the devices' controls are gone with them";
}

}
}
