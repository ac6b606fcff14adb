// What the panel shows of a board's devices, copied out of the devices in one go so
// that the board's lock is held only for the copy, never while drawing.
#pragma once

#include <array>
#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/devices/DeviceBoard.h"

namespace boardpanel {

struct CPanelState {
    std::uint64_t cycle = 0;
    BYTE leds = 0;
    BYTE switches = 0;
    BYTE buttons = 0;
    // The segments each digit is seen with (persistence included), digit 0 first.
    std::array<BYTE, 8> digits{};
    std::uint16_t keys = 0;
    // The LCD's cells: character codes, row 0 first, and where the cursor stands.
    std::array<BYTE, 32> lcdCodes{};
    std::array<BYTE, 64> cgram{};
    int cursorCell = -1;
    bool cursorOn = false;
    bool blinkOn = false;
    std::array<BYTE, 8> knobs{};
    BYTE dac = 0;
    double stepperDegrees = 0;
    BYTE stepperPhases = 0;
    double motorRpm = 0;
    double motorTurns = 0;
    double motorDuty = 0;
    double buzzerHz = 0;
    double heaterDegrees = 0;
    BYTE heaterPower = 0;
    long pulseHz = 0;
};

CPanelState CapturePanelState(const zorkit::sim::CDeviceBoard& devices);
// True when both show the same picture of every device; the time alone may differ.
bool SamePicture(const CPanelState& a, const CPanelState& b);

}
