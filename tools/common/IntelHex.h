// Reads Intel HEX files into runs of contiguous bytes.
//
//   CIntelHex hex;
//   if (!hex.LoadFile("prog.ihx")) {
//       fprintf(stderr, "%s\n", hex.GetError().c_str()); // "prog.ihx:7: bad checksum ..."
//       return 1;
//   }
//   for (const CIntelHex::Run& run : hex.GetRuns())
//       Download(run.address, run.bytes.data(), run.bytes.size());
//
// Data (00), end-of-file (01), extended segment (02) and extended linear (04) address
// records are understood; start address records (03, 05) are accepted and ignored.
// Reading stops at the end-of-file record, which must be present.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CIntelHex {
public:
    struct Run {
        std::uint32_t address;
        std::vector<std::uint8_t> bytes;
    };

    // Reads the file at path; false with GetError() set when it cannot be read or parsed.
    bool LoadFile(const std::string& path);
    // Parses HEX text; name prefixes error messages.
    bool Parse(const std::string& text, const std::string& name);

    // Runs in ascending address order; adjacent records are merged into one run.
    const std::vector<Run>& GetRuns() const { return m_runs; }
    // "name:line: what is wrong", or "name: what is wrong" when no line is concerned.
    const std::string& GetError() const { return m_error; }
    // Line of the last error, counted from 1; 0 when the error concerns no line.
    int GetErrorLine() const { return m_errorLine; }

private:
    struct Record {
        std::uint32_t address;
        int line;
        std::vector<std::uint8_t> bytes;
    };

    bool ParseLine(const std::string& line, int number, std::vector<Record>& records, bool& done);
    bool BuildRuns(std::vector<Record>& records);
    bool Fail(int line, const std::string& what);

    std::string m_name;
    std::uint32_t m_upperAddress = 0;
    std::vector<Run> m_runs;
    std::string m_error;
    int m_errorLine = 0;
};
