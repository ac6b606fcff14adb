// Debugging the sample C program at its lines on the virtual board, over a real
// pseudo-terminal and the library's link, as on a real box.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/cdebug/DebuggedProgram.h"

namespace {

using zorkit::sim::MemorySpace;

class SourceDebuggerTest : public DebuggedProgramTest {
protected:
    static void SetUpTestSuite()
    {
        lab = new LabProgram;
        lab->Build();
    }
    static void TearDownTestSuite() { delete lab; }

    void SetUp() override
    {
        LinkFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(Debug(*lab));
    }

    static WORD Entry() { return 0x0100; }

    std::string Line(const std::string& marker) const { return "lab.c:" + std::to_string(lab->Line(marker)); }
    std::vector<std::string> Stack() const
    {
        std::vector<std::string> lines;
        for (const cdebug::CFrame& frame : debugger->Where())
            lines.push_back(debugger->Describe(frame));
        return lines;
    }

    static LabProgram* lab;
};

LabProgram* SourceDebuggerTest::lab = nullptr;

}

TEST_F(SourceDebuggerTest, ALineBreakpointStopsEveryPassWithTheLoopsValues)
{
    ASSERT_TRUE(debugger->Break(Line("call"))) << debugger->Error();
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("call"));
    EXPECT_EQ(Print("i"), "i = 0");
    EXPECT_EQ(Print("t"), "t = 0");
    EXPECT_EQ(Print("word[0]"), "word[0] = 'h'");
    EXPECT_EQ(Print("word[1]"), "word[1] = 'i'");
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("call"));
    EXPECT_EQ(Print("i"), "i = 1");
    EXPECT_EQ(Print("t"), "t = 2");
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    EXPECT_EQ(Print("t"), "t = 5");
    EXPECT_EQ(Print("nothing"), "error: no variable nothing in main or among the globals");
}

TEST_F(SourceDebuggerTest, StepIntoOverAndOutLandOnTheRightLines)
{
    ASSERT_TRUE(debugger->Break(Line("call")));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    ASSERT_TRUE(debugger->Step()) << debugger->Error();
    EXPECT_EQ(Here(), "add " + Line("add"));
    EXPECT_EQ(Stack(), (std::vector<std::string>{"add " + Line("add"), "main " + Line("call")}));
    EXPECT_EQ(Print("a"), "a = 0");
    EXPECT_EQ(Print("b"), "b = 2");
    // "return s;" leaves its value where the caller takes it: its code is the
    // closing brace's.
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "add lab.c:" + std::to_string(lab->Line("return") + 1));
    ASSERT_TRUE(debugger->Finish()) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("call")) << "back in the middle of the calling line";
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("for"));
    EXPECT_EQ(Print("t"), "t = 2");
    // Over the call this time: the loop comes round to the call with the next i.
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "main " + Line("call"));
    EXPECT_EQ(Print("i"), "i = 1");
    const int before = debugger->Operations();
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    const int stepOver = debugger->Operations() - before;
    EXPECT_EQ(Here(), "main " + Line("for"));
    EXPECT_EQ(Print("t"), "t = 5");
    // Set the breakpoint, run, read the registers and the internal RAM, clear it.
    EXPECT_LE(stepOver, 6);
    std::printf("link operations of one Step Over on a line with a call: %d\n", stepOver);
}

TEST_F(SourceDebuggerTest, AStepOverAStraightLineWithItsWatchesTakesAFewLinkOperations)
{
    const std::string tagLine = "lab.c:" + std::to_string(lab->Line("record") + 1);
    ASSERT_TRUE(debugger->Break(tagLine));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    const int before = debugger->Operations();
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    const int step = debugger->Operations() - before;
    // The watches as the window shows them at the stop: a local array and two
    // globals in internal RAM, and one in external RAM.
    EXPECT_EQ(Print("word[0]"), "word[0] = 'h'");
    EXPECT_EQ(Print("record.tag"), "record.tag = 114");
    EXPECT_EQ(Print("big"), "big = 0");
    EXPECT_EQ(Print("buffer[0]"), "buffer[0] = 0");
    const int watches = debugger->Operations() - before - step;
    EXPECT_EQ(Here(), "main lab.c:" + std::to_string(lab->Line("record") + 2));
    // One temporary breakpoint set and cleared, the run, the registers, the internal
    // RAM up to SP; the external variable is one read more.
    EXPECT_LE(step, 5);
    EXPECT_EQ(watches, 1);
    std::printf("link operations of one Step Over on a straight line: %d, and %d for its watches\n", step, watches);
}

