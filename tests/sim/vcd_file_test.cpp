// The board's signals written to a VCD file and read back by sigrok, sample by
// sample: the pins as they are reported, the counter/timer chip's outputs edge by
// edge in between.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "sim/devices/CoreDevices.h"
#include "sim/devices/DeviceBoard.h"
#include "sim/devices/VcdWriter.h"
#include "tests/sim/CoreRig.h"

namespace zorkit::sim::test {
namespace {

namespace fs = std::filesystem;

constexpr WORD kCtc = 0xE100;

// The cycles before `end` at which each named channel changes, as sigrok decodes the
// file (one sample a machine cycle); "samples" holds how many it read.
std::map<std::string, std::vector<std::uint64_t>> SigrokEdges(const fs::path& file, const std::string& channels,
    std::uint64_t end)
{
    std::string command = "sigrok-cli -I vcd -i '" + file.string() + "' -C " + channels + " -O csv 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::map<std::string, std::vector<std::uint64_t>> edges;
    if (!pipe)
        return edges;
    // The columns come in the file's order, which the header names.
    std::vector<std::string> names;
    std::string last;
    std::uint64_t sample = 0;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        std::string row(buffer);
        if (row.rfind("; Channels", 0) == 0) {
            std::stringstream list(row.substr(row.find(':') + 1));
            for (std::string name; list >> name;)
                names.push_back(name.substr(0, name.find(',')));
            continue;
        }
        if (row.empty() || row[0] == ';' || row.rfind("META", 0) == 0 || row.rfind("logic", 0) == 0)
            continue;
        std::string values;
        for (char c : row)
            if (c == '0' || c == '1')
                values += c;
        if (values.size() != names.size() || names.empty())
            continue;
        for (std::size_t i = 0; i < names.size() && sample > 0 && sample < end; ++i)
            if (values[i] != last[i])
                edges[names[i]].push_back(sample);
        last = values;
        ++sample;
    }
    edges["samples"].push_back(sample);
    return edges;
}

class VcdFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "zorkit-vcd-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(WORD address, BYTE value, std::uint64_t cycle) { ASSERT_TRUE(board.BusWrite(address, value, cycle)); }

    fs::path dir;
    CDeviceBoard board{DefaultBoardProfile()};
};

// What sigrok's UART decoder reads on the file's lines at `baud`, one "line: byte"
// a frame.
std::vector<std::string> SigrokUart(const fs::path& file, int baud)
{
    std::string command = "sigrok-cli -I vcd -i '" + file.string() + "' -P uart:rx=RXD:tx=TXD:baudrate="
        + std::to_string(baud) + " -A uart=rx-data:tx-data 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::string> frames;
    char buffer[256];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) {
        std::string row(buffer);
        frames.push_back(row.substr(0, row.find_last_not_of("\r\n") + 1));
    }
    return frames;
}

// The edges of a square wave of `period` cycles loaded at `loaded` (high for the
// longer half first), from `from` up to `to`.
void SquareWave(std::vector<std::uint64_t>& edges, std::uint64_t loaded, std::uint64_t period, std::uint64_t from,
    std::uint64_t to)
{
    for (std::uint64_t start = loaded; start < to; start += period)
        for (std::uint64_t edge : {start + (period + 1) / 2, start + period})
            if (edge > from && edge < to)
                edges.push_back(edge);
}

