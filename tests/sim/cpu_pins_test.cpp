// The core's outside: pins that devices drive, their second functions, the external
// bus at mapped addresses and the ticks on machine-cycle time.
#include <gtest/gtest.h>

#include "sim/cpu/CoreIo.h"
#include "tests/sim/CoreRig.h"

namespace zorkit::sim::test {
namespace {

// A board that records what the core tells it and answers bus reads with a pattern.
struct CRecordingWiring : CBoardWiring {
    void LatchChanged(int port, BYTE latch) override { latches.emplace_back(port, latch); }
    BYTE ReadBus(WORD address) override
    {
        reads.push_back(address);
        return BYTE(address ^ 0x5A);
    }
    void WriteBus(WORD address, BYTE value) override { writes.emplace_back(address, value); }
    void Tick(std::uint64_t now) override
    {
        ticks.push_back(now);
        if (onTick)
            onTick(now);
    }

    std::vector<std::pair<int, BYTE>> latches;
    std::vector<WORD> reads;
    std::vector<std::pair<WORD, BYTE>> writes;
    std::vector<std::uint64_t> ticks;
    std::function<void(std::uint64_t)> onTick;
};

class PinsTest : public ::testing::Test {
protected:
    void Steps(int n) { ASSERT_TRUE(rig.Steps(n)) << "A5 at " << rig.core.PC(); }
    BYTE Sfr(BYTE address) const { return rig.core.ReadSfr(address); }
    CCoreRig rig;
};

TEST_F(PinsTest, ReadsSeeLatchAndPinsWhileReadModifyWriteSeesTheLatch)
{
    rig.core.DrivePins(1, 0x0F);
    // MOV A,P1; CPL P1.7; ANL P1,#0FFH; MOV C,P1.4; INC P1; MOV R0,A
    rig.Program({0xE5, 0x90, 0xB2, 0x97, 0x53, 0x90, 0xFF, 0xA2, 0x94});
    Steps(1);
    EXPECT_EQ(Sfr(0xE0), 0x0F) << "a switch pulls P1.4-P1.7 low";
    Steps(2);
    EXPECT_EQ(rig.core.Latch(1), 0x7F) << "CPL and ANL work on the latch, not on the pins";
    EXPECT_EQ(Sfr(0x90), 0x0F);
    Steps(1);
    EXPECT_FALSE(Sfr(0xD0) & 0x80) << "MOV C,P1.4 reads the pin";
    rig.core.DrivePins(1, 0xFF);
    EXPECT_EQ(Sfr(0x90), 0x7F) << "released pins show the latch again";
}

TEST_F(PinsTest, FallingEdgesOnPinsRaiseInt0AndCountOnT0)
{
    // SETB IT0; MOV IE,#81H; MOV TMOD,#05H; SETB TR0; SJMP $; at 0003: RETI
    rig.code[0x03] = 0x32;
    rig.Program({0xD2, 0x88, 0x75, 0xA8, 0x81, 0x75, 0x89, 0x05, 0xD2, 0x8C, 0x80, 0xFE}, 0x40);
    Steps(4);
    for (int i = 0; i < 3; ++i) {
        rig.core.DrivePins(3, BYTE(~0x10));
        rig.core.DrivePins(3, 0xFF);
    }
    EXPECT_EQ(Sfr(0x8A), 3) << "TL0 counts each falling edge of T0";
    rig.core.DrivePins(3, BYTE(~0x04));
    EXPECT_TRUE(Sfr(0x88) & 0x02) << "IE0 latched the edge";
    Steps(1);
    EXPECT_EQ(rig.core.PC(), 0x0003) << "the interrupt was called";
    EXPECT_FALSE(Sfr(0x88) & 0x02) << "the call cleared the edge's IE0";
    // Level-triggered: IE0 follows the pin.
    rig.core.WriteSfr(0x88, 0x10);
    EXPECT_TRUE(Sfr(0x88) & 0x02);
    rig.core.DrivePins(3, 0xFF);
    EXPECT_FALSE(Sfr(0x88) & 0x02);
}

TEST_F(PinsTest, MappedBusAddressesReachTheWiringAndTheRestStaysRam)
{
    CRecordingWiring wiring;
    rig.core.AttachWiring(&wiring);
    rig.core.MapBus(0xFF00, 0xFF03);
    // MOV DPTR,#0FF01H; MOV A,#77H; MOVX @DPTR,A; MOVX A,@DPTR;
    // MOV DPTR,#8000H; MOVX @DPTR,A; MOV P2,#0FFH; MOV R0,#03H; MOVX A,@R0
    rig.Program({0x90, 0xFF, 0x01, 0x74, 0x77, 0xF0, 0xE0, 0x90, 0x80, 0x00, 0xF0, 0x75, 0xA0, 0xFF, 0x78, 0x03,
        0xE2});
    Steps(9);
    EXPECT_EQ(wiring.writes, (std::vector<std::pair<WORD, BYTE>>{{0xFF01, 0x77}}));
    EXPECT_EQ(wiring.reads, (std::vector<WORD>{0xFF01, 0xFF03}));
    EXPECT_EQ(rig.xdata[0x8000], BYTE(0xFF01 ^ 0x5A)) << "the device's answer went on to RAM at 8000";
    EXPECT_EQ(rig.xdata[0xFF01], 0) << "a mapped address is not RAM";
    EXPECT_EQ(Sfr(0xE0), BYTE(0xFF03 ^ 0x5A)) << "MOVX @R0 reaches the page in P2";

    rig.core.AttachWiring(nullptr);
    rig.core.SetPC(0);
    Steps(3);
    EXPECT_EQ(rig.xdata[0xFF01], 0x77) << "detached, the address is RAM again";
}

TEST_F(PinsTest, WiringSeesLatchChangesAndTicksOnMachineCycles)
{
    CRecordingWiring wiring;
    rig.core.AttachWiring(&wiring);
    // A device that drives P3.2 low at cycle 10 and asks again every 10 cycles.
    wiring.onTick = [&](std::uint64_t now) {
        rig.core.DrivePins(3, BYTE(~0x04));
        rig.core.RequestTick(now + 10);
    };
    rig.core.RequestTick(10);
    // MOV P1,#12H; then NOPs
    rig.Program({0x75, 0x90, 0x12});
    Steps(1 + 30);
    EXPECT_EQ(wiring.latches, (std::vector<std::pair<int, BYTE>>{{1, 0x12}}));
    EXPECT_EQ(wiring.ticks, (std::vector<std::uint64_t>{10, 20, 30}));
    EXPECT_EQ(rig.core.Pins(3), 0xFB);
    rig.core.Reset();
    EXPECT_EQ(wiring.latches.back(), (std::pair<int, BYTE>{1, 0xFF})) << "a reset raises the latch";
    EXPECT_EQ(rig.core.PinInput(3), 0xFB) << "the outside keeps its drive through a reset";
}

}
}

