// The params sample on the virtual board over a real pseudo-terminal: a function's
// first parameter read and written at every instruction of its first line (before
// the entry code has moved it, while it moves, after), and the globals' initialisers.
#include <gtest/gtest.h>

#include "tests/cdebug/DebuggedProgram.h"
#include "tools/cdebug/CodeFlow.h"

namespace {

struct Argument {
    const char* function;
    const char* parameter;
    const char* passed; // as the caller passes it
};

constexpr Argument kArguments[] = {
    {"square", "n", "9"}, {"clip", "x", "12"}, {"shift", "v", "-500"}, {"widen", "w", "100000"},
};

class ParamsProgramTest : public DebuggedProgramTest {
protected:
    static void SetUpTestSuite()
    {
        program = new LabProgram("params");
        program->Build();
    }
    static void TearDownTestSuite() { delete program; }

    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(Debug(*program));
    }

    std::string Line(const std::string& marker) const { return "params.c:" + std::to_string(program->Line(marker)); }
    const cdebug::CFunction& Function(const std::string& name) const
    {
        const cdebug::CFunction* function = program->info.FunctionNamed(name);
        EXPECT_NE(function, nullptr) << name;
        return *function;
    }
    // Breakpoints of the host's own (as the listing sets them) on these addresses.
    void BreakAt(const std::set<WORD>& addresses)
    {
        for (WORD address : addresses)
            ASSERT_TRUE(link->SetBreakPt(address));
        debugger->SetHostBreakpoints(addresses);
    }

    static LabProgram* program;
};

LabProgram* ParamsProgramTest::program = nullptr;

}

TEST_F(ParamsProgramTest, TheArgumentReadsRightAtEveryInstructionOfTheFirstLineOrSaysItIsGone)
{
    // Every instruction from the function's first byte to the first of its second line.
    std::set<WORD> addresses;
    std::map<WORD, const Argument*> owner;
    const std::vector<BYTE> code = program->Code();
    for (const Argument& argument : kArguments) {
        const cdebug::CFunction& function = Function(argument.function);
        const auto body = program->info.BlockAt(program->info.BodyOf(function));
        ASSERT_TRUE(body);
        for (WORD at = function.start; at <= body->second; at = WORD(at + cdebug::FlowAt(code, at).length)) {
            addresses.insert(at);
            owner[at] = &argument;
        }
    }
    ASSERT_NO_FATAL_FAILURE(BreakAt(addresses));
    std::map<std::string, std::vector<std::string>> seen;
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    for (std::size_t stop = 0; stop < addresses.size(); ++stop) {
        const auto argument = owner.find(debugger->Pc());
        ASSERT_NE(argument, owner.end()) << "stopped outside the first lines at " << debugger->Pc();
        seen[argument->second->function].push_back(Print(argument->second->parameter));
        if (stop + 1 < addresses.size()) {
            ASSERT_TRUE(debugger->Continue()) << debugger->Error();
        }
    }
    for (const Argument& argument : kArguments) {
        const std::vector<std::string>& answers = seen[argument.function];
        ASSERT_FALSE(answers.empty()) << argument.function;
        const std::string right = std::string(argument.parameter) + " = " + argument.passed;
        // Right from the first byte on; once the code has used it up, it says so,
        // and never shows another value.
        EXPECT_EQ(answers.front(), right) << argument.function;
        std::size_t i = 0;
        while (i < answers.size() && answers[i] == right)
            ++i;
        for (; i < answers.size(); ++i)
            EXPECT_EQ(answers[i], std::string("error: ") + argument.parameter + " has no place at this point (optimized out)")
                << argument.function << " stop " << i;
    }
    // Only the function that works on the parameter in DPL uses it up, by its second line.
    EXPECT_EQ(seen["square"].back(), "error: n has no place at this point (optimized out)");
    EXPECT_EQ(seen["clip"].back(), "x = 12");
    EXPECT_EQ(seen["shift"].back(), "v = -500");
    EXPECT_EQ(seen["widen"].back(), "w = 100000");
}

