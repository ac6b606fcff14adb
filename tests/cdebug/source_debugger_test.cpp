// Debugging the sample C program at its lines on the virtual board, over a real
// pseudo-terminal and the library's link, as on a real box.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/cdebug/LabProgram.h"
#include "tests/link/LinkFixture.h"
#include "tools/cdebug/SourceDebugger.h"
#include "tools/common/ProgramDownload.h"

namespace {

using zorkit::sim::MemorySpace;

class SourceDebuggerTest : public LinkFixture {
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
        ASSERT_NO_FATAL_FAILURE(Establish());
        ASSERT_TRUE(DownloadProgram(*link, lab->built.hex.GetRuns()));
        debugger = std::make_unique<cdebug::CSourceDebugger>(*link, lab->info, lab->Code(), [this] {
            return WaitFor([this] { return !link->IsZORRunning(); });
        });
    }

    static WORD Entry() { return 0x0100; }

    std::string Line(const std::string& marker) const { return "lab.c:" + std::to_string(lab->Line(marker)); }
    // "FUNCTION lab.c:LINE" of the innermost frame.
    std::string Here() const
    {
        std::vector<cdebug::CFrame> frames = debugger->Where();
        return frames.empty() ? "no frame" : debugger->Describe(frames.front());
    }
    std::vector<std::string> Stack() const
    {
        std::vector<std::string> lines;
        for (const cdebug::CFrame& frame : debugger->Where())
            lines.push_back(debugger->Describe(frame));
        return lines;
    }
    std::string Print(const std::string& name) { return debugger->Print(name).value_or("error: " + debugger->Error()); }

    static LabProgram* lab;
    std::unique_ptr<cdebug::CSourceDebugger> debugger;
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
    ASSERT_TRUE(debugger->Finish()) << debugger->Error();
    EXPECT_EQ(Here(), "fact " + Line("recurse"));
    EXPECT_EQ(Stack().size(), 4u);
    // The rest of the line takes back the registers that hold this activation's n.
    ASSERT_TRUE(debugger->Next()) << debugger->Error();
    EXPECT_EQ(Here(), "fact lab.c:" + std::to_string(lab->Line("recurse") + 1));
    EXPECT_EQ(Print("n"), "n = 2");
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
