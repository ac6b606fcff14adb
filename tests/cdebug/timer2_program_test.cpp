// A C program that counts in timer 2's interrupt (a __using register bank) while
// main copies what the handler writes in __critical sections: it runs to its end on
// the virtual board, and its results equal those s51 computes as an 8052.
#include <gtest/gtest.h>

#include "tests/cdebug/DebuggedProgram.h"
#include "tests/cdebug/S51Session.h"

namespace {

// The program's results: what `print` takes, the global, the offset into it, the
// size, and whether it prints as a character (an element of a char array).
struct CResult {
    const char* expression;
    const char* global;
    int offset;
    int size;
    bool character;
};
constexpr CResult kResults[] = {{"ticks", "ticks", 0, 1, false}, {"quad[0]", "quad", 0, 1, true},
    {"quad[3]", "quad", 3, 1, true}, {"torn", "torn", 0, 1, false}, {"work", "work", 0, 2, false},
    {"handlerBank", "handlerBank", 0, 1, false}, {"criticalCalls", "criticalCalls", 0, 1, false}};

class Timer2ProgramTest : public DebuggedProgramTest {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(program.Build());
        ASSERT_NO_FATAL_FAILURE(Debug(program));
    }

    LabProgram program{"timer2"};
};

TEST_F(Timer2ProgramTest, RunsToItsEndWithTheResultsOfS51)
{
    std::string end = "timer2.c:" + std::to_string(program.Line("end"));
    ASSERT_TRUE(debugger->Break(end)) << debugger->Error();
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    ASSERT_EQ(debugger->Describe(debugger->Where().front()), "main " + end);
    // What the program is written to reach: no read torn by the interrupt, the
    // handler in bank 2, main's work in bank 0 intact.
    EXPECT_EQ(Print("ticks"), "ticks = 40");
    EXPECT_EQ(Print("quad[0]"), "quad[0] = '('") << "40";
    EXPECT_EQ(Print("quad[3]"), "quad[3] = '('") << "40";
    EXPECT_EQ(Print("torn"), "torn = 0");
    EXPECT_EQ(Print("work"), "work = 44850");
    EXPECT_EQ(Print("handlerBank"), "handlerBank = 16");
    EXPECT_EQ(Print("criticalCalls"), "criticalCalls = 19");

    if (!CS51Session::Installed())
        GTEST_SKIP() << "s51 is not installed: the board's results stand unchecked against it";
    CS51Session s51(program.built.hexPath);
    std::optional<WORD> endAddress = program.info.AddressOfLine("timer2.c", program.Line("end"));
    ASSERT_TRUE(endAddress);
    ASSERT_TRUE(s51.RunTo(*endAddress)) << "s51 did not reach the program's end";
    std::optional<std::vector<BYTE>> ram = s51.InternalRam();
    ASSERT_TRUE(ram);
    for (const CResult& result : kResults) {
        const cdebug::CVariable* variable = program.info.Find(result.global, nullptr);
        ASSERT_TRUE(variable && variable->address) << result.global;
        unsigned value = 0;
        for (int i = result.size - 1; i >= 0; --i)
            value = value << 8 | (*ram)[*variable->address + result.offset + i];
        std::string shown = result.character ? std::string("'") + char(value) + "'" : std::to_string(value);
        EXPECT_EQ(Print(result.expression), std::string(result.expression) + " = " + shown) << "as s51 has it";
    }
}

TEST_F(Timer2ProgramTest, TheInterruptedMainsRegisterLocalsAreThoseOfItsBank)
{
    ASSERT_TRUE(debugger->Break("timer2_isr")) << debugger->Error();
    ASSERT_TRUE(debugger->Start(0x0100)) << debugger->Error();
    for (int pass = 0; pass < 3; ++pass)
        ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    std::vector<cdebug::CFrame> frames = debugger->Where();
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_TRUE(frames[1].function);
    EXPECT_EQ(frames[1].function->name, "main");
    // The handler works in bank 2: main's n and k stay in bank 0's r6, r7 and r5.
    const std::vector<BYTE> bank0 = board.ReadMemory(zorkit::sim::MemorySpace::Internal, 0, 8);
    const unsigned n = unsigned(bank0[6] | bank0[7] << 8);
    EXPECT_EQ(Print("n", 1), "n = " + std::to_string(n));
    EXPECT_EQ(Print("k", 1), "k = " + std::to_string(bank0[5]));
    // And n is the loop's count: work holds the sum below it, or up to it.
    const std::string work = Print("work");
    EXPECT_TRUE(work == "work = " + std::to_string((n * (n - 1) / 2) & 0xFFFF) ||
                work == "work = " + std::to_string((n * (n + 1) / 2) & 0xFFFF))
        << work << " with n = " << n;
}

}
