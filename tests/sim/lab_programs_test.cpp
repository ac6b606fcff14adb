// The sample lab programs, each downloaded into zorsim and run free; what they do
// is checked as a student sees it: zorsim's show command and its events file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "sim/BoardProtocol.h"
#include "tests/sim/HostLine.h"
#include "tests/sim/ZorsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"
#include "tools/common/IntelHex.h"

namespace zorkit::sim::test {
namespace {

// A value change dump read back: each wire's changes as (time, level), the first
// being its value at the start.
struct CDump {
    std::string timescale;
    std::map<std::string, std::vector<std::pair<std::uint64_t, char>>> wires;
    std::string error;

    explicit CDump(const std::string& path)
    {
        std::ifstream in(path);
        std::map<std::string, std::string> names;
        std::uint64_t time = 0;
        bool previousTime = false;
        for (std::string word; in >> word;) {
            if (word == "$timescale") {
                for (std::string part; in >> part && part != "$end";)
                    timescale += (timescale.empty() ? "" : " ") + part;
            } else if (word == "$var") {
                std::string type, size, code, name, end;
                in >> type >> size >> code >> name >> end;
                if (type != "wire" || size != "1" || end != "$end")
                    error += "odd $var " + name + "; ";
                names[code] = name;
            } else if (word[0] == '#') {
                std::uint64_t next = std::stoull(word.substr(1));
                if (previousTime && next <= time)
                    error += "time goes back at " + word + "; ";
                time = next;
                previousTime = true;
            } else if ((word[0] == '0' || word[0] == '1') && names.count(word.substr(1))) {
                auto& changes = wires[names[word.substr(1)]];
                if (!changes.empty() && changes.back().second == word[0])
                    error += "no change of " + names[word.substr(1)] + " at " + std::to_string(time) + "; ";
                changes.emplace_back(time, word[0]);
            }
        }
    }

    // When `wire` went to `level`, in order.
    std::vector<std::uint64_t> Times(const std::string& wire, char level) const
    {
        std::vector<std::uint64_t> times;
        if (auto found = wires.find(wire); found != wires.end())
            for (std::size_t i = 1; i < found->second.size(); ++i)
                if (found->second[i].second == level)
                    times.push_back(found->second[i].first);
        return times;
    }
};

class LabProgram : public ::testing::Test {
protected:
    // Starts zorsim, downloads labs/NAME.ihx and runs it from 0000 without breakpoints.
    void Run(const std::string& name, std::vector<std::string> arguments = {})
    {
        arguments.insert(arguments.end(), {"--events", events});
        zorsim = std::make_unique<CZorsimProcess>(arguments);
        ASSERT_TRUE(zorsim->Started());
        host = std::make_unique<CHostLine>(zorsim->Path());
        ASSERT_TRUE(host->IsOpen());
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(std::string(ZORKIT_LAB_PROGRAMS) + "/" + name + ".ihx")) << hex.GetError();
        for (const CIntelHex::Run& run : hex.GetRuns())
            for (std::size_t at = 0; at < run.bytes.size(); at += 200) {
                std::size_t n = std::min<std::size_t>(200, run.bytes.size() - at);
                WORD address = WORD(run.address + at);
                std::vector<BYTE> parameters{BYTE(address), BYTE(address >> 8), BYTE(n)};
                parameters.insert(parameters.end(), run.bytes.begin() + long(at), run.bytes.begin() + long(at + n));
                ASSERT_TRUE(host->Send(Frame(CMD_PROG_DLD, parameters)));
                ASSERT_EQ(host->Receive(1), std::vector<BYTE>{kAck});
            }
        ASSERT_TRUE(host->Send(Frame(CMD_PROG_EXEC, {0x00, 0x00})));
        ASSERT_EQ(host->Receive(1), std::vector<BYTE>{kAck});
    }

    // What `show` prints now.
    std::string Show()
    {
        std::size_t from = zorsim->Out().size();
        EXPECT_TRUE(zorsim->Type("show\n"));
        EXPECT_TRUE(zorsim->WaitForOutFrom(from, "\n\n"));
        std::string out = zorsim->Out().substr(from);
        return out.substr(0, out.find("\n\n") + 1);
    }

