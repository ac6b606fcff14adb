// A lab's scenario: where the program starts, its limits, what the board's outside
// does to it at which machine cycle, and the checks that earn points. It is a TOML
// file a teacher writes by hand:
//
//   title = "Running lights"
//   start = 0x0000
//   [limits]
//   cycles = 2_000_000            # machine cycles, one a microsecond at 12 MHz
//   wall-seconds = 10
//   [[input]]
//   at = 1000
//   switch = 3
//   on = true
//   [[check]]
//   name = "LED 0 lights first"
//   points = 2
//   at = 50_000
//   leds = "*......."
//
//   std::string error;
//   std::optional<CScenario> scenario = LoadScenario("lights.toml", error);
//   if (!scenario) fail(error);   // "lights.toml:12: a check takes one of at, within, breakpoint"
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sim/devices/BoardProfile.h"
#include "sim/devices/Pin.h"

namespace zorgrade {

// Something the outside does to the board at a machine cycle.
struct CInput {
    enum class Kind { Switch, Button, Key, Knob, Pulse, Serial };
    std::uint64_t at = 0;
    Kind kind = Kind::Switch;
    int number = 0;       // switch, button, key (0-15) or knob channel
    bool on = true;       // switch on, button or key down
    long value = 0;       // knob position 0-255, pulse rate in Hz
    std::string text;     // bytes sent to the serial port
};

// When a check looks at the board.
struct CMoment {
    enum class Kind {
        At,         // once Cycles() reaches `from`
        Within,     // at some moment from `from` to `to`
        Breakpoint, // the first time PC reaches `address`, before it runs
    };
    Kind kind = Kind::At;
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    std::uint16_t address = 0;
};

// What a check expects to see.
struct CLedsSeen { std::string pattern; };             // "*.......", LED 0 first; ? for either
struct CDigitsSeen { std::string text; };              // the 7-segment text, digit 0 first
struct CLcdSeen { std::vector<std::string> lines; };   // line 1, line 2; trailing blanks ignored
struct CPinSeen { zorkit::sim::CPin pin; bool level; }; // an 8051 port pin
struct CPortSeen { int port; std::uint8_t value; };
struct CSerialSeen { std::string text; };              // sent by the program so far
struct CMemorySeen {
    bool external = false;                             // internal RAM unless external
    std::uint16_t address = 0;
    std::vector<std::uint8_t> bytes;
};
struct CRegisterSeen { std::string name; std::uint16_t value; }; // A, B, PSW, SP, DPTR, R0-R7, ...
using CExpectation = std::variant<CLedsSeen, CDigitsSeen, CLcdSeen, CPinSeen, CPortSeen, CSerialSeen, CMemorySeen,
    CRegisterSeen>;

// A pin that must change level at a steady period during a window.
struct CToggle {
    zorkit::sim::CPin pin;
    std::uint64_t from = 0, to = 0;
    std::uint64_t period = 0;      // machine cycles from one rising edge to the next
    std::uint64_t tolerance = 0;   // how far any one period may be off
};

// PC reaches an address by a machine cycle.
struct CReach {
    std::uint16_t address = 0;
    std::uint64_t by = 0;
};

// The program sits in a jump to itself by a machine cycle: it has ended.
struct CHalt {
    std::uint64_t by = 0;
};

struct CCheck {
    std::string name;
    int points = 1;
    int line = 0;
    std::variant<std::pair<CMoment, CExpectation>, CToggle, CReach, CHalt> what;
};

struct CScenario {
    std::string title;
    std::uint16_t start = 0;
    std::uint64_t cycleLimit = 0;
    double wallSeconds = 10;
    // The stack must stay at or below this address; beyond it (or a wrap past FF) the run ends.
    std::uint8_t stackTop = 0xFF;
    zorkit::sim::CBoardProfile board;
    std::vector<CInput> inputs;   // in the order of their cycles, then of the file
    std::vector<CCheck> checks;   // in the order of the file

    int TotalPoints() const;
};

// The scenario in `text`; `folder` is where a board profile it names is looked for.
// Nothing, with `error` as "LINE: REASON", when it is wrong.
std::optional<CScenario> ParseScenario(
    const std::string& text, const std::filesystem::path& folder, std::string& error);
// The same from a file; the error is "PATH:LINE: REASON" or why it cannot be read.
std::optional<CScenario> LoadScenario(const std::filesystem::path& path, std::string& error);

}
