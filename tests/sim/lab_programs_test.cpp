// The sample lab programs, each in assembly and in C (built with sdcc for the
// board's program area at 0100), downloaded into zorsim and run free; what they do
// is checked as a student sees it: zorsim's show command and its events file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "sim/BoardProtocol.h"
#include "sim/Plants.h"
#include "tests/sim/HostLine.h"
#include "tests/sim/ZorsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"
#include "tools/common/CProgramBuild.h"
#include "tools/common/IntelHex.h"

namespace zorkit::sim::test {
namespace {

enum class Language { Assembly, C };

// One change of a device's state in the events file.
struct CEvent {
    std::uint64_t cycle;
    std::string state;
};

// zorsim with a program downloaded and running, watched as a student watches it.
class CBoardSession {
public:
    // Builds the C program `source` with sdcc (code from 0100) and runs it.
    void RunC(const std::filesystem::path& source, const std::vector<std::string>& arguments = {})
    {
        CProgramBuildResult built = BuildProgram(CProgramProject::OfSource(source), dir.Path() / "build");
        ASSERT_TRUE(built.ok) << built.output;
        Start(built.hex.GetRuns(), built.entry, arguments);
    }

    // Starts zorsim, downloads `runs` and runs them from `start` without breakpoints.
    // With --uart the host opens the serial port's terminal first, unless
    // `openUartFirst` is cleared.
    void Start(const std::vector<CIntelHex::Run>& runs, WORD start, std::vector<std::string> arguments)
    {
        bool withUart = std::find(arguments.begin(), arguments.end(), "--uart") != arguments.end();
        arguments.insert(arguments.end(), {"--events", events});
        zorsim = std::make_unique<CZorsimProcess>(arguments);
        ASSERT_TRUE(zorsim->Started());
        std::string path = zorsim->Path();
        host = std::make_unique<CHostLine>(path);
        ASSERT_TRUE(host->IsOpen());
        if (withUart) {
            ASSERT_TRUE(zorsim->WaitForOutFrom(path.size() + 1, "\n"));
            std::string second = zorsim->Out().substr(path.size() + 1);
            ASSERT_EQ(second.compare(0, 6, "uart: "), 0) << "the uart line follows the board's path: " << second;
            uartPath = second.substr(6, second.find('\n') - 6);
            if (openUartFirst)
                OpenUart();
        }
        for (const CIntelHex::Run& run : runs)
            for (std::size_t at = 0; at < run.bytes.size(); at += 200) {
                std::size_t n = std::min<std::size_t>(200, run.bytes.size() - at);
                WORD address = WORD(run.address + at);
                std::vector<BYTE> parameters{BYTE(address), BYTE(address >> 8), BYTE(n)};
                parameters.insert(parameters.end(), run.bytes.begin() + long(at), run.bytes.begin() + long(at + n));
                ASSERT_TRUE(host->Send(Frame(CMD_PROG_DLD, parameters)));
                ASSERT_EQ(host->Receive(1), std::vector<BYTE>{kAck});
            }
        ASSERT_TRUE(host->Send(Frame(CMD_PROG_EXEC, {BYTE(start), BYTE(start >> 8)})));
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

    // Asks `show` until its `device` line's state meets `wanted`; that line, or the
    // last one seen when `patience` runs out.
    std::string ShowUntil(const std::string& device, const std::function<bool(const std::string&)>& wanted,
                          std::chrono::milliseconds patience = kPatience)
    {
        std::string line;
        for (auto deadline = std::chrono::steady_clock::now() + patience; std::chrono::steady_clock::now() < deadline;) {
            std::string shown = Show();
            std::size_t at = shown.find("\n" + device + ": ");
            at = shown.compare(0, device.size() + 2, device + ": ") == 0 ? 0 : at + 1;
            line = shown.substr(at, shown.find('\n', at) - at);
            if (wanted(line.substr(std::min(line.size(), device.size() + 2))))
                break;
        }
        return line;
    }
    std::string ShowUntil(const std::string& device, const std::string& expected)
    {
        return ShowUntil(device, [&](const std::string& state) { return state == expected; });
    }

    // The events file's lines for `device`, in order.
    std::vector<CEvent> Events(const std::string& device)
    {
        std::ifstream file(events);
        std::vector<CEvent> found;
        std::string tag = "\"device\":\"" + device + "\",\"state\":\"";
        for (std::string line; std::getline(file, line);)
            if (std::size_t at = line.find(tag); at != std::string::npos) {
                std::string state;
                for (std::size_t i = at + tag.size(); i + 2 < line.size(); ++i)
                    state += line[i] == '\\' ? line[++i] : line[i];
                found.push_back({std::strtoull(line.c_str() + line.find(':') + 1, nullptr, 10), state});
            }
        return found;
    }
    std::vector<std::string> States(const std::string& device)
    {
        std::vector<std::string> states;
        for (const CEvent& event : Events(device))
            states.push_back(event.state);
        return states;
    }

    void OpenUart()
    {
        uart = std::make_unique<CHostLine>(uartPath);
        ASSERT_TRUE(uart->IsOpen()) << uartPath;
    }

    TempDir dir;
    std::string events = (dir.Path() / "events.jsonl").string();
    std::unique_ptr<CZorsimProcess> zorsim;
    std::unique_ptr<CHostLine> host;
    bool openUartFirst = true;
    std::string uartPath;
    std::unique_ptr<CHostLine> uart;
};

std::vector<BYTE> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

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


const std::string kLabs = ZORKIT_LAB_PROGRAMS;

class LabProgram : public ::testing::TestWithParam<Language>, protected CBoardSession {
protected:
    // Runs labs/NAME.ihx (assembled, from 0000) or labs/NAME.c.
    void Run(const std::string& name, const std::vector<std::string>& arguments = {})
    {
        if (GetParam() == Language::C)
            return RunC(kLabs + "/" + name + ".c", arguments);
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(kLabs + "/" + name + ".ihx")) << hex.GetError();
        Start(hex.GetRuns(), 0x0000, arguments);
    }
};

// The number a 7-segment state such as "\"    1500\"" shows, or -1.
long ShownNumber(const std::string& state)
{
    std::size_t first = state.find_first_not_of("\" ");
    if (first == std::string::npos || state.back() != '"')
        return -1;
    std::string digits = state.substr(first, state.size() - 1 - first);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atol(digits.c_str());
}

// The motor's speed in a state such as "1498 rpm, drive 50%".
long MotorRpm(const std::string& state) { return std::atol(state.c_str()); }

TEST_P(LabProgram, RunningLightsWalkFromLedZeroToSeven)
{
    Run("running_lights");
    ASSERT_EQ(ShowUntil("leds", ".......*"), "leds: .......*");
    std::vector<std::string> states = States("leds");
    std::vector<std::string> walk{"*.......", ".*......", "..*.....", "...*....", "....*...", ".....*..", "......*.",
        ".......*"};
    ASSERT_GE(states.size(), walk.size());
    EXPECT_EQ(std::vector<std::string>(states.begin(), states.begin() + 8), walk);
}

TEST_P(LabProgram, SerialEchoSendsBackWhatIsTyped)
{
    Run("serial_echo", {"--uart"});
    ASSERT_EQ(uart->Receive(12), Bytes("echo ready\r\n"));
    // Each line after the one before has come back, as a person types; control
    // characters and every bit pattern pass the raw line.
    for (const std::string& line : {std::string("hello, board\r\n"), std::string("x"),
             std::string("\x00\x01\x7F\x80\xFF\r\n\x11\x13", 9)}) {
        ASSERT_TRUE(uart->Send(Bytes(line)));
        EXPECT_EQ(uart->Receive(line.size()), Bytes(line));
    }
    EXPECT_EQ(ShowUntil("leds", "*......."), "leds: *.......") << "LED 0: listening";
}

TEST_P(LabProgram, SerialEchoTakesABurstWholeAtFullSpeed)
{
    // Typed at once, the bytes reach RXD one frame after another at the program's
    // rate; were they handed in faster, the receiver would overrun and lose some.
    Run("serial_echo", {"--uart", "--speed", "max"});
    ASSERT_EQ(uart->Receive(12), Bytes("echo ready\r\n"));
    std::vector<BYTE> burst;
    for (int i = 0; i < 600; ++i)
        burst.push_back(BYTE(i * 7));
    ASSERT_TRUE(uart->Send(burst));
    EXPECT_EQ(uart->Receive(burst.size()), burst);
}

TEST_P(LabProgram, SwitchesLightTheirLeds)
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

TEST_P(LabProgram, LcdGreetsOnBothLines)
{
    Run("lcd_greeting");
    EXPECT_EQ(ShowUntil("lcd", "\"Hello, lab!     \" \"8051 says hi    \""), "lcd: \"Hello, lab!     \" \"8051 says hi    \"");
}

TEST_P(LabProgram, ButtonPressesCountOnInt0)
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

TEST_P(LabProgram, AdcResultReachesTheDac)
{
    Run("adc_to_dac");
    ASSERT_TRUE(zorsim->Type("knob 0 A7\n"));
    EXPECT_EQ(ShowUntil("dac", "A7"), "dac: A7");
    ASSERT_TRUE(zorsim->Type("knob 0 300\n"));
    EXPECT_TRUE(zorsim->WaitForErr("zorsim: error: a knob is set from 0 to 255, not 768"));
    ASSERT_TRUE(zorsim->Type("knob 0 0x12\n"));
    EXPECT_EQ(ShowUntil("dac", "12"), "dac: 12");
}

TEST_P(LabProgram, StepperTurnsOnceRound)
{
    Run("stepper_turning", {"--speed", "max"});
    EXPECT_EQ(ShowUntil("stepper", "352.5 deg, phases D"), "stepper: 352.5 deg, phases D");
    std::vector<std::string> states = States("stepper");
    ASSERT_GE(states.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(states.begin(), states.begin() + 4),
        (std::vector<std::string>{"0.0 deg, phases A", "7.5 deg, phases B", "15.0 deg, phases C", "22.5 deg, phases D"}))
        << "full steps clockwise";
}

TEST_P(LabProgram, SevenSegmentCounterLooksSteady)
{
    Run("seg7_counter");
    EXPECT_EQ(ShowUntil("seg7", "\"      03\""), "seg7: \"      03\"");
}

TEST_P(LabProgram, KeysEnterTheDisplayFromTheRight)
{
    Run("keypad_to_display", {"--speed", "max"});
    ASSERT_EQ(ShowUntil("seg7", "\"--------\""), "seg7: \"--------\"") << "the program scans: keys count from now";
    // Each key is held until the display shows it, as a student watches it; a
    // held key enters once however long it is held.
    const char* keys[] = {"5", "A", "0", "F"};
    const char* shown[] = {"\"-------5\"", "\"------5A\"", "\"-----5A0\"", "\"----5A0F\""};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(zorsim->Type(std::string("key ") + keys[i] + " down\n"));
        ASSERT_EQ(ShowUntil("seg7", shown[i]), std::string("seg7: ") + shown[i]);
        ASSERT_TRUE(zorsim->Type(std::string("key ") + keys[i] + " up\n"));
        ASSERT_EQ(ShowUntil("keypad", "none"), "keypad: none");
    }
    ASSERT_TRUE(zorsim->Type("key G down\n"));
    EXPECT_TRUE(zorsim->WaitForErr("zorsim: error:"));
    EXPECT_EQ(ShowUntil("seg7", "\"----5A0F\""), "seg7: \"----5A0F\"");
}

TEST_P(LabProgram, TimerClockTicksOncePerSecondOfBoardTime)
{
    Run("timer_clock", {"--speed", "max"});
    // At full speed a second passes between two looks; the clock must get past 00-01-02.
    // A minute of board time: a sanitizer build on a busy machine needs far longer than
    // the usual patience for it.
    std::string shown =
        ShowUntil("seg7", [](const std::string& state) { return state >= "\"00-01-02\""; }, std::chrono::minutes(10));
    ASSERT_GE(shown, "seg7: \"00-01-02\"");
    // When each second first showed, in machine cycles (a microsecond each at 12 MHz).
    std::vector<std::uint64_t> shownAt;
    for (const CEvent& event : Events("seg7")) {
        if (shownAt.size() == 63)
            break;
        // "\"HH-MM-SS\"": the tens of minutes and of seconds never reach 6.
        ASSERT_EQ(event.state.size(), 10u) << event.state;
        EXPECT_TRUE(event.state[4] < '6' && event.state[7] < '6') << event.state;
        char expected[32];
        std::snprintf(expected, sizeof expected, "\"00-%02zu-%02zu\"", shownAt.size() / 60, shownAt.size() % 60);
        if (event.state == expected)
            shownAt.push_back(event.cycle);
    }
    ASSERT_EQ(shownAt.size(), 63u) << "00-00-00 to 00-01-02, each in turn";
    // A second shows within one scan of the display (under 5 ms) of its tick.
    for (std::size_t s = 2; s < shownAt.size(); ++s)
        EXPECT_NEAR(double(shownAt[s] - shownAt[s - 1]), 1e6, 5000) << "second " << s;
    EXPECT_NEAR(double(shownAt[62] - shownAt[1]), 61e6, 5000) << "the clock keeps board time over a minute";
}

TEST_P(LabProgram, MotorSpeedShownFromTheEncoder)
{
    Run("motor_speed", {"--speed", "max"});
    EXPECT_EQ(ShowUntil("seg7", "\"       0\""), "seg7: \"       0\"") << "standing";
    struct CSetting {
        const char* switches;
        long rpm;
    } settings[] = {{"switch 7 on\n", 1500}, {"switch 6 on\n", 2250}, {"switch 6 off\nswitch 7 off\n", 0}};
    for (const CSetting& setting : settings) {
        ASSERT_TRUE(zorsim->Type(setting.switches));
        auto near = [&](long rpm) { return std::labs(rpm - setting.rpm) <= 40; };
        std::string motor = ShowUntil("motor", [&](const std::string& state) { return near(MotorRpm(state)); });
        ASSERT_TRUE(near(MotorRpm(motor.substr(7)))) << motor;
        std::string shown = ShowUntil("seg7", [&](const std::string& state) { return near(ShownNumber(state)); });
        EXPECT_TRUE(near(ShownNumber(shown.substr(6)))) << shown << " for " << setting.rpm << " rpm";
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, LabProgram, ::testing::Values(Language::Assembly, Language::C),
    [](const ::testing::TestParamInfo<Language>& info) { return info.param == Language::C ? "C" : "Assembly"; });

}
}