    // Asks `show` until its `device` line reads `expected`; the last line seen otherwise.
    std::string ShowUntil(const std::string& device, const std::string& expected)
    {
        std::string line;
        for (auto deadline = std::chrono::steady_clock::now() + kPatience; std::chrono::steady_clock::now() < deadline;) {
            std::string shown = Show();
            std::size_t at = shown.find("\n" + device + ": ");
            at = shown.compare(0, device.size() + 2, device + ": ") == 0 ? 0 : at + 1;
            line = shown.substr(at, shown.find('\n', at) - at);
            if (line == device + ": " + expected)
                break;
        }
        return line;
    }

    // The events file's lines for `device`, as their state texts.
    std::vector<std::string> States(const std::string& device)
    {
        std::ifstream file(events);
        std::vector<std::string> states;
        std::string tag = "\"device\":\"" + device + "\",\"state\":\"";
        for (std::string line; std::getline(file, line);)
            if (std::size_t at = line.find(tag); at != std::string::npos)
                states.push_back(line.substr(at + tag.size(), line.size() - 2 - at - tag.size()));
        return states;
    }

    TempDir dir;
    std::string events = (dir.Path() / "events.jsonl").string();
    std::unique_ptr<CZorsimProcess> zorsim;
    std::unique_ptr<CHostLine> host;
};

TEST_F(LabProgram, RunningLightsWalkFromLedZeroToSeven)
{
    Run("running_lights");
    ASSERT_EQ(ShowUntil("leds", ".......*"), "leds: .......*");
    std::vector<std::string> states = States("leds");
    std::vector<std::string> walk{"*.......", ".*......", "..*.....", "...*....", "....*...", ".....*..", "......*.",
        ".......*"};
    ASSERT_GE(states.size(), walk.size());
    EXPECT_EQ(std::vector<std::string>(states.begin(), states.begin() + 8), walk);
}

TEST_F(LabProgram, RunningLightsRecordedAsAValueChangeDump)
{
    std::string vcd = (dir.Path() / "lights.vcd").string();
    Run("running_lights", {"--vcd", vcd});
    // Into the second round, so that LED 0 has lit twice.
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(ShowUntil("leds", ".......*"), "leds: .......*");
        ASSERT_EQ(ShowUntil("leds", "*......."), "leds: *.......");
    }
    ASSERT_TRUE(zorsim->Type("switch 2 on\n"));
    ASSERT_EQ(ShowUntil("switches", "00100000"), "switches: 00100000");
    ASSERT_TRUE(zorsim->Type("quit\n"));
    ASSERT_EQ(zorsim->ExitStatus(), 0);

    CDump dump(vcd);
    EXPECT_EQ(dump.error, "");
    EXPECT_EQ(dump.timescale, "1 us") << "a machine cycle at 12 MHz";
    EXPECT_EQ(dump.wires.count("P0.0") + dump.wires.count("P3.7") + dump.wires.count("PC7") + dump.wires.count("DAC7"),
        4u);
    // Each step of the walk lasts the program's delay loop to the machine cycle:
    // 1 + 1 + 200 * (1 + 250 * 2 + 2) + 1 + 2 cycles.
    constexpr std::uint64_t kStep = 100605;
    std::vector<std::uint64_t> lit;
    for (int led = 0; led < 8; ++led) {
        std::vector<std::uint64_t> falls = dump.Times("P1." + std::to_string(led), '0');
        std::vector<std::uint64_t> rises = dump.Times("P1." + std::to_string(led), '1');
        ASSERT_GE(falls.size(), 1u) << led;
        ASSERT_GE(rises.size(), 1u) << led;
        EXPECT_EQ(rises[0] - falls[0], kStep) << "LED " << led << " lit for one step";
        lit.push_back(falls[0]);
    }
    for (int led = 1; led < 8; ++led)
        EXPECT_EQ(lit[led] - lit[led - 1], kStep) << led;
    ASSERT_GE(dump.Times("P1.0", '0').size(), 2u);
    EXPECT_EQ(dump.Times("P1.0", '0')[1] - lit[0], 8 * kStep) << "the second round";
    EXPECT_EQ(dump.Times("PA2", '1').size(), 1u) << "the switch on the parallel chip";
    EXPECT_TRUE(dump.Times("PA3", '1').empty());