TEST_F(SourceDebuggerTest, RecursionShowsEveryFrameAndFinishReturnsOneLevel)
{
    ASSERT_TRUE(debugger->Break("fact"));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    EXPECT_EQ(Here(), "fact " + Line("fact"));
    EXPECT_EQ(Print("n"), "n = 4");
    ASSERT_TRUE(debugger->Continue());
    ASSERT_TRUE(debugger->Continue());
    EXPECT_EQ(Print("n"), "n = 2");
    EXPECT_EQ(Stack(), (std::vector<std::string>{"fact " + Line("fact"), "fact " + Line("recurse"),
                                                 "fact " + Line("recurse"), "main " + Line("record")}));
    // Stepping over the recursive call does not stop in the deeper activations,
    // although they pass the same lines.
    ASSERT_TRUE(debugger->Next());
    EXPECT_EQ(Here(), "fact " + Line("recurse"));
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Print("n"), "n = 1") << "the breakpoint at fact stops the step in the deeper call";
    EXPECT_EQ(Stack().size(), 5u);
    // Each caller pushed its n before calling.
    EXPECT_EQ(Print("n", 1), "n = 2");
    EXPECT_EQ(Print("n", 2), "n = 3");
    EXPECT_EQ(Print("n", 3), "n = 4");
    EXPECT_NE(Print("t", 4).find("t is kept in registers that main did not save for its call"), std::string::npos)
        << Print("t", 4);
    ASSERT_TRUE(debugger->Set("n", "7", 1)) << debugger->Error();
    ASSERT_TRUE(debugger->Finish()) << debugger->Error();
    EXPECT_EQ(Here(), "fact " + Line("recurse"));
    EXPECT_EQ(Stack().size(), 4u);
    // The rest of the line takes back the registers that hold this activation's n,
    // as written into its saved copy.
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "fact lab.c:" + std::to_string(lab->Line("recurse") + 1));
    EXPECT_EQ(Print("n"), "n = 7");
}

TEST_F(SourceDebuggerTest, TheCallersRegisterLocalsAreReadWhereItSavedThem)
{
    ASSERT_TRUE(debugger->Break(Line("add")));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    EXPECT_EQ(Print("a"), "a = 1");
    EXPECT_EQ(Print("i", 1), "i = 1");
    EXPECT_EQ(Print("t", 1), "t = 2");
    EXPECT_EQ(Print("word[1]", 1), "word[1] = 'i'");
    ASSERT_TRUE(debugger->Continue()) << debugger->Error();
    EXPECT_EQ(Print("i", 1), "i = 2");
    EXPECT_EQ(Print("t", 1), "t = 5");
}

TEST_F(SourceDebuggerTest, ValuesByTypeEqualTheProgramsMemoryAndWritesReachIt)
{
    ASSERT_TRUE(debugger->Break(Line("timer")));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    EXPECT_EQ(Print("record"), "record = {count = 24, tag = 114, total = 100000}");
    EXPECT_EQ(Print("record.count"), "record.count = 24");
    EXPECT_EQ(Print("big"), "big = -70000");
    EXPECT_EQ(Print("scale"), "scale = 3");
    EXPECT_EQ(Print("cursor"), "cursor = 0x4000");
    EXPECT_EQ(Print("*cursor"), "*cursor = 5");
    EXPECT_EQ(Print("cursor[1]"), "cursor[1] = 6");
    EXPECT_EQ(Print("ready"), "ready = 1");
    EXPECT_EQ(Print("word"), "word = {'h', 'i', " + Print("word[2]").substr(10) + ", " + Print("word[3]").substr(10) + "}");
    // The board's own memory at the linker's addresses holds the same.
    const unsigned buffer = lab->MapAddress("_buffer").value();
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, WORD(buffer), 2), (std::vector<BYTE>{5, 6}));
    const unsigned big = lab->MapAddress("_big").value();
    const std::uint32_t minus70000 = std::uint32_t(-70000);
    EXPECT_EQ(board.ReadMemory(MemorySpace::Internal, WORD(big), 4),
              (std::vector<BYTE>{BYTE(minus70000), BYTE(minus70000 >> 8), BYTE(minus70000 >> 16), BYTE(minus70000 >> 24)}));

    ASSERT_TRUE(debugger->Set("big", "0x12345678")) << debugger->Error();
    EXPECT_EQ(board.ReadMemory(MemorySpace::Internal, WORD(big), 4), (std::vector<BYTE>{0x78, 0x56, 0x34, 0x12}));
    ASSERT_TRUE(debugger->Set("buffer[3]", "'z'")) << debugger->Error();
    EXPECT_EQ(board.ReadMemory(MemorySpace::External, WORD(buffer + 3), 1), (std::vector<BYTE>{'z'}));
    ASSERT_TRUE(debugger->Set("scale", "-0.25")) << debugger->Error();
    EXPECT_EQ(Print("scale"), "scale = -0.25");
    EXPECT_FALSE(debugger->Set("record", "1"));
}

