#include "tools/boardpanel/PanelState.h"

#include <tuple>

namespace boardpanel {

CPanelState CapturePanelState(const zorkit::sim::CDeviceBoard& devices)
{
    CPanelState state;
    state.cycle = devices.Cycle();
    state.leds = devices.Leds();
    state.switches = devices.Switches();
    state.buttons = devices.Buttons();
    state.pulseHz = devices.PulseRate();
    state.buzzerHz = devices.BuzzerHz();
    if (const auto& seg7 = devices.SevenSegment())
        for (int digit = 0; digit < 8; ++digit)
            state.digits[std::size_t(digit)] = seg7->Seen(digit, state.cycle);
    if (const auto& keypad = devices.Keypad())
        state.keys = keypad->Down();
    if (const auto& lcd = devices.Lcd()) {
        for (int cell = 0; cell < 32; ++cell) {
            state.lcdCodes[std::size_t(cell)] = lcd->ShownCode(cell / 16, cell % 16);
            if (lcd->CursorAt(cell / 16, cell % 16))
                state.cursorCell = cell;
        }
        state.cgram = lcd->Cgram();
        state.cursorOn = lcd->CursorOn();
        state.blinkOn = lcd->BlinkOn();
    }
    if (const auto& adc = devices.Adc())
        for (int channel = 0; channel < 8; ++channel)
            state.knobs[std::size_t(channel)] = adc->Input(channel);
    if (const auto& dac = devices.Dac())
        state.dac = dac->Value();
    if (const auto& stepper = devices.Stepper()) {
        state.stepperDegrees = stepper->Degrees();
        state.stepperPhases = stepper->Phases();
    }
    if (const auto& motor = devices.Motor()) {
        state.motorRpm = motor->Rpm();
        state.motorTurns = motor->Turns();
        state.motorDuty = motor->Duty();
    }
    if (const auto& heater = devices.Heater()) {
        state.heaterDegrees = heater->Temperature();
        state.heaterPower = heater->Power();
    }
    return state;
}

bool SamePicture(const CPanelState& a, const CPanelState& b)
{
    auto shown = [](const CPanelState& s) {
        return std::tie(s.leds, s.switches, s.buttons, s.digits, s.keys, s.lcdCodes, s.cgram, s.cursorCell, s.cursorOn,
            s.blinkOn, s.knobs, s.dac, s.stepperDegrees, s.stepperPhases, s.motorRpm, s.motorTurns, s.motorDuty,
            s.buzzerHz, s.pulseHz, s.heaterDegrees, s.heaterPower);
    };
    return shown(a) == shown(b);
}

}
