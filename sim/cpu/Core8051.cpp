#include "sim/cpu/Core8051.h"

#include <algorithm>
#include <array>

#include "sim/cpu/Interrupts.h"
#include "sim/cpu/Opcodes.h"
#include "sim/cpu/SerialPort.h"
#include "sim/cpu/Timers.h"

namespace zorkit::sim {

using namespace cpu;

C8051Core::C8051Core(BYTE* code, BYTE* xdata, BYTE* idata)
{
    m_state.code = code;
    m_state.xdata = xdata;
    m_state.idata = idata;
    Reset();
}

void C8051Core::Reset()
{
    std::array<BYTE, 4> oldPins;
    std::array<BYTE, 4> oldLatches;
    for (int port = 0; port < 4; ++port) {
        oldPins[port] = m_state.Pins(port);
        oldLatches[port] = Latch(port);
    }
    m_state.sfr.fill(0);
    m_state.Sfr(SP) = 0x07;
    for (BYTE port : {P0, P1, P2, P3})
        m_state.Sfr(port) = 0xFF;
    m_state.bank = 0;
    m_state.pc = 0;
    m_state.inService = 0;
    m_state.interruptHold = false;
    bool watched = m_state.serial.lineWatched;
    std::array<bool, 2> levels = m_state.serial.lineLevel;
    m_state.serial = CSerialState{};
    m_state.serial.lineWatched = watched;
    // A frame cut short leaves its lines idle, high.
    for (int line = 0; line < 2; ++line)
        if (watched && m_state.wiring && !levels[std::size_t(line)])
            m_state.wiring->SerialLineChanged(line, true);
    m_state.UpdateNextEvent();
    // The latches rise to FF: the devices and the pins' second functions see it.
    for (int port = 0; port < 4; ++port) {
        if (Latch(port) == oldLatches[port])
            continue;
        m_state.PinsChanged(port, oldPins[port]);
        m_state.LatchChanged(port);
    }
}

void C8051Core::AttachWiring(CBoardWiring* wiring)
{
    m_state.wiring = wiring;
    m_state.wiringPorts = 0x0F;
    m_state.busMap.reset();
    m_state.wiringTick = CCoreState::kNever;
    m_state.UpdateNextEvent();
}

void C8051Core::MapBus(WORD first, WORD last)
{
    if (!m_state.wiring)
        return;
    for (unsigned address = first; address <= last; ++address)
        m_state.busMap.set(address);
}

void C8051Core::RequestTick(std::uint64_t cycle)
{
    if (!m_state.wiring)
        return;
    m_state.wiringTick = std::min(m_state.wiringTick, cycle);
    m_state.UpdateNextEvent();
}

void C8051Core::ReceiveSerial(BYTE data, bool ninth)
{
    ReceiveFrame(m_state, CSerialFrame{data, ninth});
}

void C8051Core::RunEvents()
{
    if (m_state.cycles >= m_state.serial.deadline)
        SerialDue(m_state);
    if (m_state.cycles >= m_state.wiringTick) {
        m_state.wiringTick = CCoreState::kNever;
        m_state.UpdateNextEvent();
        m_state.wiring->Tick(m_state.cycles);
    }
}

inline bool C8051Core::Execute()
{
    static const COpcodeTable& opcodes = Opcodes();
    if (m_state.Sfr(PCON) & (kIdle | kPowerDown)) {
        Pause();
        return true;
    }
    BYTE opcode = m_state.code[m_state.pc];
    const COpcode& entry = opcodes[opcode];
    if (entry.cycles == 0)
        return false;
    if (m_trace)
        m_trace(m_state.pc);
    ++m_state.pc;
    ++m_instructions;
    // The timers count the instruction's cycles under the control bits it found: a
    // write to TRx or to a count register takes effect at the instruction's end.
    Elapse(entry.cycles);
    entry.execute(m_state, opcode);
    CallInterrupt();
    return true;
}

inline void C8051Core::Elapse(unsigned cycles)
{
    if (TimersMayRun(m_state))
        TickTimers(m_state, cycles);
    m_state.cycles += cycles;
    if (m_state.cycles >= m_state.nextEvent)
        RunEvents();
}

inline bool C8051Core::CallInterrupt()
{
    if (!m_state.interruptHold && !(m_state.Sfr(IE) & kEA))
        return false;
    unsigned call = ServiceInterrupts(m_state);
    if (!call)
        return false;
    Elapse(call);
    ++m_interruptCalls;
    return true;
}

void C8051Core::Pause()
{
    if (m_state.Sfr(PCON) & kPowerDown) {
        // Only a reset ends power-down; the clock stands still, the run's time goes on.
        m_state.cycles += 1;
        return;
    }
    // Idle: the timers and interrupts go on, and an interrupt ends the idle mode.
    Elapse(1);
    if (CallInterrupt())
        m_state.Sfr(PCON) &= BYTE(~kIdle);
}

bool C8051Core::Step()
{
    return Execute();
}

C8051Core::Stop C8051Core::Run(std::uint64_t cycles, const CStopMap& stops, bool leaveStop)
{
    std::uint64_t end = m_state.cycles + cycles;
    if (leaveStop && m_state.cycles < end && !Execute())
        return Stop::Undefined;
    while (m_state.cycles < end) {
        if (stops.test(m_state.pc))
            return Stop::Address;
        if (!Execute())
            return Stop::Undefined;
    }
    return Stop::Budget;
}

}