namespace zorkit::sim::test {
namespace {

struct CRecordingPeer : CSerialPeer {
    void Transmitted(BYTE data, bool ninth) override { frames.emplace_back(data, ninth); }
    std::vector<std::pair<BYTE, bool>> frames;
};

class SerialTest : public PinsTest {
protected:
    // Runs until `done`, at most `cycles` machine cycles; the cycle it held at.
    std::uint64_t RunUntil(const std::function<bool()>& done, std::uint64_t cycles)
    {
        std::uint64_t end = rig.core.Cycles() + cycles;
        while (!done() && rig.core.Cycles() < end)
            EXPECT_TRUE(rig.core.Step());
        return rig.core.Cycles();
    }
};

TEST_F(SerialTest, ModeOneFramesFollowTheBaudCounterNotTheWriteToSbuf)
{
    CRecordingPeer peer;
    rig.core.AttachSerialPeer(&peer);
    // MOV TMOD,#20H; MOV TH1,#0FDH; MOV TL1,#0FDH; SETB TR1; MOV SCON,#50H; MOV SBUF,#41H; SJMP $
    rig.Program({0x75, 0x89, 0x20, 0x75, 0x8D, 0xFD, 0x75, 0x8B, 0xFD, 0xD2, 0x8E, 0x75, 0x98, 0x50, 0x75, 0x99,
        0x41, 0x80, 0xFE});
    Steps(6);
    auto ti = [&] { return (Sfr(0x98) & 0x02) != 0; };
    std::uint64_t written = rig.core.Cycles();
    std::uint64_t first = RunUntil(ti, 5000);
    ASSERT_EQ(peer.frames, (std::vector<std::pair<BYTE, bool>>{{0x41, true}}));
    // Three cycles an overflow, 32 overflows a bit without SMOD: 96 cycles a bit. The
    // frame starts at the baud counter's next rollover, and TI rises as the stop bit
    // begins: after nine bits and up to one more (and the instruction it falls in).
    EXPECT_GT(first - written, 9 * 96u);
    EXPECT_LE(first - written, 10 * 96u + 3);

    // The next frame, written well into the stop bit, still starts as it ends:
    // its TI comes ten bits after the first.
    rig.core.WriteSfr(0x98, BYTE(Sfr(0x98) & ~0x02));
    RunUntil([] { return false; }, 50);
    rig.core.WriteSfr(0x99, 0x42);
    std::uint64_t second = RunUntil(ti, 5000);
    ASSERT_EQ(peer.frames.size(), 2u);
    EXPECT_NEAR(double(second - first), 10 * 96.0, 3.0);
}

TEST_F(SerialTest, ReceiverKeepsOneFrameInSbufAndLosesTheNextWhileRiIsSet)
{
    // MOV SCON,#52H (mode 1, REN, TI); timer 1 as above; SJMP $
    rig.Program({0x75, 0x89, 0x20, 0x75, 0x8D, 0xFF, 0x75, 0x8B, 0xFF, 0xD2, 0x8E, 0x75, 0x98, 0x50, 0x80, 0xFE});
    Steps(5);
    rig.core.ReceiveSerial('a');
    rig.core.ReceiveSerial('b');
    rig.core.ReceiveSerial('c');
    RunUntil([&] { return (Sfr(0x98) & 0x01) != 0; }, 2000);
    EXPECT_EQ(Sfr(0x99), 'a');
    EXPECT_EQ(rig.core.SerialBacklog(), 1u) << "'b' is being received";
    RunUntil([&] { return rig.core.SerialBacklog() == 0; }, 2000);
    // 'b' completed while RI was set and is lost; 'c' lands after RI is cleared.
    rig.core.WriteSfr(0x98, BYTE(Sfr(0x98) & ~0x01));
    RunUntil([&] { return (Sfr(0x98) & 0x01) != 0; }, 2000);
    EXPECT_EQ(Sfr(0x99), 'c');
}

TEST_F(SerialTest, Timer2ReloadsFromRcap2AndInterruptsOn002BOnlyOnAn8052)
{
    // MOV RCAP2H,#0FFH; MOV RCAP2L,#0F0H; MOV TH2,#0FFH; MOV TL2,#0FEH; MOV IE,#0A0H; SETB TR2; SJMP $
    rig.Program({0x75, 0xCB, 0xFF, 0x75, 0xCA, 0xF0, 0x75, 0xCD, 0xFF, 0x75, 0xCC, 0xFE, 0x75, 0xA8, 0xA0, 0xD2,
        0xCA, 0x80, 0xFE}, 0x40);
    rig.code[0x2B] = 0x32; // RETI
    Steps(6);
    RunUntil([&] { return rig.core.PC() == 0x2B; }, 100);
    ASSERT_EQ(rig.core.PC(), 0x2B);
    EXPECT_TRUE(Sfr(0xC8) & 0x80) << "TF2 stays for the program to clear";
    EXPECT_EQ(Sfr(0xCD), 0xFF);
    EXPECT_GE(Sfr(0xCC), 0xF0) << "reloaded from RCAP2";

    rig.core.Reset();
    rig.core.SetChip(C8051Core::Chip::I8051);
    rig.core.SetPC(0x40);
    Steps(6);
    EXPECT_EQ(Sfr(0xC8), 0) << "an 8051 has no T2CON";
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(rig.core.PC(), 0x51) << "no timer 2 interrupt";
}

}
}
