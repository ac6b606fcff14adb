// Our printed values held against sdcdb's (Debian's sdcc-ucsim, on s51) on the same
// program: both stop at the same breakpoints, in the same order, and print the same
// locals, parameters and globals there. Ours runs on the virtual board over a real
// pseudo-terminal; the two are compared as numbers, since each writes them its way
// (sdcdb 0x69 for an unsigned char, 1.500000 for a float; ours 105 or 'i', 1.5).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "tests/cdebug/DebuggedProgram.h"
#include "tests/cdebug/SdcdbSession.h"

namespace {

// A program, its breakpoints (by marker, with what to print at each) and how many
// stops to compare from the start.
struct CValuesCase {
    const char* program;
    std::map<std::string, std::vector<std::string>> breakpoints;
    int stops;
};

std::ostream& operator<<(std::ostream& out, const CValuesCase& values) { return out << values.program; }

// The numbers in a printed value, after its "NAME = " or "$N = ": a scalar gives one,
// a struct or an array one a member. Characters count as their codes.
std::optional<std::vector<double>> NumbersIn(const std::string& printed)
{
    const std::size_t equals = printed.find(" = ");
    if (equals == std::string::npos)
        return std::nullopt;
    static const std::regex number(R"('(.)'|0x *([0-9a-fA-F]+)|([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?))");
    std::vector<double> numbers;
    const std::string value = printed.substr(equals + 3);
    for (std::sregex_iterator it(value.begin(), value.end(), number), end; it != end; ++it) {
        const std::smatch& m = *it;
        if (m[1].matched)
            numbers.push_back(double(static_cast<unsigned char>(m[1].str()[0])));
        else if (m[2].matched)
            numbers.push_back(double(std::stoul(m[2], nullptr, 16)));
        else
            numbers.push_back(std::stod(m[3]));
    }
    if (numbers.empty())
        return std::nullopt;
    return numbers;
}

bool SameNumbers(const std::vector<double>& ours, const std::vector<double>& theirs)
{
    if (ours.size() != theirs.size())
        return false;
    for (std::size_t i = 0; i < ours.size(); ++i)
        if (std::fabs(ours[i] - theirs[i]) > 1e-6 * std::max(1.0, std::fabs(ours[i])))
            return false;
    return true;
}

// "Breakpoint 2, add() at lab.c:28" -> "add lab.c:28", as ours describes a frame.
std::optional<std::string> StopIn(const std::string& answer)
{
    static const std::regex stop(R"(Breakpoint \d+, (\w+)\(\) at (\S+:\d+))");
    std::smatch m;
    if (!std::regex_search(answer, m, stop))
        return std::nullopt;
    return m[1].str() + " " + m[2].str();
}

class SdcdbValuesTest : public DebuggedProgramTest, public ::testing::WithParamInterface<CValuesCase> {};

}