namespace zorkit::sim::test {
namespace {

class HeaterOnTheBoard : public ::testing::Test, protected CBoardSession {};

// The temperature reading the default heater's sensor gives, from the value of the LEDs' state.
int LedValue(const std::string& state)
{
    int value = 0;
    for (std::size_t bit = 0; bit < state.size(); ++bit)
        value |= state[bit] == '*' ? 1 << bit : 0;
    return value;
}

TEST_F(HeaterOnTheBoard, SensorRisesOverBoardTimeOnceTheDacHeats)
{
    // Full power through the D/A; the sensor's A/D input, read again and again, on the LEDs (lit = 1).
    std::string source = dir.Write("heat.c",
        "#include <8051.h>\n"
        "__xdata __at(0xE002) volatile unsigned char ppi_c;\n"
        "__xdata __at(0xE003) volatile unsigned char ppi_control;\n"
        "__xdata __at(0xE507) volatile unsigned char sensor;\n"
        "__xdata __at(0xE600) volatile unsigned char power;\n"
        "void main(void)\n"
        "{\n"
        "    ppi_control = 0x98;\n"
        "    power = 0xFF;\n"
        "    for (;;) {\n"
        "        sensor = 0;\n"
        "        while (!(ppi_c & 0x80))\n"
        "            ;\n"
        "        P1 = ~sensor;\n"
        "    }\n"
        "}\n");
    RunC(source, {"--speed", "max"});
    // Five degrees warmer: two and a half seconds of board time.
    std::string leds = ShowUntil("leds", [](const std::string& state) { return LedValue(state) >= 64; });
    ASSERT_GE(LedValue(leds.substr(6)), 64) << leds;
    std::string heater = Show();
    heater = heater.substr(heater.find("heater: "));
    EXPECT_GE(std::atof(heater.substr(8).c_str()), 24.9) << heater;
    EXPECT_NE(heater.find("power 100%"), std::string::npos) << heater;

    std::vector<CEvent> readings = Events("leds");
    ASSERT_FALSE(readings.empty());
    EXPECT_EQ(LedValue(readings.front().state), 51) << "20 degrees before it heats";
    const std::uint64_t heated = readings.front().cycle;
    // The plant: nothing for its dead time, then a first-order rise to 70 degrees above ambient.
    const CHeaterParameters plant;
    // When the reading first reaches `reading` (it rounds 2.55 counts a degree).
    auto secondsTo = [&](int reading) {
        double degrees = (reading - 0.5) / 2.55;
        return plant.deadTime + plant.timeConstant * std::log(plant.fullRise / (plant.ambient + plant.fullRise - degrees));
    };
    std::uint64_t warmer = 0, warm = 0;
    for (std::size_t i = 1; i < readings.size(); ++i) {
        int now = LedValue(readings[i].state), before = LedValue(readings[i - 1].state);
        EXPECT_GE(now, before) << "at cycle " << readings[i].cycle;
        if (!warmer && now > 51)
            warmer = readings[i].cycle;
        if (!warm && now >= 64)
            warm = readings[i].cycle;
    }
    ASSERT_TRUE(warmer && warm);
    EXPECT_NEAR(double(warmer - heated) / 1e6, secondsTo(52), 0.25) << "the first rise, after the dead time";
    EXPECT_NEAR(double(warm - heated) / 1e6, secondsTo(64), 0.25) << "the rise's rate";
}

TEST_F(HeaterOnTheBoard, ItsSensorIsNoKnob)
{
    CIntelHex hex;
    ASSERT_TRUE(hex.LoadFile(kLabs + "/adc_to_dac.ihx")) << hex.GetError();
    Start(hex.GetRuns(), 0x0000, {});
    ASSERT_TRUE(zorsim->Type("knob 7 80\n"));
    EXPECT_TRUE(zorsim->WaitForErr("zorsim: error: A/D input 7 reads the heater's sensor, not a knob"));
    EXPECT_EQ(ShowUntil("adc", [](const std::string& state) { return state.substr(0, 23) == "00 00 00 00 00 00 00 33"; }).substr(0, 28),
        "adc: 00 00 00 00 00 00 00 33") << "input 7 is the sensor's 20 degrees";
}

// The assembly labs alone, where a test counts their machine cycles or their bytes.
class AssemblyLab : public ::testing::Test, protected CBoardSession {
protected:
    void Run(const std::string& name, const std::vector<std::string>& arguments = {})
    {
        CIntelHex hex;
        ASSERT_TRUE(hex.LoadFile(kLabs + "/" + name + ".ihx")) << hex.GetError();
        Start(hex.GetRuns(), 0x0000, arguments);
    }
};

TEST_F(AssemblyLab, SerialEchoSendsNothingToALineNobodyHasOpen)
{
    openUartFirst = false;
    Run("serial_echo", {"--uart"});
    ASSERT_EQ(ShowUntil("leds", "*......."), "leds: *.......") << "the greeting is out";
    OpenUart();
    ASSERT_TRUE(uart->Send(Bytes("z")));
    EXPECT_EQ(uart->Receive(1), Bytes("z")) << "what the program sent before the host came is lost";
}

TEST_F(AssemblyLab, RunningLightsRecordedAsAValueChangeDump)
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

}
}
