#include "tools/boardpanel/PanelPainter.h"

#include <cmath>
#include <string>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Pen.h"
#include "tools/boardpanel/LcdFont.h"
#include "tools/common/Wording.h"

namespace boardpanel {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr COLORREF kLabel = RGB(232, 240, 232);
constexpr COLORREF kKeyFace = RGB(206, 206, 200);
constexpr COLORREF kKeyDown = RGB(120, 120, 116);
constexpr COLORREF kKeyText = RGB(20, 20, 20);
constexpr COLORREF kBlack = RGB(12, 12, 12);
constexpr COLORREF kMetal = RGB(170, 172, 176);
constexpr COLORREF kTraceColour = RGB(80, 255, 120);
constexpr COLORREF kSounding = RGB(255, 220, 40);
constexpr COLORREF kLcdBezel = RGB(24, 24, 24);
constexpr COLORREF kLcdGlass = RGB(150, 190, 52);

// `text` is UTF-8, as the wording gives it; the panel draws it in GBK.
void Label(CDC& dc, const CRect& rect, const std::string& text, COLORREF colour = kLabel, UINT format = DT_CENTER)
{
    CRect place = rect;
    dc.SetTextColor(colour);
    const std::string shown = zorkit::GbkFromUtf8(text);
    dc.DrawText(shown.c_str(), int(shown.size()), &place, format | DT_SINGLELINE | DT_VCENTER);
}

void Caption(CDC& dc, int left, int top, const std::string& text)
{
    Label(dc, CRect(left, top, left + 200, top + 16), text, kLabel, DT_LEFT);
}

void FillDisc(CDC& dc, CPoint centre, int radius, COLORREF colour)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        const int half = int(std::sqrt(double(radius * radius - dy * dy)));
        dc.FillSolidRect(centre.x - half, centre.y + dy, 2 * half + 1, 1, colour);
    }
}

// A line from the centre at `degrees` clockwise from twelve o'clock.
void Hand(CDC& dc, CPoint centre, int length, double degrees, COLORREF colour, int width)
{
    CPen pen(PS_SOLID, width, colour);
    CPen* old = dc.SelectObject(&pen);
    const double radians = degrees * kPi / 180;
    dc.MoveTo(centre);
    dc.LineTo(centre.x + int(std::lround(length * std::sin(radians))), centre.y - int(std::lround(length * std::cos(radians))));
    dc.SelectObject(old);
}

void Key(CDC& dc, const CRect& rect, bool down, const std::string& text)
{
    dc.FillSolidRect(&rect, down ? kKeyDown : kKeyFace);
    if (down)
        dc.Draw3dRect(&rect, RGB(60, 60, 60), RGB(230, 230, 230));
    else
        dc.Draw3dRect(&rect, RGB(250, 250, 250), RGB(80, 80, 80));
    Label(dc, rect, text, kKeyText);
}

void PaintSwitches(CDC& dc, const CPanelLayout& layout, const CPanelState& state)
{
    for (std::size_t i = 0; i < layout.switches.size(); ++i) {
        const CRect& slot = layout.switches[i];
        const bool on = state.switches >> i & 1;
        dc.FillSolidRect(&slot, kBlack);
        const int half = slot.Height() / 2;
        CRect handle(slot.left + 3, on ? slot.top + 3 : slot.top + half, slot.right - 3, on ? slot.top + half : slot.bottom - 3);
        dc.FillSolidRect(&handle, RGB(240, 240, 236));
        Label(dc, CRect(slot.left - 6, slot.bottom + 2, slot.right + 6, slot.bottom + 16), std::to_string(i));
    }
}

void PaintSevenSegment(CDC& dc, const CPanelLayout& layout, const CPanelState& state)
{
    if (layout.digits.empty())
        return;
    CRect glass(layout.digits.front().left - 8, layout.digits.front().top - 8, layout.digits.back().right + 14,
        layout.digits.back().bottom + 8);
    dc.FillSolidRect(&glass, kBlack);
    for (std::size_t digit = 0; digit < layout.digits.size(); ++digit) {
        const std::array<CRect, 8> segments = SegmentRects(layout.digits[digit]);
        for (std::size_t s = 0; s < segments.size(); ++s)
            dc.FillSolidRect(&segments[s], (state.digits[digit] >> s & 1) ? kSegmentLit : kSegmentDark);
    }
}

