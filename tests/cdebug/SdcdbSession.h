// The C debugger that comes with the compiler (Debian's sdcc-ucsim), on a terminal as
// a person runs it (it writes nothing useful to a pipe), each answer waited for up to
// its prompt; with no simulator (breakpoints set from the debug records alone) or
// with s51 behind a CSdcdbSimulator.
//
//   SdcdbSession::Prepare(program, dir.Path());
//   SdcdbSession sdcdb(dir.Path(), program.name);
//   std::optional<std::string> answer = sdcdb.Command("break lab.c:47");
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "tests/cdebug/LabProgram.h"
#include "tests/cdebug/SdcdbSimulator.h"
#include "tests/support/ChildProcess.h"

class SdcdbSession {
public:
    static constexpr const char* kProgram = "/usr/bin/sdcdb";

    SdcdbSession(const std::filesystem::path& dir, const std::string& program, const CSdcdbSimulator* simulator = nullptr)
        : m_process(kProgram, {"-cd=" + dir.string(), program}, std::chrono::minutes(2),
                    zorkit::test::CChildProcess::Streams::Terminal, Setup(simulator))
    {
    }

    // The program's source, image and debug records in `dir`, the records as sdcdb reads them.
    static void Prepare(const LabProgram& program, const std::filesystem::path& dir)
    {
        std::filesystem::copy_file(program.SourcePath(), dir / (program.name + ".c"));
        std::filesystem::copy_file(program.built.hexPath, dir / (program.name + ".ihx"));
        std::ifstream cdb(program.built.cdbPath);
        std::ofstream(dir / (program.name + ".cdb")) << InSdcdbsForm(std::string(std::istreambuf_iterator<char>(cdb), {}));
    }

    // The sdcdb beside this compiler reads a scope as "level$block" where the
    // compiler writes "level_sublevel$block" (it pairs each record with its linker
    // record by that name, and cannot read the symbol's type after it), and an array
    // type as "DA4," where the compiler writes "DA4d,". Its copy gets both its way.
    static std::string InSdcdbsForm(const std::string& cdb)
    {
        static const std::regex scope(R"(\$(\d+)_\d+\$(\d+))");
        static const std::regex array(R"(DA(\d+)d,)");
        return std::regex_replace(std::regex_replace(cdb, scope, "$$$1$$$2"), array, "DA$1,");
    }

    bool Ready() { return m_process.WaitForOut(kPrompt); }

    // Its answer to `command`, up to the next prompt; nullopt when none comes.
    std::optional<std::string> Command(const std::string& command)
    {
        const std::size_t start = m_process.Out().size();
        if (!m_process.Type(command + "\n") || !m_process.WaitForOutFrom(start, kPrompt))
            return std::nullopt;
        const std::string& out = m_process.Out();
        return out.substr(start, out.find(kPrompt, start) - start);
    }

private:
    static constexpr const char* kPrompt = "(sdcdb) ";

    static zorkit::test::CChildProcess::CSetup Setup(const CSdcdbSimulator* simulator)
    {
        if (!simulator)
            return {};
        return {"", {"LD_PRELOAD=" SDCDB_SOCKET_SHIM, "SDCDB_SIMULATOR_PORT=" + std::to_string(simulator->Port())}};
    }

    zorkit::test::CChildProcess m_process;
};
