// A program file as zordis lists it and zorlink downloads it: raw binary or Intel HEX,
// read with limits so that a device or a huge file is refused, not swallowed.
//
//   CProgramFile program;
//   if (!program.Load(path, ProgramFormat::Detect, 0x1100)) {
//       fprintf(stderr, "%s\n", program.GetError().c_str()); // "x.bin: 70000 bytes at 1100H run past ..."
//       return 1;
//   }
//   for (const CIntelHex::Run& run : program.GetRuns()) ...
//
// Only regular files and pipes are read. Intel HEX is told by its content (every line
// a record starting with ':') or a .hex/.ihx name, unless the format is forced.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"

enum class ProgramFormat { Detect, Hex, Binary };

// "hex" or "bin", as --format takes them.
std::optional<ProgramFormat> ProgramFormatFromName(const std::string& name);

class CProgramFile {
public:
    // The 8051 code space: every byte of a program lies below this address.
    static constexpr std::uint32_t kCodeSpace = 0x10000;
    // Enough for 64 KB as Intel HEX text with one data byte per record.
    static constexpr std::size_t kMaxHexText = 1 << 20;

    // Reads path; a raw binary is placed at binaryBase. False with GetError() set when
    // the file cannot be read, is malformed or does not fit the code space.
    bool Load(const std::string& path, ProgramFormat format, std::uint32_t binaryBase);

    const std::vector<CIntelHex::Run>& GetRuns() const { return m_runs; }
    bool IsHex() const { return m_isHex; }
    const std::string& GetError() const { return m_error; }

private:
    bool ReadLimited(const std::string& path, std::string& content);
    bool Fail(const std::string& what);

    std::vector<CIntelHex::Run> m_runs;
    bool m_isHex = false;
    std::string m_error;
};

// Every non-blank line is ':' followed by hexadecimal digits.
bool LooksLikeIntelHex(const std::string& text);
