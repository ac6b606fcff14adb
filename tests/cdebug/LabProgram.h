// A sample C program of tests/cdebug/programs (lab.c unless named) built with sdcc
// for the board, and the lines its comments name ("/* @call */").
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>

#include "tools/cdebug/DebugInfo.h"
#include "tools/common/CProgramBuild.h"
#include "tests/support/TempDir.h"

struct LabProgram {
    explicit LabProgram(std::string programName = "lab") : name(std::move(programName)) {}

    std::string name;
    TempDir dir;
    CProgramBuildResult built;
    cdebug::CDebugInfo info;
    std::string source;

    std::filesystem::path SourcePath() const { return std::filesystem::path(CDEBUG_PROGRAMS) / (name + ".c"); }

    // Builds it with the project's settings given as "KEY VALUE" lines.
    void Build(const std::vector<std::pair<std::string, std::string>>& settings = {})
    {
        CProgramProject project = CProgramProject::OfSource(SourcePath());
        for (const auto& [key, value] : settings)
            ASSERT_TRUE(project.Apply(key, value)) << project.error;
        built = BuildProgram(project, dir.Path());
        ASSERT_TRUE(built.ok) << built.output;
        ASSERT_TRUE(info.Load(built.cdbPath.string())) << info.Error();
        std::ifstream in(SourcePath());
        source.assign(std::istreambuf_iterator<char>(in), {});
    }

    // The line that carries "/* @marker */".
    int Line(const std::string& marker) const
    {
        int line = 1;
        std::size_t at = source.find("/* @" + marker + " */");
        EXPECT_NE(at, std::string::npos) << marker;
        for (std::size_t i = 0; i < at && i < source.size(); ++i)
            line += source[i] == '\n';
        return line;
    }

    // The 64 KB code image as it is downloaded.
    std::vector<BYTE> Code() const
    {
        std::vector<BYTE> code(0x10000);
        for (const CIntelHex::Run& run : built.hex.GetRuns())
            std::copy(run.bytes.begin(), run.bytes.end(), code.begin() + long(run.address));
        return code;
    }

    // A symbol's address as the linker's map gives it (not the debug records).
    std::optional<unsigned> MapAddress(const std::string& symbol) const
    {
        std::ifstream in(built.hexPath.parent_path() / (name + ".map"));
        std::string text(std::istreambuf_iterator<char>(in), {});
        std::smatch m;
        if (!std::regex_search(text, m, std::regex("\\s([0-9A-F]{8})\\s+" + symbol + "\\s")))
            return std::nullopt;
        return unsigned(std::stoul(m[1], nullptr, 16));
    }
};
