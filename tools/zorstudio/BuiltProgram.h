// What the last build made of the program, as the debugger's views use it: the build's
// result and, for a C program, the compiler's debug information, with one way to go
// from a source line to its code and back for assembly and C alike.
//
//   CBuiltProgram program(BuildProgram(project, directory));
//   if (auto at = program.AddressOfLine("blink.c", 12)) session.ToggleBreakpoint(*at);
//   if (auto place = program.PlaceAt(pc)) editor.Show(place->file, place->line);
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "tools/cdebug/DebugInfo.h"
#include "tools/common/CProgramBuild.h"

namespace zorstudio {

// A line of a source file.
struct CSourcePlace {
    std::filesystem::path file;
    int line = 0;  // from 1

    bool operator==(const CSourcePlace& other) const { return line == other.line && file == other.file; }
    bool operator<(const CSourcePlace& other) const
    {
        return file == other.file ? line < other.line : file < other.file;
    }
};

class CBuiltProgram {
public:
    CBuiltProgram() = default;
    // Reads the debug information of a C program; a build whose .cdb cannot be read
    // counts as failed, with a message saying why.
    explicit CBuiltProgram(CProgramBuildResult result);

    const CProgramBuildResult& Result() const { return m_result; }
    bool Ok() const { return m_result.ok; }
    // Null for an assembly program.
    const cdebug::CDebugInfo* DebugInfo() const { return m_info.get(); }
    const std::shared_ptr<const cdebug::CDebugInfo>& SharedDebugInfo() const { return m_info; }

    // The first code address of exactly that line; nothing when the line has no code.
    std::optional<WORD> AddressOfLine(const std::filesystem::path& file, int line) const;
    // The source line whose code holds address.
    std::optional<CSourcePlace> PlaceAt(WORD address) const;
    // Where the line's code begins when address is that beginning.
    bool StartsLine(WORD address) const;
    // The C line whose code begins at address (the last of several that share it).
    std::optional<CSourcePlace> CLineStartingAt(WORD address) const;
    // The program's source of that name or path, as the project named it.
    std::filesystem::path SourceNamed(const std::filesystem::path& file) const;

private:
    CProgramBuildResult m_result;
    std::shared_ptr<const cdebug::CDebugInfo> m_info;
};

// Whether two paths name the same file (a C line record knows only the file's name).
bool SameSource(const std::filesystem::path& a, const std::filesystem::path& b);
// A build of a copy of a source (its unsaved text) tells of the source itself.
void RenameSource(CProgramBuildResult& result, const std::filesystem::path& builtAs,
                  const std::filesystem::path& shownAs);

}
