#include "tools/zorlink/ControlCommand.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <thread>

#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/process/SignalWaiter.h"
#include "tools/common/ControlSample.h"
#include "tools/common/ExperimentPicture.h"
#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"
#include "tools/common/OutputPath.h"

namespace zorlink {

namespace {

constexpr DWORD kEndGraceMs = 5000;
constexpr int kDefaultFirstSampleTimeout = 10;

struct ControlOptions {
    CTRLTYPE type = CTRL_TEMP;
    std::optional<int> target;
    std::optional<float> kp, ki, kd;
    int samples = 100;
    int period = 100;
    int timeout = kDefaultFirstSampleTimeout;
    bool clockwise = true;
    std::string csv;
    std::string png;
};

// Gains that settle the board's plants; a real box may want others.
struct DefaultGains {
    int target;
    float kp, ki, kd;
};
constexpr DefaultGains kTempDefaults{50, 10.0f, 0.0f, 20.0f};
constexpr DefaultGains kSpeedDefaults{250, 1.0f, 0.2f, 0.0f};

using Why = std::optional<std::string>;

// The experiment's options in one table for their parse and their help; `type` is
// known before, as it sets the target's range.
void AddOptions(tools::COptionTable& table, ControlOptions& o)
{
    table.Value("--target", "N", "set point, a whole number: 0-100 for temp (default 50),\n0-500 for speed (default 250)",
        [&](const std::string& value) -> Why {
            std::optional<std::uint32_t> n = tools::ParseDecimal(value, o.type == CTRL_TEMP ? 100 : 500);
            if (!n && tools::ParseFinite(value))
                return "the target is a whole number, not " + value;
            if (!n)
                return "--target is 0-100 for temp, 0-500 for speed";
            o.target = int(*n);
            return std::nullopt;
        });
    auto gain = [&](std::string name, std::optional<float>& into) {
        return [name, &into](const std::string& value) -> Why {
            std::optional<double> f = tools::ParseFinite(value);
            // The laws compute in float: a larger gain would turn infinite there.
            if (!f || std::abs(*f) > std::numeric_limits<float>::max())
                return name + " needs a finite number, not " + value;
            into = float(*f);
            return std::nullopt;
        };
    };
    table.Value("--kp", "F", "proportional gain, a finite decimal number (temp 10,\nspeed 1)", gain("--kp", o.kp));
    table.Value("--ki", "F", "integral gain (temp 0, speed 0.2)", gain("--ki", o.ki));
    table.Value("--kd", "F", "derivative gain (temp 20, speed 0)", gain("--kd", o.kd));
    auto whole = [](std::string range, std::uint32_t low, std::uint32_t high, int& into) {
        return [range, low, high, &into](const std::string& value) -> Why {
            std::optional<std::uint32_t> n = tools::ParseDecimal(value, high);
            if (!n || *n < low)
                return range;
            into = int(*n);
            return std::nullopt;
        };
    };
    table.Value("--samples", "N", "samples to take (default 100)", whole("--samples is 0-1000000", 0, 1000000, o.samples));
    table.Value("--period", "MS", "pause of the loop after each sample (default 100)",
        whole("--period is 0-60000 ms", 0, 60000, o.period));
    table.Value("--timeout", "S", "temp and speed: give up when the board's first sample\ndoes not come within S seconds (default 10)",
        whole("--timeout is 1-86400 s", 1, 86400, o.timeout));
    table.Value("--direction", "cw|ccw", "the stepper's direction (default cw)", [&](const std::string& value) -> Why {
        if (value != "cw" && value != "ccw")
            return "--direction is cw or ccw";
        o.clockwise = value == "cw";
        return std::nullopt;
    });
    table.Value("--csv", "FILE", "write index,time_ms,shown,raw,output per sample", o.csv);
    table.Value("--png", "FILE", "write the picture of a temp or speed run: the set point\nas a red line, the measured curve and the output byte\n(580 x 340)",
        [&](const std::string& path) -> Why {
            if (o.type == CTRL_SMOTOR)
                return "--png draws temp and speed runs; a stepper run has no curve";
            o.png = path;
            return std::nullopt;
        });
    table.Footer(
        "All numbers are decimal. The output files are checked before the experiment starts.\n"
        "Each sample prints its index, measured value and output byte. Ctrl+C stops the\n"
        "experiment; the CSV and the picture then hold the samples taken so far.\n");
}

// Turns Ctrl+C into a flag while the experiment runs.
class CInterruptWatch {
public:
    CInterruptWatch() : m_signals{SIGINT, SIGTERM}, m_thread([this] {
        m_signals.Wait();
        m_interrupts.fetch_add(1);
    }) {}
    ~CInterruptWatch()
    {
        // Releases the waiting thread when no signal came.
        if (m_interrupts.load() == 0)
            zorkit::CSignalWaiter::Raise(SIGINT);
        m_thread.join();
    }
    bool Interrupted() const { return m_interrupts.load() > 0; }

private:
    zorkit::CSignalWaiter m_signals;
    std::atomic<int> m_interrupts{0};
    std::thread m_thread;
};

}

CommandResult RunControl(CLinkSession& session, const Arguments& args)
{
    ControlOptions o;
    if (!args.empty() && args[0] == "temp")
        o.type = CTRL_TEMP;
    else if (!args.empty() && args[0] == "speed")
        o.type = CTRL_VILO;
    else if (!args.empty() && args[0] == "stepper")
        o.type = CTRL_SMOTOR;
    tools::COptionTable table("zorlink", "Usage: zorlink [options] control temp|speed|stepper [OPTIONS]",
        "Runs a closed-loop experiment on the board: temp (heater), speed (DC motor) or stepper.");
    AddOptions(table, o);
    tools::CCommandLine line = table.Parse(args.empty() ? args : Arguments(args.begin() + 1, args.end()));
    if (line.outcome == tools::CCommandLine::Outcome::Help || (!args.empty() && args[0] == "--help")) {
        std::fputs(table.Help().c_str(), stdout);
        return CommandResult::Success();
    }
    if (args.empty())
        return CommandResult::Usage("control temp|speed|stepper [options]");
    if (args[0] != "temp" && args[0] != "speed" && args[0] != "stepper")
        return CommandResult::Usage("unknown experiment '" + args[0] + "' (temp, speed or stepper)");
    if (line.outcome == tools::CCommandLine::Outcome::UsageError)
        return CommandResult::Usage(line.error);
    if (!line.words.empty())
        return CommandResult::Usage("unexpected word '" + line.words.front() + "'");
    for (const std::string& output : {o.csv, o.png})
        if (!output.empty())
            if (auto why = tools::CheckOutputPath(output))
                return CommandResult::Failure(*why);
    std::ofstream csv;
    if (!o.csv.empty()) {
        csv.open(o.csv);
        if (!csv)
            return CommandResult::Failure("cannot write " + o.csv);
        csv << tools::kSampleCsvHeading;
    }
    // Before any worker starts, so that only the watch takes the signals.
    CInterruptWatch interrupts;
    CZORComm* link = session.Link();
    if (!link)
        return CommandResult::Failure(session.Error());

    const DefaultGains& defaults = o.type == CTRL_VILO ? kSpeedDefaults : kTempDefaults;
    int target = o.target.value_or(defaults.target);
    link->SetTargetTemp(target);
    link->SetTargetVilo(target);
    link->SetKpKiKd(o.kp.value_or(defaults.kp), o.ki.value_or(defaults.ki), o.kd.value_or(defaults.kd));
    link->SetSampleNums(o.samples);
    link->SetPeriod(o.period);
    link->SetSMotorDirection(o.clockwise ? 1 : 0);

    std::optional<CExperimentPicture> picture;
    if (!o.png.empty())
        picture.emplace(o.type == CTRL_VILO ? ExperimentQuantity::Speed : ExperimentQuantity::Temperature, target,
                        o.samples);
    int index = 0;
    const DWORD start = GetTickCount();
    zorkit::CHostWindow sink([&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_CTRL_SAMPLE)
            return LRESULT(0);
        const tools::CControlSample sample = tools::DecodeControlSample(wParam, lParam);
        int output = link->GetCtrlOutput();
        std::printf("%6d  %8.2f  %3d\n", index, sample.shown, output);
        std::fflush(stdout);
        if (csv.is_open())
            csv << tools::SampleCsvLine(index, unsigned(GetTickCount() - start), sample, output);
        if (picture)
            picture->Add(sample.shown, output);
        ++index;
        return LRESULT(0);
    });
    link->SetAckWnd(sink.GetSafeHwnd());
    link->SetControl(o.type, nullptr);

