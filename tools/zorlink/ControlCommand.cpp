#include "tools/zorlink/ControlCommand.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <thread>

#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/process/SignalWaiter.h"
#include "tools/common/ExperimentPicture.h"
#include "tools/common/Numbers.h"
#include "tools/common/OutputPath.h"

namespace {

constexpr DWORD kEndGraceMs = 5000;
constexpr int kDefaultFirstSampleTimeout = 10;

constexpr const char* kHelp =
    "Usage: zorlink [options] control temp|speed|stepper [OPTIONS]\n\n"
    "Runs a closed-loop experiment on the board: temp (heater), speed (DC motor) or stepper.\n"
    "\n"
    "Options:\n"
    "  --target N          set point, a whole number: 0-100 for temp (default 50),\n"
    "                      0-500 for speed (default 250)\n"
    "  --kp F --ki F --kd F  gains, finite decimal numbers (temp: 10 0 20, speed: 1 0.2 0)\n"
    "  --samples N         samples to take (default 100)\n"
    "  --period MS         pause of the loop after each sample (default 100)\n"
    "  --timeout S         temp and speed: give up when the board's first sample does\n"
    "                      not come within S seconds (default 10)\n"
    "  --direction cw|ccw  the stepper's direction (default cw)\n"
    "  --csv FILE          write index,time_ms,shown,raw,output per sample\n"
    "  --png FILE          write the picture of a temp or speed run: the set point as a red\n"
    "                      line, the measured curve and the output byte (580 x 340)\n"
    "\n"
    "All numbers are decimal. The output files are checked before the experiment starts.\n"
    "Each sample prints its index, measured value and output byte. Ctrl+C stops the\n"
    "experiment; the CSV and the picture then hold the samples taken so far.\n";

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

// Parses the arguments; the error in words when they are wrong.
std::optional<std::string> Parse(const Arguments& args, ControlOptions& o)
{
    if (args.empty())
        return "control temp|speed|stepper [options]";
    if (args[0] == "temp")
        o.type = CTRL_TEMP;
    else if (args[0] == "speed")
        o.type = CTRL_VILO;
    else if (args[0] == "stepper")
        o.type = CTRL_SMOTOR;
    else
        return "unknown experiment '" + args[0] + "' (temp, speed or stepper)";
    for (std::size_t i = 1; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (i + 1 >= args.size())
            return name + " needs a value";
        const std::string& value = args[i + 1];
        auto number = [&](std::uint32_t max) { return tools::ParseDecimal(value, max); };
        if (name == "--target") {
            auto n = number(o.type == CTRL_TEMP ? 100 : 500);
            if (!n && tools::ParseFinite(value))
                return "the target is a whole number, not " + value;
            if (!n)
                return "--target is 0-100 for temp, 0-500 for speed";
            o.target = int(*n);
        } else if (name == "--kp" || name == "--ki" || name == "--kd") {
            auto f = tools::ParseFinite(value);
            // The laws compute in float: a larger gain would turn infinite there.
            if (!f || std::abs(*f) > std::numeric_limits<float>::max())
                return name + " needs a finite number, not " + value;
            (name == "--kp" ? o.kp : name == "--ki" ? o.ki : o.kd) = float(*f);
        } else if (name == "--samples") {
            auto n = number(1000000);
            if (!n)
                return "--samples is 0-1000000";
            o.samples = int(*n);
        } else if (name == "--period") {
            auto n = number(60000);
            if (!n)
                return "--period is 0-60000 ms";
            o.period = int(*n);
        } else if (name == "--timeout") {
            auto n = number(86400);
            if (!n || *n == 0)
                return "--timeout is 1-86400 s";
            o.timeout = int(*n);
        } else if (name == "--direction") {
            if (value != "cw" && value != "ccw")
                return "--direction is cw or ccw";
            o.clockwise = value == "cw";
        } else if (name == "--csv") {
            o.csv = value;
        } else if (name == "--png") {
            if (o.type == CTRL_SMOTOR)
                return "--png draws temp and speed runs; a stepper run has no curve";
            o.png = value;
        } else {
            return "unknown option " + name;
        }
    }
    return std::nullopt;
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
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::fputs(kHelp, stdout);
        return CommandResult::Success();
    }
    ControlOptions o;
    if (auto error = Parse(args, o))
        return CommandResult::Usage(*error);
    for (const std::string& output : {o.csv, o.png})
        if (!output.empty())
            if (auto why = tools::CheckOutputPath(output))
                return CommandResult::Failure(*why);
    std::ofstream csv;
    if (!o.csv.empty()) {
        csv.open(o.csv);
        if (!csv)
            return CommandResult::Failure("cannot write " + o.csv);
        csv << "index,time_ms,shown,raw,output\n";
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
        float shown = *reinterpret_cast<const float*>(wParam);
        // A temperature sample carries no raw byte: it is the ADC byte the value came from.
        int raw = lParam ? *reinterpret_cast<const WORD*>(lParam) : int((100.0 - shown) * 128.0 / 50.0 + 0.5);
        int output = link->GetCtrlOutput();
        std::printf("%6d  %8.2f  %3d\n", index, shown, output);
        std::fflush(stdout);
        if (csv.is_open())
            csv << index << ',' << (GetTickCount() - start) << ',' << shown << ',' << raw << ',' << output << '\n';
        if (picture)
            picture->Add(shown, output);
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
