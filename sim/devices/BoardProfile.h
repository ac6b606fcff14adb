// Which device sits on which pins or external-bus addresses. A profile is read
// from a TOML text (the built-in default is one too), and checked as a whole:
// wiring that a real board could not have is refused with its line and reason.
//
//   std::string error;
//   std::optional<CBoardProfile> profile = ParseBoardProfile(text, error);
//   if (!profile) std::cerr << "board.toml:" << error << "\n";   // "12: two outputs ..."
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/devices/Pin.h"

namespace zorkit::sim {

struct CBoardProfile {
    // The devices a profile may hold; each is absent unless the profile names it.
    struct CLeds {
        std::vector<CPin> pins; // LED 0 first
        bool litWhenLow = true;
    };
    struct CSwitches {
        std::vector<CPin> pins; // switch 0 first; an "on" switch drives its pin high
    };
    struct CButtons {
        std::vector<CPin> pins; // a pressed button pulls its pin low
    };
    struct CPulse {
        CPin pin;
    };
    struct CBuzzer {
        CPin pin;
    };
    struct CBusDevice {
        WORD address = 0;
    };
    struct CAdc {
        WORD address = 0;             // +0..+7 start channel n (write), read the result
        std::optional<CPin> eoc;      // high when a conversion has ended
    };
    struct CStepper {
        std::vector<CPin> phases;     // A, B, C, D; a high pin energises its winding
        double stepDegrees = 7.5;
    };
    struct CHeater {
        int channel = 7;              // the A/D input its sensor feeds; the D/A sets its power
    };
    struct CMotor {
        CPin drive;                   // high = full voltage
        CPin encoder;
        int pulsesPerTurn = 20;
        int maxRpm = 3000;
    };

    std::optional<CLeds> leds;
    std::optional<CSwitches> switches;
    std::optional<CButtons> buttons;
    std::optional<CPulse> pulse;
    std::optional<CBuzzer> buzzer;
    std::optional<CBusDevice> seg7;    // +0 segments, +1 digit select
    std::optional<CBusDevice> keypad;  // write: rows, read: columns
    std::optional<CBusDevice> lcd;     // +0 instruction / status, +1 data
    std::optional<CAdc> adc;
    std::optional<CBusDevice> dac;
    std::optional<CStepper> stepper;
    std::optional<CMotor> motor;
    std::optional<CHeater> heater;
    std::optional<CBusDevice> ppi;     // +0 PA, +1 PB, +2 PC, +3 control
    std::optional<CBusDevice> ctc;     // +0..+2 counters, +3 control
};

// Every device on the bus answers in its own page of 256 addresses (the low
// address bits pick its register); the rest of the external space is RAM.
constexpr WORD kDevicePageMask = 0xFF00;

// The profile in `text`, or nothing with `error` as "LINE: REASON".
std::optional<CBoardProfile> ParseBoardProfile(const std::string& text, std::string& error);
// The profile in the file at `path` (the built-in one for ""), or nothing with
// `error` as "PATH:LINE: REASON" or why the file cannot be read.
std::optional<CBoardProfile> LoadBoardProfile(const std::string& path, std::string& error);
// The built-in profile's TOML text, and the profile it gives.
const std::string& DefaultBoardProfileText();
const CBoardProfile& DefaultBoardProfile();
// A wiring table of the profile as a lab sheet shows it, one line per connection.
std::string WiringTable(const CBoardProfile& profile);

}
