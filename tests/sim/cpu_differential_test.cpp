// The core against traces that s51 recorded for the programs in programs/ (see
// programs/regenerate.py): PC, cycles, the SFRs, internal RAM and the program's
// external range after every checkpoint, with the pins driven from outside where the
// trace says, and what the program sent on its serial port.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <vector>

#include "sim/cpu/InstructionText.h"
#include "tests/sim/CoreRig.h"

namespace zorkit::sim::test {
namespace {

// The order of the SFRs in a trace line; an 8052's go on with timer 2's.
constexpr std::array<BYTE, 20> kTracedSfrs = {0x80, 0x81, 0x82, 0x83, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C,
    0x8D, 0x90, 0x98, 0xA0, 0xA8, 0xB0, 0xB8, 0xD0, 0xE0, 0xF0};
constexpr std::array<BYTE, 6> kTimer2Sfrs = {0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD};

struct CCheckpoint {
    std::uint64_t instructions = 0;
    unsigned pc = 0;
    std::uint64_t cycles = 0;
    std::string sfrs;
    std::uint32_t iram = 0;
    std::uint32_t xram = 0;
};

// The outside holds `level` on a port's pins from `instructions` on.
struct CDrive {
    std::uint64_t instructions = 0;
    int port = 0;
    unsigned level = 0xFF;
};

struct CTrace {
    unsigned xramLow = 0;
    unsigned xramHigh = 0;
    C8051Core::Chip chip = C8051Core::Chip::I8051;
    std::vector<CCheckpoint> checkpoints;
    std::vector<CDrive> drives;
    // What s51's UART wrote, in hex ("-" for nothing); empty when not recorded.
    std::string serial;
    // SFRs that s51 does not model in the program, left out of the comparison.
    std::vector<BYTE> untraced;
};

std::string ProgramPath(const std::string& name, const char* extension)
{
    return std::string(ZORKIT_CPU_PROGRAMS) + "/" + name + extension;
}

CTrace LoadTrace(const std::string& name)
{
    CTrace trace;
    std::ifstream in(ProgramPath(name, ".trace"));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        if (line.empty() || line[0] == '#' || line.rfind("check-every", 0) == 0)
            continue;
        std::string word;
        if (line.rfind("xram", 0) == 0) {
            fields >> word >> std::hex >> trace.xramLow >> trace.xramHigh;
            continue;
        }
        if (line.rfind("chip 8052", 0) == 0) {
            trace.chip = C8051Core::Chip::I8052;
            continue;
        }
        if (line.rfind("drive", 0) == 0) {
            CDrive drive;
            fields >> word >> std::dec >> drive.instructions >> drive.port >> std::hex >> drive.level;
            trace.drives.push_back(drive);
            continue;
        }
        if (line.rfind("untraced", 0) == 0) {
            fields >> word;
            for (unsigned address; fields >> std::hex >> address;)
                trace.untraced.push_back(BYTE(address));
            continue;
        }
        if (line.rfind("serial", 0) == 0) {
            fields >> word >> trace.serial;
            continue;
        }
        CCheckpoint point;
        fields >> std::dec >> point.instructions >> std::hex >> point.pc >> std::dec >> point.cycles >> point.sfrs
            >> std::hex >> point.iram >> point.xram;
        trace.checkpoints.push_back(point);
    }
    return trace;
}

std::uint32_t Fnv(const BYTE* data, std::size_t n)
{
    std::uint32_t hash = 0x811C9DC5u;
    for (std::size_t i = 0; i < n; ++i)
        hash = (hash ^ data[i]) * 0x01000193u;
    return hash;
}

std::vector<BYTE> TracedSfrs(C8051Core::Chip chip)
{
    std::vector<BYTE> sfrs(kTracedSfrs.begin(), kTracedSfrs.end());
    if (chip == C8051Core::Chip::I8052)
        sfrs.insert(sfrs.end(), kTimer2Sfrs.begin(), kTimer2Sfrs.end());
    return sfrs;
}

std::string SfrText(const C8051Core& core, const std::vector<BYTE>& sfrs)
{
    std::ostringstream text;
    for (BYTE address : sfrs)
        text << std::hex << std::setw(2) << std::setfill('0') << int(core.ReadSfr(address));
    return text.str();
}

// The trace's SFR text with the untraced registers as "--".
std::string Masked(std::string text, const std::vector<BYTE>& sfrs, const std::vector<BYTE>& untraced)
{
    for (std::size_t i = 0; i < sfrs.size(); ++i)
        if (std::find(untraced.begin(), untraced.end(), sfrs[i]) != untraced.end())
            text.replace(2 * i, 2, "--");
    return text;
}

// Names the SFRs that differ, for the failure message.
std::string SfrDifferences(const std::vector<BYTE>& sfrs, const std::string& expected, const std::string& actual)
{
    std::ostringstream text;
    for (std::size_t i = 0; i < sfrs.size(); ++i)
        if (expected.compare(2 * i, 2, actual, 2 * i, 2) != 0)
            text << " SFR " << std::hex << int(sfrs[i]) << ": expected " << expected.substr(2 * i, 2)
                 << ", got " << actual.substr(2 * i, 2) << ";";
    return text.str();
}

// Collects what the program sends, in hex as the trace holds it.
class CSentBytes : public CSerialPeer {
public:
    void Transmitted(BYTE data, bool) override
    {
        m_hex << std::hex << std::setw(2) << std::setfill('0') << int(data);
    }
    std::string Hex() const { return m_hex.str().empty() ? "-" : m_hex.str(); }

private:
    std::ostringstream m_hex;
};

class CpuDifferentialTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CpuDifferentialTest, MatchesTheRecordedTrace)
{
    std::string name = GetParam();
    CTrace trace = LoadTrace(name);
    ASSERT_FALSE(trace.checkpoints.empty()) << "no trace for " << name << " (run programs/regenerate.py)";
    CCoreRig rig;
    std::string error;
    ASSERT_TRUE(rig.Load(ProgramPath(name, ".hex"), error)) << error;
    rig.core.SetChip(trace.chip);
    std::vector<BYTE> tracedSfrs = TracedSfrs(trace.chip);
    std::size_t iramSize = trace.chip == C8051Core::Chip::I8052 ? 0x100 : 0x80;
    CSentBytes sent;
    rig.core.AttachSerialPeer(&sent);