    // A stepper run sends no samples; only temp and speed runs can be watched for the first.
    const bool sampled = o.type != CTRL_SMOTOR;
    if (sampled) {
        std::fprintf(stderr, "zorlink: waiting for the board's first sample on %s...\n", session.DevicePath().c_str());
        zorkit::PumpMessagesUntil([&] { return index > 0 || interrupts.Interrupted() || !link->IsCtrlThreadRunning(); },
                                  DWORD(o.timeout) * 1000);
    }
    if (sampled && index == 0 && link->IsCtrlThreadRunning()) {
        // A board that never answered holds the loop in its wait: closing the link ends it at once.
        session.Close();
        if (interrupts.Interrupted())
            return CommandResult::Failure("stopped before the board sent a sample");
        return CommandResult::Failure("no sample from the board within " + std::to_string(o.timeout) +
                                      " s; is it running its control program (zorsim --plant heater|motor|stepper)?");
    }
    bool stopped = false;
    zorkit::PumpMessagesUntil([&] {
        if (interrupts.Interrupted() && !stopped) {
            stopped = true;
            link->SetCtrlExit(0);
        }
        return stopped || !link->IsCtrlThreadRunning();
    }, UINT_MAX);
    // After Ctrl+C the pass under way and its pause finish; a silent board may hold it.
    bool ended = zorkit::PumpMessagesUntil([&] { return !link->IsCtrlThreadRunning(); }, DWORD(o.period) + kEndGraceMs);
    link->SetAckWnd(session.SinkWindow());
    if (o.type == CTRL_SMOTOR)
        std::printf("stepper run %s ended\n", o.clockwise ? "cw" : "ccw");
    if (!ended)
        return CommandResult::Failure("the board sent nothing more; the experiment was abandoned");
    // A loop whose device went away ends before its count.
    if (session.AdapterGone())
        return CommandResult::Failure(session.FailureReason());
    if (csv.is_open() && !csv.flush())
        return CommandResult::Failure("cannot write " + o.csv);
    if (picture && !picture->WritePng(o.png.c_str()))
        return CommandResult::Failure("cannot write " + o.png);
    if (stopped)
        std::fprintf(stderr, "zorlink: experiment stopped after %d samples\n", index);
    return CommandResult::Success();
}

}