TEST_F(SourceDebuggerTest, TheInterruptHandlerStopsWithTheInterruptedLineBelowIt)
{
    ASSERT_TRUE(debugger->Break("timer0"));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    EXPECT_EQ(Here(), "timer0 " + Line("tick"));
    std::vector<std::string> stack = Stack();
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[1], "main " + Line("wait"));
    EXPECT_EQ(Print("ticks"), "ticks = 0");
    ASSERT_TRUE(debugger->Continue());
    EXPECT_EQ(Print("ticks"), "ticks = 1");
}

TEST_F(SourceDebuggerTest, RefusalsSayWhy)
{
    EXPECT_FALSE(debugger->Start(Entry()));
    EXPECT_NE(debugger->Error().find("no breakpoint"), std::string::npos);
    EXPECT_FALSE(debugger->Next());
    EXPECT_FALSE(debugger->Break("lab.c:x"));
    EXPECT_FALSE(debugger->Break("nosuch"));
    EXPECT_FALSE(debugger->Break("lab.c:100000"));
}

TEST_F(SourceDebuggerTest, ReentrantFunctionsReadTheirStackThroughTheFramePointer)
{
    LabProgram reentrant;
    reentrant.Build({{"stack-auto", "yes"}});
    ASSERT_TRUE(DownloadProgram(*link, reentrant.built.hex.GetRuns()));
    cdebug::CSourceDebugger onStack(*link, reentrant.info, reentrant.Code(),
                                    [this] { return WaitFor([this] { return !link->IsZORRunning(); }); });
    ASSERT_TRUE(onStack.Break("lab.c:" + std::to_string(reentrant.Line("add")))) << onStack.Error();
    ASSERT_TRUE(onStack.Start(Entry())) << onStack.Error();
    ASSERT_TRUE(onStack.Continue()) << onStack.Error();
    EXPECT_EQ(onStack.Print("a").value_or(onStack.Error()), "a = 1");
    EXPECT_EQ(onStack.Print("b").value_or(onStack.Error()), "b = 2");
    std::vector<cdebug::CFrame> frames = onStack.Where();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(onStack.Describe(frames[1]), "main lab.c:" + std::to_string(reentrant.Line("call")));
}

TEST_F(SourceDebuggerTest, SfrsAndSbitsReadTheRegistersNotTheRamAtTheirAddresses)
{
    ASSERT_TRUE(debugger->Break(Line("wait")));
    ASSERT_TRUE(debugger->Start(Entry())) << debugger->Error();
    // The upper RAM at the addresses of TMOD, TCON and IE holds other values, which
    // a read through the internal memory would show.
    board.WriteMemory(MemorySpace::Internal, 0x88, {0x00, 0x55});
    board.WriteMemory(MemorySpace::Internal, 0xA8, {0x00});
    ASSERT_TRUE(debugger->Refresh()) << debugger->Error();
    EXPECT_EQ(Print("TMOD"), "TMOD = 2");
    EXPECT_EQ(Print("IE"), "IE = 130");
    EXPECT_EQ(Print("TR0"), "TR0 = 1") << "an sbit above 80 is a bit of its SFR";
    EXPECT_EQ(Print("ET0"), "ET0 = 1");
    EXPECT_EQ(Print("TR1"), "TR1 = 0");
    EXPECT_EQ(Print("ready"), "ready = 1") << "a bit variable below 80 stays in RAM 20-2F";
    EXPECT_EQ(Print("SCON"), "SCON = <the monitor does not read SFR 98 (only those of the register image)>");

    const std::vector<BYTE> ramAt90 = board.ReadMemory(MemorySpace::Internal, 0x90, 1);
    ASSERT_TRUE(debugger->Set("P1", "0x3C")) << debugger->Error();
    EXPECT_EQ(board.Registers()[17], 0x3C) << "P1 of the board's register image";
    EXPECT_EQ(board.ReadMemory(MemorySpace::Internal, 0x90, 1), ramAt90) << "RAM at 90 is untouched";
    ASSERT_TRUE(debugger->Refresh()) << debugger->Error();
    EXPECT_EQ(Print("P1"), "P1 = 60");
    EXPECT_EQ(Print("P1_2"), "P1_2 = 1");
    EXPECT_EQ(Print("P1_0"), "P1_0 = 0");
}