void PaintLcd(CDC& dc, const CPanelLayout& layout, const CPanelState& state)
{
    dc.FillSolidRect(&*layout.lcd, kLcdBezel);
    CRect glass = *layout.lcd;
    glass.DeflateRect(4, 4);
    dc.FillSolidRect(&glass, kLcdGlass);
    const bool blinkPhase = state.cycle / kBlinkCycles % 2 == 0;
    for (int cell = 0; cell < 32; ++cell) {
        CGlyph glyph = LcdGlyph(state.lcdCodes[std::size_t(cell)], state.cgram);
        if (cell == state.cursorCell) {
            if (state.blinkOn && blinkPhase)
                glyph.fill(0x1F);
            else if (state.cursorOn)
                glyph[7] = 0x1F;
        }
        const CRect place = layout.LcdCell(cell);
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 5; ++column) {
                const bool on = glyph[std::size_t(row)] >> (4 - column) & 1;
                dc.FillSolidRect(place.left + column * CPanelLayout::kDotPitch, place.top + row * CPanelLayout::kDotPitch,
                    CPanelLayout::kDot, CPanelLayout::kDot, on ? kLcdDotOn : kLcdDotOff);
            }
    }
}

void PaintKnobs(CDC& dc, const CPanelLayout& layout, const CPanelState& state)
{
    for (std::size_t channel = 0; channel < layout.knobs.size(); ++channel) {
        const CRect& rect = layout.knobs[channel];
        const CPoint centre = rect.CenterPoint();
        const int value = state.knobs[channel];
        FillDisc(dc, centre, rect.Width() / 2, kMetal);
        FillDisc(dc, centre, rect.Width() / 2 - 4, RGB(60, 62, 66));
        Hand(dc, centre, rect.Width() / 2 - 4, -135 + 270.0 * value / 255, RGB(255, 255, 255), 3);
        char text[32];
        std::snprintf(text, sizeof text, "AIN%u %02X", unsigned(channel), unsigned(value));
        Label(dc, CRect(rect.left - 8, rect.bottom + 2, rect.right + 8, rect.bottom + 18), text);
    }
}

void PaintDac(CDC& dc, const CRect& rect, const CPanelState& state, const CDacTrace& trace)
{
    dc.FillSolidRect(&rect, kBlack);
    dc.Draw3dRect(&rect, kMetal, kMetal);
    if (trace.empty())
        return;
    const int height = rect.Height() - 4;
    auto y = [&](BYTE value) { return rect.bottom - 2 - value * height / 255; };
    auto x = [&](std::uint64_t cycle) {
        const std::uint64_t age = state.cycle - std::min(cycle, state.cycle);
        return rect.right - 2 - int(std::int64_t(age) * (rect.Width() - 4) / std::int64_t(kTraceCycles));
    };
    CPen pen(PS_SOLID, 1, kTraceColour);
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(std::max(int(rect.left) + 2, x(trace.front().first)), y(trace.front().second));
    for (std::size_t i = 1; i < trace.size(); ++i) {
        // Steps, as the converter's output holds each value until the next write.
        dc.LineTo(std::max(int(rect.left) + 2, x(trace[i].first)), y(trace[i - 1].second));
        dc.LineTo(std::max(int(rect.left) + 2, x(trace[i].first)), y(trace[i].second));
    }
    dc.LineTo(rect.right - 2, y(trace.back().second));
    dc.SelectObject(old);
}

