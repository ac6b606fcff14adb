// Our line table held against the C debugger that comes with the compiler
// (Debian's sdcc-ucsim), on the same programs: every line it sets a breakpoint on,
// and every function's stop, at the address and line it names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include "tests/cdebug/LabProgram.h"
#include "tests/cdebug/SdcdbSession.h"

namespace {

std::string BaseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

struct Stop {
    unsigned address;
    int line;
    bool operator==(const Stop& other) const { return address == other.address && line == other.line; }
};

std::ostream& operator<<(std::ostream& out, const Stop& stop)
{
    return out << std::hex << "0x" << stop.address << std::dec << " line " << stop.line;
}

// "Breakpoint 3 at 0xd8: file lab.c, line 47." -> {0xd8, 47}; nullopt for a refusal.
std::optional<Stop> BreakpointIn(const std::string& answer)
{
    static const std::regex set(R"(Breakpoint \d+ at 0x([0-9a-f]+): file \S+, line (\d+)\.)");
    std::smatch m;
    if (!std::regex_search(answer, m, set))
        return std::nullopt;
    return Stop{unsigned(std::stoul(m[1], nullptr, 16)), std::stoi(m[2])};
}

class SdcdbComparisonTest : public ::testing::TestWithParam<const char*> {};

}

TEST_P(SdcdbComparisonTest, EveryLineAndFunctionStopsWhereSdcdbPutsItsBreakpoint)
{
    if (!std::filesystem::exists(SdcdbSession::kProgram))
        GTEST_SKIP() << SdcdbSession::kProgram << " is not installed (Debian's sdcc-ucsim)";
    LabProgram program(GetParam());
    ASSERT_NO_FATAL_FAILURE(program.Build());
    TempDir dir;
    const std::string file = program.name + ".c";
    SdcdbSession::Prepare(program, dir.Path());

    SdcdbSession sdcdb(dir.Path(), program.name);
    ASSERT_TRUE(sdcdb.Ready());
    // sdcdb answers a line without code with the next line that has some, as we do.
    const std::vector<cdebug::CLineEntry>& table = program.info.Lines();
    auto inOurTable = [&](const Stop& stop) {
        return std::any_of(table.begin(), table.end(), [&](const cdebug::CLineEntry& entry) {
            return BaseName(entry.file) == file && entry.line == stop.line && entry.address == stop.address;
        });
    };
    auto firstLineWithCodeFrom = [&](int line) {
        std::optional<int> first;
        for (const cdebug::CLineEntry& entry : table)
            if (BaseName(entry.file) == file && entry.line >= line && (!first || entry.line < *first))
                first = entry.line;
        return first;
    };

    const int lines = int(std::count(program.source.begin(), program.source.end(), '\n'));
    int stops = 0;
    for (int line = 1; line <= lines + 1; ++line) {
        std::optional<std::string> answer = sdcdb.Command("break " + file + ":" + std::to_string(line));
        ASSERT_TRUE(answer) << "sdcdb gave no answer to break " << file << ":" << line;
        const std::optional<Stop> theirs = BreakpointIn(*answer);
        const std::optional<int> ours = firstLineWithCodeFrom(line);
        EXPECT_EQ(theirs ? std::optional<int>(theirs->line) : std::nullopt, ours) << "break " << file << ":" << line << ": " << *answer;
        if (theirs)
            EXPECT_TRUE(inOurTable(*theirs)) << "break " << file << ":" << line << ": " << *answer;
        stops += theirs.has_value();
    }
    EXPECT_GT(stops, lines / 2) << "sdcdb set breakpoints on most lines";
    // A function's breakpoint is at its entry for sdcdb (ours goes on past the entry code).
    for (const cdebug::CFunction& function : program.info.Functions()) {
        std::optional<std::string> answer = sdcdb.Command("break " + function.name);
        ASSERT_TRUE(answer) << "sdcdb gave no answer to break " << function.name;
        const std::optional<Stop> theirs = BreakpointIn(*answer);
        ASSERT_TRUE(theirs) << "break " << function.name << ": " << *answer;
        EXPECT_EQ(theirs->address, function.start) << function.name;
        EXPECT_TRUE(inOurTable(*theirs)) << "break " << function.name << ": " << *answer;
    }
}

INSTANTIATE_TEST_SUITE_P(SamplePrograms, SdcdbComparisonTest, ::testing::Values("lab", "timer2"));
