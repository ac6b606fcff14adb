// Builds an 8051 program from its assembly source with Debian's sdcc tools: sdas8051
// assembles it, sdld links it to Intel HEX, in a scratch directory of its own.
//
//   CProgramBuild build;
//   CBuildResult result = build.Build(sourceText, "sort.asm");
//   for (const CAssemblerMessage& m : result.messages) output.Add(m.line, m.text);
//   if (result.ok) session.Download(result.hex);
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

// One complaint of the assembler or the linker. line counts from 1 in `file`; 0 when
// the message concerns no line (the linker's).
struct CAssemblerMessage {
    std::string file;
    int line = 0;
    std::string text;
};

// A source line that produced code, and the address of its first byte.
struct CLineAddress {
    int line;
    WORD address;
};

struct CBuildResult {
    bool ok = false;
    std::vector<CAssemblerMessage> messages;
    // What the tools wrote, as they wrote it, for an output view.
    std::string output;
    CIntelHex hex;
    std::string hexPath;
    std::vector<CLineAddress> lines;

    // The address of the first code byte of source line `line`.
    std::optional<WORD> AddressOfLine(int line) const;
    // The source line whose code holds address, when one does.
    std::optional<int> LineOfAddress(WORD address) const;
};

// Parses sdas8051 and sdld output into messages; lines that are not complaints are skipped.
std::vector<CAssemblerMessage> ParseAssemblerMessages(const std::string& output);
// Parses a linked listing (.rst) into the lines that produced code.
std::vector<CLineAddress> ParseListingAddresses(const std::string& listing);

class CProgramBuild {
public:
    // The scratch directory is made under `parent` (the system's temporary
    // directory when empty) and removed with the object.
    explicit CProgramBuild(const std::filesystem::path& parent = {});
    ~CProgramBuild();
    CProgramBuild(const CProgramBuild&) = delete;
    CProgramBuild& operator=(const CProgramBuild&) = delete;

    // Assembles and links `source`; `name` is the file name the messages refer to.
    // `.include` files are looked for in includeDirectory (the source's own
    // directory, when it has one).
    CBuildResult Build(const std::string& source, const std::string& name,
                       const std::filesystem::path& includeDirectory = {});
    const std::filesystem::path& Directory() const { return m_directory; }

private:
    std::filesystem::path m_directory;
};

}
