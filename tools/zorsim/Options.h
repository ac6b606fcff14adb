// zorsim's command line.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/BoardProtocol.h"
#include "sim/Experiment.h"
#include "sim/FaultPlan.h"
#include "sim/cpu/Core8051.h"

namespace zorsim {

struct CArmedFault {
    zorkit::sim::Fault fault;
    BYTE wrongByte; // for wrong-ack
};

struct COptions {
    zorkit::sim::CpuType cpu = zorkit::sim::CpuType::Intel8051;
    // The 8051 board's chip.
    zorkit::sim::C8051Core::Chip chip = zorkit::sim::C8051Core::Chip::I8052;
    std::chrono::milliseconds stopDelay{200};
    // The 8051's machine cycles per second; 0 runs it as fast as the host can.
    std::uint32_t machineCyclesPerSecond = 1000000;
    bool trace = false;
    // Watching the 8051: port latch changes on standard error, executed instructions to a file.
    bool watchPorts = false;
    std::string executionTrace;
    // The board profile's file; empty for the built-in board.
    std::string boardFile;
    // The devices' changes as JSON lines.
    std::string eventsFile;
    // The pins and device signals as a VCD file.
    std::string vcdFile;
    // The 8051's serial port on a pseudo-terminal of its own.
    bool uart = false;
    // The devices in a desktop window of their own.
    bool panel = false;
    bool resetAtStart = false;
    bool silent = false;
    std::vector<CArmedFault> faults;
    // A control experiment's plant started with the board instead of its monitor.
    std::optional<zorkit::sim::CExperimentSettings> experiment;
};

// Reads the arguments after the program's name into `options`. The exit status when
// zorsim ends here (its help shown, or a usage error reported); nothing when it is to
// play the board.
std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, COptions& options);
// Parses "drop-ack" or "wrong-ack=0x3C"; nothing with `error` set when unknown.
std::optional<CArmedFault> ParseFault(const std::string& text, std::string& error);

}