TEST_F(ParamsProgramTest, BreakAtTheFunctionAndStepIntoShowTheArgument)
{
    ASSERT_TRUE(debugger->Break("square")) << debugger->Error();
    ASSERT_TRUE(debugger->Break(Line("callclip"))) << debugger->Error();
    ASSERT_TRUE(debugger->Break(Line("callshift"))) << debugger->Error();
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    EXPECT_EQ(Here(), "square " + Line("square"));
    EXPECT_EQ(Print("n"), "n = 9");
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    ASSERT_TRUE(debugger->Step()) << debugger->Error();
    EXPECT_EQ(Here(), "clip " + Line("clip"));
    EXPECT_EQ(Print("x"), "x = 12");
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Print("x"), "x = 12") << "in its register after the move";
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    ASSERT_TRUE(debugger->Step()) << debugger->Error();
    EXPECT_EQ(Here(), "shift " + Line("shift"));
    EXPECT_EQ(Print("v"), "v = -500");
    ASSERT_TRUE(debugger->Break("widen")) << debugger->Error();
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    EXPECT_EQ(Here(), "widen " + Line("widen"));
    EXPECT_EQ(Print("w"), "w = 100000");
}

TEST_F(ParamsProgramTest, AnArgumentWrittenBeforeItsMoveIsWhatTheFunctionWorksWith)
{
    std::set<WORD> starts;
    for (const Argument& argument : kArguments)
        starts.insert(Function(argument.function).start);
    ASSERT_NO_FATAL_FAILURE(BreakAt(starts));
    ASSERT_TRUE(debugger->Break(Line("done"))) << debugger->Error();
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    const std::pair<const char*, const char*> written[] = {{"n", "5"}, {"x", "2"}, {"v", "10"}, {"w", "-1"}};
    for (const auto& [parameter, value] : written) {
        ASSERT_TRUE(debugger->Set(parameter, value)) << parameter << ": " << debugger->Error();
        EXPECT_EQ(Print(parameter), std::string(parameter) + " = " + value);
        ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    }
    EXPECT_EQ(Here(), "main " + Line("done"));
    EXPECT_EQ(Print("squared"), "squared = 25");
    EXPECT_EQ(Print("clipped"), "clipped = 2");
    EXPECT_EQ(Print("shifted"), "shifted = 27");
    EXPECT_EQ(Print("widened"), "widened = 3");
}

TEST_F(ParamsProgramTest, AGlobalsInitialiserStopsInTheStartupAndStepsOnToMain)
{
    ASSERT_TRUE(debugger->Break(Line("limit"))) << debugger->Error();
    EXPECT_EQ(program->info.FunctionAt(debugger->Break(Line("limit")).value_or(0)), nullptr);
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    EXPECT_EQ(Here(), "?? " + Line("limit"));
    EXPECT_EQ(debugger->Where().size(), 1u);
    EXPECT_EQ(Print("limit"), "limit = 0") << "the startup cleared the RAM and has yet to run the line";
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "?? " + Line("table"));
    EXPECT_EQ(Print("limit"), "limit = 40");
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("callsquare"));
    EXPECT_EQ(Print("table"), "table = {1, 2, 3}");
}

TEST_F(ParamsProgramTest, ALineAboveTheFunctionsWithoutCodeIsRefused)
{
    for (const std::string& line : {Line("plain"), std::string("params.c:1")}) {
        EXPECT_FALSE(debugger->Break(line)) << line;
        EXPECT_EQ(debugger->Error(), line + " runs no code: above the first function only a global's initialiser has some");
    }
    // Inside the functions a line without code still takes the next one's.
    const int blank = program->Line("callsquare") - 1;
    EXPECT_EQ(debugger->Break("params.c:" + std::to_string(blank)), program->info.AddressOfLine("params.c", blank + 1));
}
