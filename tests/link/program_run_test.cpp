// A real 8051 program on the virtual board, debugged through CZORComm over the
// pseudo-terminal: the demo's sort (tools/demo/sort.asm) run to a breakpoint, stepped,
// run to the cursor, and run free until the reset key.
#include <algorithm>

#include "tests/link/LinkFixture.h"
#include "tests/support/ResetKey.h"

using Bytes = std::vector<BYTE>;

namespace {

// Offsets in the 8051's register image.
constexpr int kA = 0, kPsw = 2, kSp = 3, kR0 = 6, kPcLow = 14, kPcHigh = 15, kP0 = 16;
constexpr WORD kDone = 0x0140;
const Bytes kTable = {0x5A, 0x13, 0xF0, 0x07, 0x99, 0x21, 0x42, 0x00, 0xC3, 0x7E, 0x18, 0x65, 0xAB, 0x30, 0x01, 0xEE};

WORD Pc(const Bytes& regs) { return WORD(regs[kPcHigh] << 8 | regs[kPcLow]); }

}

class ProgramRunTest : public LinkFixture {
protected:
    void LoadSort()
    {
        Establish();
        Bytes image = ProgramImage(std::string(ZORKIT_DEMO_DIR) + "/sort.hex");
        ASSERT_TRUE(link->ProgDld(image.data(), DWORD(image.size())));
        Bytes table = kTable;
        ASSERT_TRUE(link->InMemDld(table.data(), DWORD(table.size()), 0x30));
    }
    Bytes Registers()
    {
        Bytes regs(26, 0xEE);
        EXPECT_TRUE(link->RegisterUld(regs.data()));
        return regs;
    }
    Bytes Table()
    {
        Bytes table(16, 0xEE);
        EXPECT_TRUE(link->InMemUld(table.data(), DWORD(table.size()), 0x30));
        return table;
    }
    // Waits for the board's stop report to lower the running flag.
    void AwaitStop() { ASSERT_TRUE(WaitFor([&] { return !link->IsZORRunning(); })) << "no stop report"; }
};

TEST_F(ProgramRunTest, SortRunsToTheBreakpointAndLeavesTheTableSorted)
{
    LoadSort();
    Bytes before = Registers();
    EXPECT_EQ(before[kSp], 0x07) << "reset values of an 8051";
    EXPECT_EQ(before[kP0], 0xFF);

    ASSERT_TRUE(link->SetBreakPt(kDone));
    ASSERT_TRUE(link->ProgExec(0x0100));
    AwaitStop();

    Bytes after = Registers();
    EXPECT_EQ(Pc(after), kDone) << "stopped before the breakpoint's instruction";
    EXPECT_EQ(after[kSp], 0x60);
    EXPECT_EQ(after[kR0 + 7], 0) << "the last pass ran all its comparisons";
    int passes = after[kR0 + 6];
    EXPECT_EQ(after[kA], passes);
    EXPECT_GT(passes, 1);
    EXPECT_LE(passes, 16);
    Bytes sorted = kTable;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Table(), sorted);

    // Run again from the breakpoint: the board leaves it, the SJMP loops back onto it.
    ASSERT_TRUE(link->ProgExec(kDone));
    AwaitStop();
    EXPECT_EQ(Pc(Registers()), kDone);
}

TEST_F(ProgramRunTest, StepTraceAndGotoCursorMoveThroughTheProgram)
{
    LoadSort();
    ASSERT_TRUE(link->ProgReset(0x0100));
    ASSERT_TRUE(link->StepDebug());
    AwaitStop();
    Bytes regs = Registers();
    EXPECT_EQ(Pc(regs), 0x0103) << "MOV SP,#60H is three bytes";
    EXPECT_EQ(regs[kSp], 0x60);

    ASSERT_TRUE(link->TraceDebug()) << "MOV R6,#0";
    ASSERT_TRUE(link->GotoCursor(0x010A));
    AwaitStop();
    regs = Registers();
    EXPECT_EQ(Pc(regs), 0x010A) << "INC R6, MOV R0,#30H, MOV R7,#15 done";
    EXPECT_EQ(regs[kR0], 0x30);
    EXPECT_EQ(regs[kR0 + 6], 1);
    EXPECT_EQ(regs[kR0 + 7], 15);

    // Register download: select bank 1 and put 0x99 into its R0.
    regs[kPsw] = 0x08;
    regs[kR0] = 0x99;
    ASSERT_TRUE(link->RegisterDld(regs.data()));
    Bytes bank1(1, 0);
    ASSERT_TRUE(link->InMemUld(bank1.data(), 1, 0x08));
    EXPECT_EQ(bank1[0], 0x99);
}

TEST_F(ProgramRunTest, FreeRunKeepsTheLineAndEndsAtTheResetKey)
{
    LoadSort();
    // Run the (finished) program free: it loops at DONE until the reset key.
    ASSERT_TRUE(link->ProgExec(0x0100));
    EXPECT_TRUE(link->IsProgExcAll());
    EXPECT_TRUE(board.WaitMode(zorkit::sim::BoardMode::RunningFree, kPatience));

    link->SetZORConnect(0);
    ASSERT_TRUE(PressResetUntilAnswered(board, 3));
    ASSERT_TRUE(WaitFor([&] { return link->IsZORConnect() && !link->IsProgExcAll() && !WorkerRuns(); }));
    Bytes regs = Registers();
    EXPECT_EQ(Pc(regs), 0x0000) << "the reset key resets the 8051";
    EXPECT_EQ(regs[kSp], 0x07);
    Bytes sorted = kTable;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Table(), sorted) << "internal RAM survives the reset";
}
