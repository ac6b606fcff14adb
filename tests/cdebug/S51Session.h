// s51 (Debian's sdcc-ucsim) run as a user runs it, command by command over pipes,
// each answer waited for in its output: the reference the virtual board's results
// are held against.
//
//   CS51Session s51(hexPath);
//   s51.RunTo(0x0266);
//   std::optional<std::vector<BYTE>> ram = s51.InternalRam();
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "tests/support/ChildProcess.h"

class CS51Session {
public:
    static constexpr const char* kProgram = "/usr/bin/s51";
    static bool Installed() { return std::filesystem::exists(kProgram); }

    // s51 as an 8052 with the image loaded; it is slow on a loaded machine, so its
    // answers get minutes, which only a failing test uses up.
    explicit CS51Session(const std::filesystem::path& hex)
        : m_process(kProgram, {"-t", "8052", hex.string()}, std::chrono::minutes(5))
    {
    }

    // Runs from `from` until the instruction at `to` would execute; false when s51 stops elsewhere.
    bool RunTo(WORD to, WORD from = 0x0100)
    {
        char commands[96];
        std::snprintf(commands, sizeof commands, "pc 0x%04x\nbreak 0x%04x\nrun\n", unsigned(from), unsigned(to));
        std::size_t start = m_process.Out().size();
        // s51 reads on while it simulates: nothing more goes in before the stop.
        if (!m_process.Type(commands) || !m_process.WaitForOutFrom(start, "Stop at"))
            return false;
        char stop[32];
        std::snprintf(stop, sizeof stop, "Stop at 0x%06x", unsigned(to));
        return m_process.Out().find(stop, start) != std::string::npos;
    }

    // Internal RAM 00-FF as s51 holds it.
    std::optional<std::vector<BYTE>> InternalRam()
    {
        std::size_t start = m_process.Out().size();
        if (!m_process.Type("dump /h iram 0 0xff 16\n") || !m_process.WaitForOutFrom(start, "\n0xf0 "))
            return std::nullopt;
        // The last row is complete once its line has ended.
        if (!m_process.WaitForOutFrom(m_process.Out().find("\n0xf0 ", start) + 1, "\n"))
            return std::nullopt;
        std::vector<BYTE> ram;
        std::istringstream lines(m_process.Out().substr(start));
        static const std::regex row("^0x([0-9a-f]{2}) ((?:[0-9a-f]{2} ){16})");
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (!std::regex_search(line, m, row))
                continue;
            std::istringstream bytes(m[2].str());
            for (unsigned byte; bytes >> std::hex >> byte;)
                ram.push_back(BYTE(byte));
        }
        if (ram.size() != 0x100)
            return std::nullopt;
        return ram;
    }

private:
    zorkit::test::CChildProcess m_process;
};
