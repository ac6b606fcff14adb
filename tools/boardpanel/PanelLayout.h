// Where each device of a board profile sits on the panel, in client coordinates,
// and which control a point falls on. A device the profile lacks has no place.
#pragma once

#include <optional>
#include <vector>

#include "zorkit/platform/core/Geometry.h"
#include "sim/devices/BoardProfile.h"

namespace boardpanel {

// The controls a user works with the mouse.
enum class ControlKind { Switch, Button, Key, Knob };

struct CControlHit {
    ControlKind kind;
    int index;
};

struct CPanelLayout {
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 420;
    // The LCD's dots: kDot pixels square, kDotPitch apart; cells kCellGap apart.
    static constexpr int kDot = 3;
    static constexpr int kDotPitch = 4;
    static constexpr int kCellGap = 4;

    std::vector<CRect> leds;
    std::vector<CRect> switches;
    std::vector<CRect> buttons;
    std::optional<CRect> buzzer;
    std::optional<CRect> pulse;
    std::optional<CRect> heater;
    std::vector<CRect> digits;
    std::optional<CRect> lcd;    // the glass; cells from LcdCell
    std::vector<CRect> keys;     // key K at index K
    std::vector<CRect> knobs;    // channel n at index n
    std::optional<CRect> dac;
    std::optional<CRect> stepper;
    std::optional<CRect> motor;

    // The 5x8 dot area of LCD cell `cell` (row * 16 + column).
    CRect LcdCell(int cell) const;
    std::optional<CControlHit> HitTest(CPoint point) const;
};

CPanelLayout LayOutPanel(const zorkit::sim::CBoardProfile& profile);

}
