#include "tools/zorlink/ControlCommand.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/core/HostWindow.h"
#include "platform/core/Messaging.h"
#include "platform/core/Time.h"
#include "platform/process/SignalWaiter.h"
#include "tools/zorlink/Numbers.h"

namespace {

constexpr DWORD kEndGraceMs = 5000;

struct ControlOptions {
    CTRLTYPE type = CTRL_TEMP;
    std::optional<int> target;
    std::optional<float> kp, ki, kd;
    int samples = 100;
    int period = 100;
    bool clockwise = true;
    std::string csv;
};

// Gains that settle the board's plants; a real box may want others.
struct DefaultGains {
    int target;
    float kp, ki, kd;
};
constexpr DefaultGains kTempDefaults{50, 10.0f, 0.0f, 20.0f};
constexpr DefaultGains kSpeedDefaults{250, 1.0f, 0.2f, 0.0f};

std::optional<float> ParseFloat(const std::string& text)
{
    char* end = nullptr;
    float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        return std::nullopt;
    return value;
}

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
        auto number = [&](std::uint32_t max) { return ParseNumber(value, max); };
        if (name == "--target") {
            auto n = number(o.type == CTRL_TEMP ? 100 : 500);
            if (!n)
                return "--target is 0-100 for temp, 0-500 for speed";
            o.target = int(*n);
        } else if (name == "--kp" || name == "--ki" || name == "--kd") {
            auto f = ParseFloat(value);
            if (!f)
                return name + " needs a number";
            (name == "--kp" ? o.kp : name == "--ki" ? o.ki : o.kd) = *f;
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
        } else if (name == "--direction") {
            if (value != "cw" && value != "ccw")
                return "--direction is cw or ccw";
            o.clockwise = value == "cw";
        } else if (name == "--csv") {
            o.csv = value;
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
    ControlOptions o;
    if (auto error = Parse(args, o))
        return CommandResult::Usage(*error);
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
        ++index;
        return LRESULT(0);
    });
    link->SetAckWnd(sink.GetSafeHwnd());
    link->SetControl(o.type, nullptr);

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
    if (csv.is_open() && !csv.flush())
        return CommandResult::Failure("cannot write " + o.csv);
    if (stopped)
        std::fprintf(stderr, "zorlink: experiment stopped after %d samples\n", index);
    return CommandResult::Success();
}
