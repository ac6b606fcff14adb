#include "tools/boardpanel/PanelLayout.h"

namespace boardpanel {
namespace {

constexpr int kMargin = 16;
constexpr int kLcdLeft = 352;
constexpr int kLcdTop = 128;
constexpr int kLcdBezel = 10;
constexpr int kCellWidth = 5 * CPanelLayout::kDotPitch;
constexpr int kCellHeight = 8 * CPanelLayout::kDotPitch;

std::vector<CRect> Row(int count, int left, int top, int width, int height, int pitch)
{
    std::vector<CRect> rects;
    for (int i = 0; i < count; ++i)
        rects.emplace_back(left + i * pitch, top, left + i * pitch + width, top + height);
    return rects;
}

}

CRect CPanelLayout::LcdCell(int cell) const
{
    const int left = kLcdLeft + kLcdBezel + (cell % 16) * (kCellWidth + kCellGap);
    const int top = kLcdTop + kLcdBezel + (cell / 16) * (kCellHeight + kCellGap);
    return CRect(left, top, left + kCellWidth, top + kCellHeight);
}

std::optional<CControlHit> CPanelLayout::HitTest(CPoint point) const
{
    auto in = [&point](const std::vector<CRect>& rects, ControlKind kind) -> std::optional<CControlHit> {
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (rects[i].PtInRect(point))
                return CControlHit{kind, int(i)};
        return std::nullopt;
    };
    for (auto hit : {in(switches, ControlKind::Switch), in(buttons, ControlKind::Button), in(keys, ControlKind::Key),
             in(knobs, ControlKind::Knob)})
        if (hit)
            return hit;
    return std::nullopt;
}

CPanelLayout LayOutPanel(const zorkit::sim::CBoardProfile& profile)
{
    CPanelLayout layout;
    if (profile.leds)
        layout.leds = Row(int(profile.leds->pins.size()), kMargin + 4, 30, 20, 20, 32);
    if (profile.switches)
        layout.switches = Row(int(profile.switches->pins.size()), kMargin + 4, 70, 20, 32, 32);
    if (profile.buttons)
        layout.buttons = Row(int(profile.buttons->pins.size()), 300, 30, 56, 40, 68);
    if (profile.buzzer)
        layout.buzzer = CRect(450, 30, 590, 70);
    if (profile.pulse)
        layout.pulse = CRect(604, 30, 744, 70);
    if (profile.heater)
        layout.heater = CRect(450, 80, 744, 100);
    if (profile.seg7)
        layout.digits = Row(8, kMargin + 8, 148, 30, 52, 40);
    if (profile.lcd)
        layout.lcd = CRect(kLcdLeft, kLcdTop, kLcdLeft + 2 * kLcdBezel + 16 * kCellWidth + 15 * CPanelLayout::kCellGap,
            kLcdTop + 2 * kLcdBezel + 2 * kCellHeight + CPanelLayout::kCellGap);
    if (profile.keypad)
        for (int key = 0; key < 16; ++key) {
            const int left = kMargin + (key % 4) * 46;
            const int top = 240 + (key / 4) * 42;
            layout.keys.emplace_back(left, top, left + 40, top + 36);
        }
    if (profile.adc)
        for (int channel = 0; channel < 8; ++channel) {
            const int left = 230 + (channel % 4) * 50;
            const int top = 244 + (channel / 4) * 82;
            layout.knobs.emplace_back(left, top, left + 40, top + 40);
        }
    if (profile.dac)
        layout.dac = CRect(450, 240, 744, 310);
    if (profile.stepper)
        layout.stepper = CRect(450, 324, 590, 404);
    if (profile.motor)
        layout.motor = CRect(604, 324, 744, 404);
    return layout;
}

}
