// Drives the board's monitor with arbitrary operations: bytes from the host, the
// passing of time, the reset key, armed faults and well-formed frames. The monitor
// must never answer more than a banner, an echo or a data block at once, must keep
// a register image of its CPU's size, and must acknowledge a well-formed frame
// first thing whenever it listens and no fault is armed.
#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/Monitor.h"

using namespace zorkit::sim;

namespace {

// What one call may answer at most: a data block of 255 bytes and its checksum, or
// a banner and an echo.
constexpr std::size_t kLongestAnswer = 9 + 256 + 256 + 8;

constexpr BYTE kFixedLengths[][2] = {
    {CMD_EXMEM_ULD, 5}, {CMD_INMEM_ULD, 5}, {CMD_REG_DLD, 52}, {CMD_REG_ULD, 2},
    {CMD_PROG_RESET, 4}, {CMD_GOTO_CURSOR, 4}, {CMD_STEP, 4}, {CMD_TRACE, 4},
    {CMD_SET_BREAK, 4}, {CMD_CLEAR_BREAK, 4}, {CMD_CLEAR_ALL_BREAK, 2}, {CMD_PROG_EXEC, 4}, {CMD_KEY_MONITOR, 2},
};
constexpr BYTE kDownloads[] = {CMD_PROG_DLD, CMD_EXMEM_DLD, CMD_INMEM_DLD};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool More() const { return m_at < m_size; }
    BYTE Next() { return m_at < m_size ? m_data[m_at++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

std::vector<BYTE> WellFormedFrame(Reader& in)
{
    BYTE pick = in.Next();
    std::vector<BYTE> frame;
    if (pick % 4 == 3) {
        BYTE n = BYTE(in.Next() % 65);
        frame = {BYTE(n + 5), kDownloads[pick / 4 % 3], in.Next(), in.Next(), n};
        for (int i = 0; i < n; ++i)
            frame.push_back(in.Next());
    } else {
        const BYTE* command = kFixedLengths[pick / 4 % (sizeof kFixedLengths / sizeof kFixedLengths[0])];
        frame = {command[1], command[0]};
        while (frame.size() < command[1])
            frame.push_back(in.Next());
    }
    frame.push_back(Checksum(frame.data() + 1, frame.size() - 1));
    return frame;
}

bool AnswerFaultArmed(const CMonitor& monitor)
{
    return monitor.Faults().Armed(Fault::Nak) || monitor.Faults().Armed(Fault::DropAck) ||
           monitor.Faults().Armed(Fault::WrongAck) || monitor.Faults().Armed(Fault::Garbage);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    CMonitor monitor;
    CMonitor::Clock::time_point now{std::chrono::hours(1)};
    std::vector<BYTE> out;
    while (in.More()) {
        out.clear();
        BYTE op = in.Next();
        switch (op % 8) {
        case 0:
        case 1:
        case 2: monitor.Receive(in.Next(), now, out); break;
        case 3:
            now += std::chrono::milliseconds(in.Next() * 10);
            monitor.Tick(now, out);
            break;
        case 4: monitor.PressReset(out); break;
        case 5: monitor.Faults().Inject(static_cast<Fault>(in.Next() % kFaultKinds)); break;
        case 6: {
            static constexpr CpuType kCpus[] = {CpuType::Intel8051, CpuType::Intel8086, CpuType::Intel8098};
            monitor.Memory().SetCpu(kCpus[in.Next() % 3]);
            break;
        }
        case 7: {
            bool listening = monitor.Mode() == BoardMode::Monitor && !monitor.NextDeadline() && !AnswerFaultArmed(monitor);
            std::vector<BYTE> frame = WellFormedFrame(in);
            for (BYTE b : frame)
                monitor.Receive(b, now, out);
            if (listening && (out.empty() || out[0] != kAck))
                __builtin_trap();
            break;
        }
        }
        if (out.size() > kLongestAnswer)
            __builtin_trap();
        if (monitor.Memory().Registers().size() != RegisterImageSize(monitor.Memory().Cpu()))
            __builtin_trap();
    }
    return 0;
}
