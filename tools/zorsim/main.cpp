// zorsim: the virtual experiment box on a pseudo-terminal, for any program that
// talks to a board over a serial port.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "zorkit/platform/process/SignalWaiter.h"
#include "sim/UartLine.h"
#include "sim/VirtualBoard.h"
#include "sim/devices/BoardProfile.h"
#include "sim/devices/VcdWriter.h"
#include "tools/common/Numbers.h"
#include "tools/common/ToolMain.h"
#include "tools/zorsim/BoardFiles.h"
#include "tools/zorsim/Console.h"
#include "tools/zorsim/Options.h"
#include "tools/zorsim/PanelWindow.h"

namespace {

using zorkit::sim::CVirtualBoard;
using zorkit::sim::CWireByte;
using zorkit::sim::Fault;
using zorkit::sim::WireDirection;

std::mutex g_stderrLock;

// One line per run of bytes in one direction: "+1.234 host> 05 03 00 80 10 93".
void Trace(const std::vector<CWireByte>& bytes, std::chrono::steady_clock::time_point start)
{
    std::lock_guard<std::mutex> hold(g_stderrLock);
    for (std::size_t i = 0; i < bytes.size();) {
        WireDirection direction = bytes[i].direction;
        double seconds = std::chrono::duration<double>(bytes[i].time - start).count();
        std::cerr << "+" << std::fixed << std::setprecision(3) << seconds
                  << (direction == WireDirection::Received ? " host> " : " board>");
        for (; i < bytes.size() && bytes[i].direction == direction; ++i)
            std::cerr << ' ' << tools::Hex(bytes[i].value, 2);
        std::cerr << '\n';
    }
}

// Carries out one console line; false when zorsim is to end.
bool RunConsoleText(CVirtualBoard& board, const std::string& line)
{
    std::ostringstream reply, shown;
    zorsim::ConsoleAction action = zorsim::RunConsoleLine(board, line, reply, shown);
    std::cout << shown.str() << std::flush;
    {
        std::lock_guard<std::mutex> hold(g_stderrLock);
        std::istringstream lines(reply.str());
        for (std::string text; std::getline(lines, text);)
            std::cerr << "zorsim: " << text << '\n';
    }
    if (action == zorsim::ConsoleAction::Quit) {
        zorkit::CSignalWaiter::Raise(SIGTERM);
        return false;
    }
    return true;
}

// A terminal is read only while zorsim is its foreground job: started with '&' in an
// interactive shell, zorsim keeps playing the board instead of being stopped for
// reading, and leaves the typed lines to the shell.
bool MayRead()
{
    return !::isatty(STDIN_FILENO) || ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

// "+1.234 P1 = 5A": a port latch the program changed.
void PrintPort(int port, BYTE value, std::chrono::steady_clock::time_point start)
{
    std::lock_guard<std::mutex> hold(g_stderrLock);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cerr << "+" << std::fixed << std::setprecision(3) << seconds << " P" << port << " = " << tools::Hex(value, 2) << '\n';
}

void ReadConsole(std::shared_ptr<CVirtualBoard> board)
{
    constexpr int kLookAgainMs = 250;
    std::string pending;
    for (;;) {
        if (!MayRead()) {
            ::poll(nullptr, 0, kLookAgainMs);
            continue;
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, kLookAgainMs) <= 0 || !MayRead())
            continue;
        char chunk[256];
        ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got < 0 && (errno == EINTR || errno == EIO || errno == EAGAIN))
            continue;
        // End of input is not a request to stop: zorsim also runs with stdin closed.
        if (got <= 0)
            return;
        pending.append(chunk, std::size_t(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            if (!RunConsoleText(*board, pending.substr(0, end)))
                return;
    }
}

// False, with the reason on standard error, when path cannot be written.
bool OpenOutput(std::ofstream& file, const std::string& path)
{
    file.open(path);
    if (!file)
        std::cerr << "zorsim: cannot write " << path << "\n";
    return bool(file);
}

int Play(int argc, char** argv)
{
    // Before any thread starts, so that only the wait below takes these signals.
    zorkit::CSignalWaiter signals{SIGINT, SIGTERM, SIGHUP, SIGUSR1};
    // A read of the terminal in the background then fails instead of stopping zorsim.
    std::signal(SIGTTIN, SIG_IGN);

    zorsim::COptions options;
    if (std::optional<int> status = zorsim::ParseCommandLine({argv + 1, argv + argc}, options))
        return *status;

    std::unique_ptr<zorsim::CPanelScreen> panel;
    if (options.panel && !(panel = zorsim::CPanelScreen::Open())) {
        std::cerr << "zorsim: error: --panel needs a display (DISPLAY not set, or it cannot be opened)\n";
        return 1;
    }
    auto board = std::make_shared<CVirtualBoard>();
    board->SetCpuType(options.cpu);
    board->WithCore([&](zorkit::sim::C8051Core& core) { core.SetChip(options.chip); });
    zorkit::sim::CMonitorTimings timings;
    timings.stopDelay = options.stopDelay;
    timings.machineCyclesPerSecond = options.machineCyclesPerSecond;
    board->SetTimings(timings);
    if (options.watchPorts) {
        auto start = std::chrono::steady_clock::now();
        board->SetPortObserver([start](int port, BYTE value) { PrintPort(port, value, start); });
    }
    std::ofstream executionTrace;
    if (!options.executionTrace.empty()) {
        if (!OpenOutput(executionTrace, options.executionTrace))
            return 1;
        board->SetInstructionTrace([&executionTrace](const std::string& line) { executionTrace << line << '\n'; });
    }
    std::string error;
    std::optional<zorkit::sim::CBoardProfile> profile = zorkit::sim::LoadBoardProfile(options.boardFile, error);
    if (!profile) {
        std::cerr << "zorsim: " << error << "\n";
        return 1;
    }
    if (options.cpu == zorkit::sim::CpuType::Intel8051)
        board->AttachDevices(&*profile);
    else if (options.uart || !options.vcdFile.empty()) {
        std::cerr << "zorsim: --uart and --vcd need the 8051 board\n";
        return 2;
    }
    std::ofstream events;
    if (!options.eventsFile.empty()) {
        if (!OpenOutput(events, options.eventsFile))
            return 1;
        board->WithDevices([&events](zorkit::sim::CDeviceBoard& devices) {
            devices.SetEventObserver([&events](const zorkit::sim::CDeviceEvent& event) {
                events << zorsim::EventJson(event) << std::endl;
            });
        });
    }
    std::ofstream vcdFile;
    std::optional<zorkit::sim::CVcdWriter> vcd;
    if (!options.vcdFile.empty()) {
        vcdFile.open(options.vcdFile);
        if (!vcdFile) {
            std::cerr << "zorsim: cannot write " << options.vcdFile << "\n";
            return 1;
        }
        board->WithDevices([&](zorkit::sim::CDeviceBoard& devices) {
            vcd.emplace(vcdFile, devices.Profile(), devices.Cycle(), devices.Signals(), devices.CounterTimer());
            devices.SetSignalObserver([&vcd](std::uint64_t cycle, const zorkit::sim::CBoardSignals& signals) {
                vcd->Sample(cycle, signals);
            });
        });
    }
    for (const zorsim::CArmedFault& armed : options.faults) {
        if (armed.fault == Fault::WrongAck)
            board->InjectWrongAck(armed.wrongByte);
        else
            board->InjectFault(armed.fault);
    }
    board->SetSilent(options.silent);
    if (options.trace) {
        auto start = std::chrono::steady_clock::now();
        board->WireLog().SetObserver([start](const std::vector<CWireByte>& bytes) { Trace(bytes, start); });
    }
    if (!board->Start()) {
        std::cerr << "zorsim: cannot open a pseudo-terminal: " << board->LastError() << "\n";
        return 1;
    }
    std::cout << board->SlavePath() << std::endl;
    std::optional<zorkit::sim::CUartLine> uart;
    if (options.uart) {
        uart.emplace(*board);
        if (!uart->Start()) {
            std::cerr << "zorsim: cannot open the serial port's pseudo-terminal: " << uart->LastError() << "\n";
            return 1;
        }
        std::cout << "uart: " << uart->SlavePath() << std::endl;
    }
    if (::isatty(STDIN_FILENO))
        std::cerr << "zorsim: press the reset key with 'reset' here (in the foreground) or 'kill -USR1 " << ::getpid()
                  << "'; Ctrl+C or 'kill " << ::getpid() << "' ends zorsim\n";
    if (options.resetAtStart)
        board->PressReset();
    if (options.experiment)
        board->StartExperiment(*options.experiment);

    // The console thread may sit in a read of stdin when zorsim ends; it keeps the board alive.
    std::thread(ReadConsole, board).detach();
    int signal;
    if (panel)
        signal = panel->Run(board, *profile, signals);
    else
        while ((signal = signals.Wait()) == SIGUSR1)
            board->PressReset();
    board->Stop();
    uart.reset();
    if (vcd)
        board->WithDevices([&vcd](zorkit::sim::CDeviceBoard& devices) { vcd->Finish(devices.Cycle()); });
    // The console thread may keep the board; the trace file ends here.
    board->SetInstructionTrace(nullptr);
    board->AttachDevices(nullptr);
    return signal < 0 ? 1 : 0;
}

}

int main(int argc, char** argv) { return tools::RunTool("zorsim", Play, argc, argv); }