void PaintStepper(CDC& dc, const CRect& rect, const CPanelState& state)
{
    const CPoint centre(rect.left + 40, rect.CenterPoint().y);
    FillDisc(dc, centre, 36, kMetal);
    FillDisc(dc, centre, 30, RGB(70, 72, 78));
    Hand(dc, centre, 28, state.stepperDegrees, RGB(255, 255, 255), 3);
    for (int phase = 0; phase < 4; ++phase) {
        const CRect lamp(rect.left + 86 + phase * 13, rect.top + 6, rect.left + 96 + phase * 13, rect.top + 16);
        dc.FillSolidRect(&lamp, (state.stepperPhases >> phase & 1) ? kLedLit : kLedDark);
        Label(dc, CRect(lamp.left - 2, lamp.bottom, lamp.right + 2, lamp.bottom + 14), std::string(1, char('A' + phase)));
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", state.stepperDegrees);
    Label(dc, CRect(rect.left + 80, rect.top + 40, rect.right, rect.top + 56), tools::Say("{1} deg", {text}), kLabel, DT_LEFT);
}

void PaintMotor(CDC& dc, const CRect& rect, const CPanelState& state)
{
    const CPoint centre(rect.left + 40, rect.CenterPoint().y);
    FillDisc(dc, centre, 36, kMetal);
    FillDisc(dc, centre, 30, RGB(70, 72, 78));
    const double turn = state.motorTurns - std::floor(state.motorTurns);
    Hand(dc, centre, 28, turn * 360, RGB(255, 200, 60), 4);
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", state.motorRpm);
    Label(dc, CRect(rect.left + 80, rect.top + 16, rect.right, rect.top + 32), tools::Say("{1} rpm", {text}), kLabel, DT_LEFT);
    std::snprintf(text, sizeof text, "%.0f", state.motorDuty * 100);
    Label(dc, CRect(rect.left + 80, rect.top + 36, rect.right, rect.top + 52), tools::Say("drive {1}%", {text}), kLabel, DT_LEFT);
}

// The heater's power as a bar (D/A 00-FF) and its sensor's temperature.
void PaintHeater(CDC& dc, const CRect& rect, const CPanelState& state)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.1f", state.heaterDegrees);
    Label(dc, CRect(rect.left, rect.top, rect.left + 140, rect.bottom), tools::Say("heater {1} deg C", {text}), kLabel, DT_LEFT);
    const CRect bar(rect.left + 154, rect.top + 5, rect.right, rect.bottom - 5);
    dc.FillSolidRect(&bar, kBlack);
    dc.FillSolidRect(bar.left, bar.top, bar.Width() * state.heaterPower / 255, bar.Height(), kLedLit);
}

void PaintBuzzer(CDC& dc, const CRect& rect, const CPanelState& state)
{
    const CRect speaker(rect.left, rect.top + 4, rect.left + 32, rect.top + 36);
    FillDisc(dc, speaker.CenterPoint(), 16, kBlack);
    if (state.buzzerHz > 0)
        FillDisc(dc, speaker.CenterPoint(), 8, kSounding);
    char text[32];
    std::snprintf(text, sizeof text, "%.0f Hz", state.buzzerHz);
    Label(dc, CRect(rect.left + 40, rect.top, rect.right, rect.bottom), state.buzzerHz > 0 ? text : tools::Say("silent"), kLabel,
          DT_LEFT);
}

}

std::shared_ptr<zorkit::Surface> PanelPicture(const CPanelLayout& layout, const CPanelState& state,
    const CDacTrace& trace)
{
    auto picture = zorkit::Surface::Create(CPanelLayout::kWidth, CPanelLayout::kHeight);
    if (!picture)
        return nullptr;
    CDC dc;
    dc.AttachSurface(picture, CPoint(0, 0), picture->Bounds());
    PaintPanel(dc, layout, state, trace);
    return picture;
}

void ShrinkInto(const zorkit::Surface& from, zorkit::Surface& to)
{
    for (int y = 0; y < to.Height(); ++y) {
        const int top = y * from.Height() / to.Height();
        const int bottom = std::max(top + 1, (y + 1) * from.Height() / to.Height());
        std::uint32_t* out = to.Row(y);
        for (int x = 0; x < to.Width(); ++x) {
            const int left = x * from.Width() / to.Width();
            const int right = std::max(left + 1, (x + 1) * from.Width() / to.Width());
            unsigned r = 0, g = 0, b = 0, n = 0;
            for (int sy = top; sy < bottom; ++sy) {
                const std::uint32_t* row = from.Row(sy);
                for (int sx = left; sx < right; ++sx, ++n) {
                    r += row[sx] >> 16 & 0xFF;
                    g += row[sx] >> 8 & 0xFF;
                    b += row[sx] & 0xFF;
                }
            }
            out[x] = (r / n) << 16 | (g / n) << 8 | (b / n);
        }
    }
}