    if (!std::filesystem::exists("/usr/bin/sigrok-cli"))
        GTEST_SKIP() << "sigrok-cli (Debian sigrok-cli) is not installed";
    std::string out = (dir.Path() / "sigrok.out").string(), err = (dir.Path() / "sigrok.err").string();
    ASSERT_EQ(RunProcess({"/usr/bin/sigrok-cli", "-I", "vcd", "-i", vcd, "-O", "vcd"}, out, err), 0);
    std::ifstream read(out);
    std::string text((std::istreambuf_iterator<char>(read)), {});
    EXPECT_NE(text.find(" P1.7 $end"), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("#" + std::to_string(lit[7]) + " "), std::string::npos) << "sigrok sees LED 7 light";
}

TEST_F(LabProgram, SwitchesLightTheirLeds)
{
    Run("switches_to_leds");
    EXPECT_EQ(ShowUntil("leds", "........"), "leds: ........");
    ASSERT_TRUE(zorsim->Type("switch 2 on\n"));
    EXPECT_EQ(ShowUntil("leds", "..*....."), "leds: ..*.....");
    ASSERT_TRUE(zorsim->Type("switch 7 on\n"));
    EXPECT_EQ(ShowUntil("leds", "..*....*"), "leds: ..*....*");
    EXPECT_EQ(ShowUntil("switches", "00100001"), "switches: 00100001");
    ASSERT_TRUE(zorsim->Type("switch 9 on\n"));
    EXPECT_TRUE(zorsim->WaitForErr("zorsim: error: switch 9 does not exist (0-7)"));
    EXPECT_EQ(ShowUntil("switches", "00100001"), "switches: 00100001") << "a refused switch changes nothing";
}

TEST_F(LabProgram, LcdGreetsOnBothLines)
{
    Run("lcd_greeting");
    EXPECT_EQ(ShowUntil("lcd", "\"Hello, lab!     \" \"8051 says hi    \""), "lcd: \"Hello, lab!     \" \"8051 says hi    \"");
}

TEST_F(LabProgram, ButtonPressesCountOnInt0)
{
    Run("button_counter");
    // A press before the program has armed INT0 is not counted, as on a real box.
    ASSERT_EQ(ShowUntil("leds", ".......*"), "leds: .......*") << "LED 7 says INT0 is armed";
    // As a student does: press, see the count, press again.
    const char* counts[] = {"*......*", ".*.....*", "**.....*"};
    for (const char* count : counts) {
        ASSERT_TRUE(zorsim->Type("button 0 down\n"));
        ASSERT_EQ(ShowUntil("buttons", "down up"), "buttons: down up");
        ASSERT_TRUE(zorsim->Type("button 0 up\n"));
        ASSERT_EQ(ShowUntil("buttons", "up up"), "buttons: up up");
        ASSERT_EQ(ShowUntil("leds", count), std::string("leds: ") + count) << "the count in binary on LEDs 0-6";
    }
}

TEST_F(LabProgram, AdcResultReachesTheDac)
{
    Run("adc_to_dac");
    ASSERT_TRUE(zorsim->Type("knob 0 A7\n"));
    EXPECT_EQ(ShowUntil("dac", "A7"), "dac: A7");
    ASSERT_TRUE(zorsim->Type("knob 0 300\n"));
    EXPECT_TRUE(zorsim->WaitForErr("zorsim: error: a knob is set from 0 to 255, not 768"));
    ASSERT_TRUE(zorsim->Type("knob 0 0x12\n"));
    EXPECT_EQ(ShowUntil("dac", "12"), "dac: 12");
}

TEST_F(LabProgram, StepperTurnsOnceRound)
{
    Run("stepper_turning", {"--speed", "max"});
    EXPECT_EQ(ShowUntil("stepper", "352.5 deg, phases D"), "stepper: 352.5 deg, phases D");
}

TEST_F(LabProgram, SevenSegmentCounterLooksSteady)
{
    Run("seg7_counter");
    EXPECT_EQ(ShowUntil("seg7", "\"      03\""), "seg7: \"      03\"");
}

}
}