TEST_F(VcdFile, SigrokReadsTheCounterOutputsEdgeByEdgeBetweenThePins)
{
    fs::path file = dir / "run.vcd";
    {
        std::ofstream out(file);
        CVcdWriter vcd(out, board.Profile(), 0, board.Signals(), board.CounterTimer());
        board.SetSignalObserver([&vcd](std::uint64_t cycle, const CBoardSignals& signals) {
            vcd.Sample(cycle, signals);
        });
        Write(kCtc + 3, 0x36, 10); // counter 0: low then high byte, square wave
        Write(kCtc, 10, 12);
        Write(kCtc, 0, 14);
        Write(kCtc + 3, 0x74, 20); // counter 1: rate generator
        Write(kCtc + 1, 7, 22);
        Write(kCtc + 1, 0, 24);
        board.OnPortLatch(1, 0xFE, 301);
        Write(kCtc, 4, 500); // counter 0 again, faster
        Write(kCtc, 0, 502);
        board.OnPortLatch(1, 0xFF, 650);
        vcd.Finish(800);
        board.SetSignalObserver(nullptr);
    }
    auto edges = SigrokEdges(file, "OUT0,OUT1,P1.0", 800);
    ASSERT_FALSE(edges["samples"].empty());
    ASSERT_GE(edges["samples"][0], 800u) << "sigrok read the file to its end";

    std::vector<std::uint64_t> out0{10}; // a square wave's output is high from its mode on
    SquareWave(out0, 14, 10, 14, 502);
    out0.push_back(502); // low at the reload (488 cycles in), high again with it
    SquareWave(out0, 502, 4, 502, 800);
    EXPECT_EQ(edges["OUT0"], out0);

    std::vector<std::uint64_t> out1{20}; // low for the last count of each period of seven
    for (std::uint64_t start = 24; start < 800; start += 7)
        for (std::uint64_t edge : {start + 6, start + 7})
            if (edge < 800)
                out1.push_back(edge);
    EXPECT_EQ(edges["OUT1"], out1);
    EXPECT_EQ(edges["P1.0"], (std::vector<std::uint64_t>{301, 650}));
}

TEST_F(VcdFile, SigrokDecodesTheSerialLinesBitByBit)
{
    fs::path file = dir / "serial.vcd";
    CCoreRig rig;
    // Timer 1 at FE with SMOD: 32 cycles a bit, 31250 baud. MOV TMOD,#20H; MOV TH1,#0FEH;
    // MOV TL1,#0FEH; MOV PCON,#80H; SETB TR1; MOV SCON,#50H; MOV SBUF,#'H'; JNB TI,$;
    // CLR TI; MOV SBUF,#'i'; JNB TI,$; SJMP $
    rig.Program({0x75, 0x89, 0x20, 0x75, 0x8D, 0xFE, 0x75, 0x8B, 0xFE, 0x75, 0x87, 0x80, 0xD2, 0x8E, 0x75, 0x98,
        0x50, 0x75, 0x99, 0x48, 0x30, 0x99, 0xFD, 0xC2, 0x99, 0x75, 0x99, 0x69, 0x30, 0x99, 0xFD, 0x80, 0xFE});
    {
        std::ofstream out(file);
        CCoreDevices wired(rig.core, DefaultBoardProfile());
        std::optional<CVcdWriter> vcd;
        wired.Act([&](CDeviceBoard& devices) {
            vcd.emplace(out, devices.Profile(), devices.Cycle(), devices.Signals(), devices.CounterTimer());
            devices.SetSignalObserver([&vcd](std::uint64_t cycle, const CBoardSignals& signals) {
                vcd->Sample(cycle, signals);
            });
        });
        for (int i = 0; i < 6; ++i)
            ASSERT_TRUE(rig.core.Step());
        rig.core.ReceiveSerial('Z');
        // Both frames and the one received, with the last stop bit's time to spare.
        while (rig.core.PC() != 0x1F || rig.core.Cycles() < 800)
            ASSERT_TRUE(rig.core.Step());
        EXPECT_EQ(rig.core.ReadSfr(0x99), 'Z');
        wired.Act([&](CDeviceBoard& devices) {
            vcd->Finish(devices.Cycle());
            devices.SetSignalObserver(nullptr);
        });
    }
    std::vector<std::string> frames = SigrokUart(file, 31250);
    EXPECT_EQ(frames, (std::vector<std::string>{"uart-1: 5A", "uart-1: 48", "uart-1: 69"}));
}

}
}