std::array<CRect, 8> SegmentRects(const CRect& d)
{
    constexpr int t = 4;
    const int mid = d.top + d.Height() / 2;
    return {
        CRect(d.left + t, d.top, d.right - t, d.top + t),              // a
        CRect(d.right - t, d.top + t, d.right, mid - t / 2),           // b
        CRect(d.right - t, mid + t / 2, d.right, d.bottom - t),        // c
        CRect(d.left + t, d.bottom - t, d.right - t, d.bottom),        // d
        CRect(d.left, mid + t / 2, d.left + t, d.bottom - t),          // e
        CRect(d.left, d.top + t, d.left + t, mid - t / 2),             // f
        CRect(d.left + t, mid - t / 2, d.right - t, mid + t / 2),      // g
        CRect(d.right + 2, d.bottom - t, d.right + 2 + t, d.bottom),   // point
    };
}

void PaintPanel(CDC& dc, const CPanelLayout& layout, const CPanelState& state, const CDacTrace& trace)
{
    const CRect face(0, 0, CPanelLayout::kWidth, CPanelLayout::kHeight);
    dc.FillSolidRect(&face, kBoardColour);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);

    if (!layout.leds.empty())
        Caption(dc, layout.leds.front().left, layout.leds.front().top - 18, tools::Say("LEDs / switches"));
    for (std::size_t i = 0; i < layout.leds.size(); ++i)
        FillDisc(dc, layout.leds[i].CenterPoint(), layout.leds[i].Width() / 2, (state.leds >> i & 1) ? kLedLit : kLedDark);
    PaintSwitches(dc, layout, state);
    for (std::size_t i = 0; i < layout.buttons.size(); ++i)
        Key(dc, layout.buttons[i], state.buttons >> i & 1, "INT" + std::to_string(i));
    if (layout.buzzer) {
        Caption(dc, layout.buzzer->left, layout.buzzer->top - 18, tools::Say("buzzer"));
        PaintBuzzer(dc, *layout.buzzer, state);
    }
    if (layout.pulse) {
        Caption(dc, layout.pulse->left, layout.pulse->top - 18, tools::Say("pulse generator"));
        Label(dc, *layout.pulse, state.pulseHz ? std::to_string(state.pulseHz) + " Hz" : tools::Say("off"), kLabel, DT_LEFT);
    }
    if (layout.heater)
        PaintHeater(dc, *layout.heater, state);
    if (!layout.digits.empty())
        Caption(dc, layout.digits.front().left - 8, layout.digits.front().top - 26, tools::Say("7-segment display"));
    PaintSevenSegment(dc, layout, state);
    if (layout.lcd) {
        Caption(dc, layout.lcd->left, layout.lcd->top - 20, tools::Say("LCD 16x2"));
        PaintLcd(dc, layout, state);
    }
    if (!layout.keys.empty())
        Caption(dc, layout.keys.front().left, layout.keys.front().top - 20, tools::Say("keypad"));
    for (std::size_t key = 0; key < layout.keys.size(); ++key)
        Key(dc, layout.keys[key], state.keys >> key & 1, std::string(1, "0123456789ABCDEF"[key]));
    if (!layout.knobs.empty())
        Caption(dc, layout.knobs.front().left, layout.knobs.front().top - 24, tools::Say("A/D inputs"));
    PaintKnobs(dc, layout, state);
    if (layout.dac) {
        char text[32];
        std::snprintf(text, sizeof text, "%02X", unsigned(state.dac));
        Caption(dc, layout.dac->left, layout.dac->top - 20, tools::Say("D/A output {1}", {text}));
        PaintDac(dc, *layout.dac, state, trace);
    }
    if (layout.stepper) {
        Caption(dc, layout.stepper->left, layout.stepper->top - 14, tools::Say("stepper"));
        PaintStepper(dc, *layout.stepper, state);
    }
    if (layout.motor) {
        Caption(dc, layout.motor->left, layout.motor->top - 14, tools::Say("DC motor"));
        PaintMotor(dc, *layout.motor, state);
    }
}

void PaintMessage(CDC& dc, const CRect& client, const std::string& text)
{
    dc.FillSolidRect(&client, RGB(64, 68, 72));
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkMode(TRANSPARENT);
    Label(dc, client, text);
}

}