TEST_P(SdcdbValuesTest, BothStopAtTheSameBreakpointsAndPrintTheSameValues)
{
    if (!std::filesystem::exists(SdcdbSession::kProgram) || !std::filesystem::exists(CSdcdbSimulator::kProgram))
        GTEST_SKIP() << SdcdbSession::kProgram << " or " << CSdcdbSimulator::kProgram << " is not installed (Debian's sdcc-ucsim)";
    const CValuesCase& values = GetParam();
    LabProgram program(values.program);
    ASSERT_NO_FATAL_FAILURE(program.Build());
    const std::string file = program.name + ".c";

    TempDir dir;
    SdcdbSession::Prepare(program, dir.Path());
    CSdcdbSimulator simulator(dir.Path());
    ASSERT_TRUE(simulator.Listening());
    SdcdbSession sdcdb(dir.Path(), program.name, &simulator);
    ASSERT_TRUE(sdcdb.Ready());

    ASSERT_NO_FATAL_FAILURE(Debug(program));

    std::map<std::string, std::vector<std::string>> namesAt;
    for (const auto& [marker, names] : values.breakpoints) {
        const std::string place = file + ":" + std::to_string(program.Line(marker));
        std::optional<std::string> answer = sdcdb.Command("break " + place);
        ASSERT_TRUE(answer && answer->find("Breakpoint ") != std::string::npos) << place << ": " << answer.value_or("no answer");
        ASSERT_TRUE(debugger->Break(place)) << debugger->Error();
        namesAt[place] = names;
    }

    int compared = 0;
    for (int stop = 0; stop < values.stops; ++stop) {
        const std::optional<std::string> answer = sdcdb.Command(stop == 0 ? "run" : "cont");
        ASSERT_TRUE(answer) << "sdcdb did not stop; " << simulator.Fault();
        const std::optional<std::string> theirs = StopIn(*answer);
        ASSERT_TRUE(theirs) << "stop " << stop << ": " << *answer << simulator.Fault();
        ASSERT_TRUE(stop == 0 ? debugger->Start(program.built.entry) : debugger->Continue()) << debugger->Error();
        const std::vector<cdebug::CFrame> frames = debugger->Where();
        ASSERT_FALSE(frames.empty());
        ASSERT_EQ(debugger->Describe(frames.front()), *theirs) << "stop " << stop << ", sdcdb's: " << *answer;
        const std::string place = theirs->substr(theirs->find(' ') + 1);
        for (const std::string& name : namesAt[place]) {
            const std::string ours = debugger->Print(name).value_or(debugger->Error());
            const std::string theirsPrinted = sdcdb.Command("print " + name).value_or("no answer");
            const std::optional<std::vector<double>> ourNumbers = NumbersIn(ours);
            const std::optional<std::vector<double>> theirNumbers = NumbersIn(theirsPrinted);
            ASSERT_TRUE(theirNumbers) << "stop " << stop << " at " << *theirs << ": sdcdb's " << theirsPrinted;
            EXPECT_TRUE(ourNumbers && SameNumbers(*ourNumbers, *theirNumbers))
                << "stop " << stop << " at " << *theirs << ": ours " << ours << ", sdcdb's " << theirsPrinted;
            ++compared;
        }
    }
    EXPECT_EQ(simulator.Fault(), "");
    std::printf("%s: %d values compared at %d stops\n", values.program, compared, values.stops);
}

// lab.c: each pass of the loop and each call of add, the recursion down, the record
// and the pointer once written, and the end after the timer interrupts. Its bit
// variable is left out: sdcdb reads it as 1 before it is set.
// timer2.c: main's count and the globals at the first few 16th passes of a loop the
// timer 2 interrupt runs through (sdcdb stops the simulator at each of the handler's
// entries and exits, and s51 takes up to 100 ms to take each command, so a few).
// The tick count and the copies of it are left out: s51 charges each interrupt call
// one machine cycle where the 8051 takes two, and counts timer 2 for that one only, so
// its handler takes a cycle less of each 128-cycle period and its loop passes come
// sooner (26, 53, 79 ticks at n = 16, 32, 48 against the board's 27, 54, 81; free
// runs without a stop give the same on each side).
INSTANTIATE_TEST_SUITE_P(
    SamplePrograms, SdcdbValuesTest,
    ::testing::Values(
        CValuesCase{"lab",
                    {{"call", {"i", "t", "word", "word[0]", "word[1]", "scale", "big", "record", "ticks"}},
                     {"add", {"a", "b", "record.count", "scale"}},
                     {"fact", {"n"}},
                     {"cursor", {"record", "record.count", "record.tag", "record.total", "big", "scale", "cursor"}},
                     {"ready", {"cursor", "buffer", "buffer[0]", "buffer[1]"}},
                     {"done", {"ticks", "word", "cursor", "record"}}},
                    13},
        CValuesCase{"timer2",
                    {{"note", {"n", "work", "torn", "criticalCalls", "handlerBank"}}},
                    3}),
    [](const ::testing::TestParamInfo<CValuesCase>& info) { return std::string(info.param.program); });
