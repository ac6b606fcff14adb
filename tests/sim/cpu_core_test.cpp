// What the s51 traces cannot show: the 8051's own behaviour where s51 departs from
// it (see REFERENCE notes), the parts s51 does not model, and the core's interface.
#include <gtest/gtest.h>

#include "sim/cpu/Opcodes.h"
#include "sim/cpu/RegisterImage.h"
#include "tests/sim/CoreRig.h"

namespace zorkit::sim::test {
namespace {

class CoreTest : public ::testing::Test {
protected:
    void Program(const std::vector<BYTE>& bytes, WORD address = 0) { rig.Program(bytes, address); }
    void Steps(int n) { ASSERT_TRUE(rig.Steps(n)) << "A5 at " << rig.core.PC(); }
    BYTE Sfr(BYTE address) const { return rig.core.ReadSfr(address); }

    CCoreRig rig;
};

TEST(OpcodeTable, EveryOpcodeButA5IsAnInstructionOfOneTwoOrFourCycles)
{
    for (int opcode = 0; opcode < 256; ++opcode) {
        const cpu::COpcode& entry = cpu::Opcodes()[BYTE(opcode)];
        if (opcode == 0xA5) {
            EXPECT_EQ(entry.cycles, 0);
            continue;
        }
        EXPECT_NE(entry.execute, nullptr) << std::hex << opcode;
        bool mulOrDiv = opcode == 0x84 || opcode == 0xA4;
        EXPECT_EQ(entry.cycles, mulOrDiv ? 4 : entry.cycles == 1 ? 1 : 2) << std::hex << opcode;
    }
}

TEST_F(CoreTest, ResetValuesAndRegisterImageLayout)
{
    std::vector<BYTE> image = ReadRegisterImage(rig.core);
    std::vector<BYTE> expected(26, 0);
    expected[3] = 0x07; // SP
    for (int port = 16; port <= 19; ++port)
        expected[port] = 0xFF;
    EXPECT_EQ(image, expected);

    // A B PSW SP DPL DPH R0-R7 PCL PCH P0-P3 IE IP TMOD TCON TL0 TH0; PSW 10H selects bank 2.
    std::vector<BYTE> written = {0x81, 0x02, 0x10, 0x50, 0x34, 0x12, 1, 2, 3, 4, 5, 6, 7, 8, 0x78, 0x56,
        0xFE, 0x7F, 0x01, 0xFF, 0x85, 0x04, 0x21, 0x40, 0x99, 0x88};
    WriteRegisterImage(rig.core, written.data(), written.size());
    EXPECT_EQ(rig.core.PC(), 0x5678);
    EXPECT_EQ(Sfr(0xA0), 0x01) << "P2";
    EXPECT_EQ(Sfr(0x8C), 0x88) << "TH0";
    EXPECT_EQ(std::vector<BYTE>(rig.idata.begin() + 0x10, rig.idata.begin() + 0x18),
        std::vector<BYTE>(written.begin() + 6, written.begin() + 14)) << "R0-R7 in bank 2";
    std::vector<BYTE> back = ReadRegisterImage(rig.core);
    EXPECT_EQ(back[2], 0x10 | 0x00) << "P in PSW shows A's parity (81H: even)";
    back[2] = written[2];
    EXPECT_EQ(back, written);

    rig.core.Reset();
    EXPECT_EQ(ReadRegisterImage(rig.core), expected) << "memories keep their bytes, registers do not";
    EXPECT_EQ(rig.idata[0x10], 1);
}

TEST_F(CoreTest, BitInstructionsOnPswSwitchTheBankAndParityFollowsA)
{
    // SETB RS0; MOV R0,#55H; CLR PSW.3; MOV R0,#66H; MOV PSW,#01H; MOV A,#07H
    Program({0xD2, 0xD3, 0x78, 0x55, 0xC2, 0xD3, 0x78, 0x66, 0x75, 0xD0, 0x01, 0x74, 0x07});
    Steps(4);
    EXPECT_EQ(rig.idata[0x08], 0x55) << "bank 1 through the bit form";
    EXPECT_EQ(rig.idata[0x00], 0x66);
    Steps(1);
    EXPECT_EQ(Sfr(0xD0), 0x00) << "a written P does not stick while A is 0";
    Steps(1);
    EXPECT_EQ(Sfr(0xD0), 0x01) << "07H has odd parity";
}

TEST_F(CoreTest, UndefinedOpcodeIsNotExecuted)
{
    Program({0x00, 0xA5, 0x00}, 0x0200);
    Steps(1);
    std::uint64_t cycles = rig.core.Cycles();
    EXPECT_FALSE(rig.core.Step());
    EXPECT_EQ(rig.core.PC(), 0x0201);
    EXPECT_EQ(rig.core.Cycles(), cycles);
    CStopMap none;
    EXPECT_EQ(rig.core.Run(1000, none, true), C8051Core::Stop::Undefined);
    EXPECT_EQ(rig.core.PC(), 0x0201);
}

TEST_F(CoreTest, RunLeavesItsStopAddressOnlyWhenAsked)
{
    // 0100: INC A; SJMP 0100H
    Program({0x04, 0x80, 0xFD}, 0x0100);
    CStopMap stops;
    stops.set(0x0100);
    EXPECT_EQ(rig.core.Run(1000, stops, false), C8051Core::Stop::Address);
    EXPECT_EQ(rig.core.Cycles(), 0u);
    EXPECT_EQ(rig.core.Run(1000, stops, true), C8051Core::Stop::Address);
    EXPECT_EQ(rig.core.ReadSfr(0xE0), 1) << "one round of the loop";
    EXPECT_EQ(rig.core.Cycles(), 3u);
    EXPECT_EQ(rig.core.Run(6, CStopMap{}, false), C8051Core::Stop::Budget);
    EXPECT_EQ(rig.core.Cycles(), 9u);
}

TEST_F(CoreTest, TimerOneRunsWithoutTr1WhileTimerZeroIsSplit)
{
    // MOV TMOD,#13H (T1 mode 1, T0 mode 3); MOV TL1,#0FEH; MOV TH1,#0FFH; NOP x3
    Program({0x75, 0x89, 0x13, 0x75, 0x8B, 0xFE, 0x75, 0x8D, 0xFF, 0x00, 0x00, 0x00});
    Steps(6);
    // The timers count an instruction's cycles with the settings it found: TL1 wrapped
    // during MOV TH1 and then counted the three NOPs.
    EXPECT_EQ(Sfr(0x8B), 0x03) << "TL1 runs without TR1";
    EXPECT_EQ(Sfr(0x8D), 0xFF);
    EXPECT_EQ(Sfr(0x88) & 0x80, 0) << "TF1 belongs to TH0 now";
    // SETB TR1 runs TH0: MOV TH0,#0FFH; SETB TR1; NOP
    Program({0x75, 0x8C, 0xFF, 0xD2, 0x8E, 0x00}, 0x0100);
    Steps(3);
    EXPECT_EQ(Sfr(0x8C), 0x00);
    EXPECT_EQ(Sfr(0x88) & 0x80, 0x80) << "TH0 overflowed into TF1";
    // MOV TMOD,#33H: timer 1 in mode 3 stops.
    BYTE tl1 = Sfr(0x8B);
    Program({0x75, 0x89, 0x33, 0x00, 0x00}, 0x0200);
    Steps(3);
    EXPECT_EQ(Sfr(0x8B), tl1 + 2) << "counted during MOV TMOD only";
}

TEST_F(CoreTest, CounterCountsFallingEdgesAndGateWaitsForTheIntPin)
{
    // MOV TMOD,#05H (T0 counter, mode 1); SETB TR0; then CLR P3.4 / SETB P3.4 twice
    Program({0x75, 0x89, 0x05, 0xD2, 0x8C, 0xC2, 0xB4, 0xD2, 0xB4, 0xC2, 0xB4, 0xD2, 0xB4});
    Steps(6);
    EXPECT_EQ(Sfr(0x8A), 2) << "two falling edges on T0";
    // MOV TMOD,#09H (T0 timer, gate); CLR P3.2; NOP; NOP; SETB P3.2; NOP
    Program({0x75, 0x89, 0x09, 0xC2, 0xB2, 0x00, 0x00, 0xD2, 0xB2, 0x00}, 0x0100);
    Steps(2);
    BYTE before = Sfr(0x8A);
    Steps(3);
    EXPECT_EQ(Sfr(0x8A), before) << "the gate is shut while INT0 is low, SETB P3.2's own cycle included";
    Steps(1);
    EXPECT_EQ(Sfr(0x8A), before + 1);
}

TEST_F(CoreTest, LevelTriggeredInterruptRepeatsWhileThePinIsLowAndCallsTakeTwoCycles)
{
    // 0003: INC R7; RETI.  0100: MOV IE,#81H; CLR P3.2; NOP...
    Program({0x0F, 0x32}, 0x0003);
    Program({0x75, 0xA8, 0x81, 0xC2, 0xB2, 0x00, 0x00, 0x00, 0x00}, 0x0100);
    Steps(2);
    std::uint64_t cycles = rig.core.Cycles();
    ASSERT_EQ(rig.core.PC(), 0x0003) << "taken after CLR P3.2";
    EXPECT_EQ(cycles, 2u + 1u + 2u) << "MOV, CLR and the two-cycle call";
    EXPECT_EQ(Sfr(0x88) & 0x02, 0x02) << "a level request is not cleared by the call";
    Steps(2); // INC R7, RETI
    EXPECT_EQ(rig.core.PC(), 0x0105);
    Steps(1); // one instruction runs after RETI before the next call
    EXPECT_EQ(rig.core.PC(), 0x0003);
    EXPECT_EQ(rig.core.Register(7), 1);

    // Edge-triggered: one call per falling edge, and the call clears IE0.
    rig.core.Reset();
    Program({0x75, 0xA8, 0x81, 0xD2, 0x88, 0xC2, 0xB2, 0x00, 0x00, 0x00}, 0x0100);
    Steps(3);
    ASSERT_EQ(rig.core.PC(), 0x0003);
    EXPECT_EQ(Sfr(0x88) & 0x02, 0);
    Steps(5);
    EXPECT_NE(rig.core.PC(), 0x0003);
    EXPECT_EQ(rig.core.Register(7), 2);
}

TEST_F(CoreTest, TimerOverflowCallsAfterItsInstructionAndTheTimerCountsTheCall)
{
    // 000B: RETI.  0100: MOV TMOD,#02H; MOV TH0,#0FCH; MOV TL0,#0FCH; MOV IE,#82H; SETB TR0; NOP...
    Program({0x32}, 0x000B);
    Program({0x75, 0x89, 0x02, 0x75, 0x8C, 0xFC, 0x75, 0x8A, 0xFC, 0x75, 0xA8, 0x82, 0xD2, 0x8C, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00},
        0x0100);
    Steps(5);
    std::uint64_t started = rig.core.Cycles();
    Steps(3);
    EXPECT_EQ(rig.core.PC(), 0x0111) << "TL0 at FFH: no overflow yet";
    Steps(1);
    EXPECT_EQ(rig.core.PC(), 0x000B) << "the NOP that overflowed TL0 is followed by the call";
    EXPECT_EQ(rig.core.Cycles() - started, 4u + 2u);
    EXPECT_EQ(Sfr(0x8A), 0xFC + 2) << "reloaded, then counted the call's two cycles";
    EXPECT_EQ(Sfr(0x88) & 0x20, 0) << "the call clears TF0";
    EXPECT_EQ(rig.core.InterruptCalls(), 1u);
}

// Timer 2 overflowing on its own, with a reload, ticks at a steady rate only if each
// call costs its two cycles and the timer counts them: the handler's time then stays
// within the period. s51 charges the call one cycle, so a C program there sees fewer
// ticks per pass of its loop.
TEST_F(CoreTest, TimerTwoCallsAfterTheOverflowingInstructionOncePerPeriodAndCountsTheCall)
{
    // 002B: CLR TF2; INC R7; RETI.
    // 0100: MOV RCAP2H,#0FFH; MOV RCAP2L,#0F8H; MOV TH2,#0FFH; MOV TL2,#0FCH; MOV IE,#0A0H; SETB TR2; NOP...
    Program({0xC2, 0xCF, 0x0F, 0x32}, 0x002B);
    Program({0x75, 0xCB, 0xFF, 0x75, 0xCA, 0xF8, 0x75, 0xCD, 0xFF, 0x75, 0xCC, 0xFC, 0x75, 0xA8, 0xA0, 0xD2, 0xCA,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
        0x0100);
    Steps(6);
    std::uint64_t started = rig.core.Cycles();
    Steps(3);
    EXPECT_EQ(rig.core.PC(), 0x0114) << "TL2 at FFH: no overflow yet";
    Steps(1);
    ASSERT_EQ(rig.core.PC(), 0x002B) << "TF2 is seen in the cycle it rises: the call follows that NOP";
    EXPECT_EQ(rig.core.Cycles() - started, 4u + 2u);
    EXPECT_EQ(Sfr(0xCC), 0xF8 + 2) << "reloaded, then counted the call's two cycles";
    EXPECT_EQ(Sfr(0xC8) & 0x80, 0x80) << "the call leaves TF2 to the handler";
    Steps(3); // CLR TF2, INC R7, RETI
    EXPECT_EQ(rig.core.PC(), 0x0115);
    EXPECT_EQ(Sfr(0xCC), 0xFE);
    Steps(2);
    ASSERT_EQ(rig.core.PC(), 0x002B);
    EXPECT_EQ(rig.core.Cycles() - started, 6u + 8u) << "the next call one period of eight cycles later";
    EXPECT_EQ(Sfr(0xCC), 0xF8 + 2);
    EXPECT_EQ(rig.core.Register(7), 1);
}

// sdcc's __critical: JBC EA saves and clears EA, MOV EA,C puts it back. An overflow
// during the JBC is not called (it writes IE, then EA is clear), and the request
// waits until one instruction after MOV EA,C.
TEST_F(CoreTest, TimerTwoRequestDuringACriticalSectionIsCalledOneInstructionAfterItsEnd)
{
    // 002B: CLR TF2; INC R7; RETI.
    // 0100: MOV TL2,#0FEH; MOV TH2,#0FFH; MOV IE,#0A0H; SETB TR2; JBC EA,+0; NOP; SETB C; MOV EA,C; NOP; NOP
    Program({0xC2, 0xCF, 0x0F, 0x32}, 0x002B);
    Program({0x75, 0xCC, 0xFE, 0x75, 0xCD, 0xFF, 0x75, 0xA8, 0xA0, 0xD2, 0xCA, 0x10, 0xAF, 0x00, 0x00, 0xD3, 0x92, 0xAF,
        0x00, 0x00},
        0x0100);
    Steps(5);
    EXPECT_EQ(rig.core.PC(), 0x010E);
    EXPECT_EQ(Sfr(0xC8) & 0x80, 0x80) << "TL2 overflowed in the JBC's second cycle";
    EXPECT_EQ(Sfr(0xA8), 0x20) << "JBC cleared EA";
    Steps(3); // NOP, SETB C, MOV EA,C
    EXPECT_EQ(rig.core.PC(), 0x0112) << "no call right after the write to IE";
    EXPECT_EQ(rig.core.InterruptCalls(), 0u);
    Steps(1);
    ASSERT_EQ(rig.core.PC(), 0x002B);
    EXPECT_EQ(rig.core.ReadSfr(0x81), 0x09);
    EXPECT_EQ(rig.idata[0x08], 0x13) << "returns to the second NOP";
    EXPECT_EQ(rig.idata[0x09], 0x01);
}

TEST_F(CoreTest, IdleModeWaitsForAnInterruptAndPowerDownForTheReset)
{
    // 000B: INC R7; RETI.  0100: MOV TMOD,#02H; MOV TL0,#0F0H; MOV IE,#82H; SETB TR0; ORL PCON,#01H; INC R5
    Program({0x0F, 0x32}, 0x000B);
    Program({0x75, 0x89, 0x02, 0x75, 0x8A, 0xF0, 0x75, 0xA8, 0x82, 0xD2, 0x8C, 0x43, 0x87, 0x01, 0x0D}, 0x0100);
    Steps(5);
    std::uint64_t instructions = rig.core.Instructions();
    Steps(10);
    EXPECT_EQ(rig.core.PC(), 0x010E) << "idle: no instruction runs";
    EXPECT_EQ(rig.core.Instructions(), instructions);
    EXPECT_EQ(Sfr(0x8A), 0xF0 + 2 + 10) << "the timer counts on";
    CStopMap none;
    rig.core.Run(10, none, false);
    EXPECT_EQ(Sfr(0x87) & 0x01, 0) << "the timer's interrupt ended the idle mode";
    EXPECT_EQ(rig.core.Register(7), 1);
    EXPECT_EQ(rig.core.Register(5), 1) << "and the program went on after ORL PCON";

    // Power-down: nothing counts until the reset.
    Program({0x43, 0x87, 0x02, 0x0D}, 0x0200);
    Steps(1);
    BYTE tl0 = Sfr(0x8A);
    rig.core.Run(100, none, false);
    EXPECT_EQ(rig.core.PC(), 0x0203);
    EXPECT_EQ(Sfr(0x8A), tl0);
    rig.core.Reset();
    EXPECT_EQ(Sfr(0x87), 0);
}

TEST_F(CoreTest, HighPriorityInterruptsALowPriorityRoutineAndNotTheOtherWay)
{
    // 000B (timer 0, low): SETB TF1; NOP; NOP; RETI.  001B (timer 1, high): INC R6; RETI.
    Program({0xD2, 0x8F, 0x00, 0x00, 0x32}, 0x000B);
    Program({0x0E, 0x32}, 0x001B);
    // MOV IP,#08H; MOV IE,#8AH; SETB TF0; NOP
    Program({0x75, 0xB8, 0x08, 0x75, 0xA8, 0x8A, 0xD2, 0x8D, 0x00}, 0x0100);
    Steps(3);
    ASSERT_EQ(rig.core.PC(), 0x000B);
    Steps(1);
    EXPECT_EQ(rig.core.PC(), 0x001B) << "the high-priority request interrupts the low routine";
    Steps(2);
    EXPECT_EQ(rig.core.PC(), 0x000D);
    EXPECT_EQ(rig.core.Register(6), 1);

    // Now the other way round: low requested inside the high routine waits for its RETI.
    rig.core.Reset();
    Program({0xD2, 0x8D, 0x00, 0x00, 0x32}, 0x001B); // timer 1 (high): SETB TF0; NOP; NOP; RETI
    Program({0x0E, 0x32}, 0x000B);                   // timer 0 (low): INC R6; RETI
    Program({0x75, 0xB8, 0x08, 0x75, 0xA8, 0x8A, 0xD2, 0x8F, 0x00}, 0x0100);
    Steps(3);
    ASSERT_EQ(rig.core.PC(), 0x001B);
    Steps(3);
    EXPECT_EQ(rig.core.PC(), 0x001F) << "no call inside the high routine";
    Steps(2); // RETI, then one instruction of the interrupted code
    EXPECT_EQ(rig.core.PC(), 0x000B);
}

TEST_F(CoreTest, PortObserverSeesEveryChangeOfALatchOnce)
{
    std::vector<std::pair<int, BYTE>> seen;
    rig.core.SetPortObserver([&](int port, BYTE value) { seen.emplace_back(port, value); });
    // MOV P1,#55H; MOV P1,#55H; CPL P1.0; ORL P3,#0FFH; MOV P0,A
    Program({0x75, 0x90, 0x55, 0x75, 0x90, 0x55, 0xB2, 0x90, 0x43, 0xB0, 0xFF, 0xF5, 0x80});
    Steps(5);
    EXPECT_EQ(seen, (std::vector<std::pair<int, BYTE>>{{1, 0x55}, {1, 0x54}, {0, 0x00}}));
}

TEST_F(CoreTest, TraceObserverSeesEachExecutedInstruction)
{
    std::vector<WORD> seen;
    rig.core.SetTraceObserver([&](WORD pc) { seen.push_back(pc); });
    Program({0x00, 0x74, 0x01, 0xA5});
    CStopMap none;
    EXPECT_EQ(rig.core.Run(100, none, false), C8051Core::Stop::Undefined);
    EXPECT_EQ(seen, (std::vector<WORD>{0x0000, 0x0001})) << "A5 is not executed, so not traced";
}

}
}