    std::uint64_t executed = 0;
    WORD last = 0;
    auto drive = trace.drives.begin();
    for (const CCheckpoint& point : trace.checkpoints) {
        while (executed < point.instructions) {
            last = rig.core.PC();
            ASSERT_TRUE(rig.core.Step()) << "undefined opcode at " << InstructionText(rig.code.data(), last);
            ++executed;
        }
        std::ostringstream where;
        where << name << " after " << executed << " instructions, the last "
              << InstructionText(rig.code.data(), last) << ":";
        // s51 charges one machine cycle for an interrupt call, the 8051 two.
        std::uint64_t expectedCycles = point.cycles + rig.core.InterruptCalls();
        std::string sfrs = Masked(SfrText(rig.core, tracedSfrs), tracedSfrs, trace.untraced);
        std::string expectedSfrs = Masked(point.sfrs, tracedSfrs, trace.untraced);
        std::uint32_t iram = Fnv(rig.idata.data(), iramSize);
        std::uint32_t xram = Fnv(rig.xdata.data() + trace.xramLow, trace.xramHigh - trace.xramLow + 1);
        ASSERT_EQ(rig.core.PC(), point.pc) << where.str();
        ASSERT_EQ(rig.core.Cycles(), expectedCycles) << where.str();
        ASSERT_EQ(sfrs, expectedSfrs) << where.str() << SfrDifferences(tracedSfrs, expectedSfrs, sfrs);
        ASSERT_EQ(iram, point.iram) << where.str() << " internal RAM differs";
        ASSERT_EQ(xram, point.xram) << where.str() << " external memory differs";
        for (; drive != trace.drives.end() && drive->instructions <= executed; ++drive)
            rig.core.DrivePins(drive->port, BYTE(drive->level));
    }
    if (!trace.serial.empty()) {
        EXPECT_EQ(sent.Hex(), trace.serial) << name << ": the bytes sent on TXD";
    }
}

constexpr const char* kPrograms[] = {"alu", "moves", "interrupts", "exhaustive", "opcodes", "timer2",
    "timer2_interrupts", "timer2_baud", "serial_modes", "serial_timer1"};

INSTANTIATE_TEST_SUITE_P(Programs, CpuDifferentialTest, ::testing::ValuesIn(kPrograms),
    [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(CpuDifferentialPrograms, TogetherExecuteEveryDefinedOpcode)
{
    std::bitset<256> executed;
    for (const char* name : kPrograms) {
        CTrace trace = LoadTrace(name);
        ASSERT_FALSE(trace.checkpoints.empty()) << name;
        CCoreRig rig;
        std::string error;
        ASSERT_TRUE(rig.Load(ProgramPath(name, ".hex"), error)) << error;
        rig.core.SetTraceObserver([&](WORD pc) { executed.set(rig.code[pc]); });
        while (rig.core.Instructions() < trace.checkpoints.back().instructions)
            ASSERT_TRUE(rig.core.Step());
    }
    std::ostringstream missing;
    for (int opcode = 0; opcode < 256; ++opcode)
        if (!executed.test(opcode) && opcode != 0xA5)
            missing << ' ' << std::hex << std::setw(2) << std::setfill('0') << opcode;
    EXPECT_EQ(missing.str(), "") << "opcodes no program executes";
}

}
}
