// An 8051 core over the board's memories: executes code memory instruction by
// instruction, counting machine cycles, with timers 0/1, the 8052's timer 2, the
// serial port and the interrupt system, and the pins and the bus the board's
// devices are wired to (sim/cpu/CoreIo.h).
//
//   C8051Core core(code, xdata, idata);   // 64 KB, 64 KB, 256 bytes; kept by the caller
//   core.Reset();                         // SFRs as after a hardware reset, PC = 0
//   core.Step();                          // one instruction (and an interrupt call)
//   core.Run(1000, stops, true);          // about 1000 cycles, or up to a stop address
//
// Not thread-safe: the owner serialises every call.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/cpu/CoreIo.h"
#include "sim/cpu/CoreState.h"

namespace zorkit::sim {

// Addresses at which a run stops before executing the instruction there.
using CStopMap = std::bitset<0x10000>;

class C8051Core {
public:
    enum class Stop {
        Budget,    // the cycles given were used up
        Address,   // PC reached an address of the stop map
        Undefined, // PC is on the undefined opcode A5, which is not executed
    };

    enum class Chip {
        I8051, // 128 bytes of internal RAM, no timer 2
        I8052, // 256 bytes, timer 2
    };

    C8051Core(BYTE* code, BYTE* xdata, BYTE* idata);
    C8051Core(const C8051Core&) = delete;
    C8051Core& operator=(const C8051Core&) = delete;

    // The state after a hardware reset: SFRs to their reset values (SP 07, ports FF,
    // the rest 0), PC 0, no interrupt in service. Memories keep their contents.
    void Reset();

    // Executes the instruction at PC, then calls an interrupt that has become due.
    // Returns false, executing nothing, when PC is on A5. In idle or power-down mode
    // one machine cycle passes instead.
    bool Step();
    // Executes until at least `cycles` machine cycles have passed, or until PC is on
    // an address of `stops` (not checked before the first instruction when
    // `leaveStop` is set, so a run can leave the address it stopped at).
    Stop Run(std::uint64_t cycles, const CStopMap& stops, bool leaveStop);

    WORD PC() const { return m_state.pc; }
    void SetPC(WORD pc) { m_state.pc = pc; }
    std::uint64_t Cycles() const { return m_state.cycles; }
    // Instructions executed since construction.
    std::uint64_t Instructions() const { return m_instructions; }
    // Interrupt calls made since construction.
    std::uint64_t InterruptCalls() const { return m_interruptCalls; }
    // SFR reads show PSW with the parity of A; writes act as the program's would.
    BYTE ReadSfr(BYTE address) const { return m_state.ReadSfr(address); }
    void WriteSfr(BYTE address, BYTE value) { m_state.WriteSfr(address, value); }
    // R0..R7 of the bank that PSW selects.
    BYTE Register(int n) const { return m_state.idata[m_state.bank + n]; }
    void SetRegister(int n, BYTE value) { m_state.idata[m_state.bank + n] = value; }

    // An 8052 unless told otherwise; takes effect at once (a reset is the caller's).
    void SetChip(Chip chip) { m_state.is8052 = chip == Chip::I8052; }
    Chip GetChip() const { return m_state.is8052 ? Chip::I8052 : Chip::I8051; }

    // Called with (port 0..3, new latch value) when the program changes a port latch.
    void SetPortObserver(std::function<void(int, BYTE)> observer) { m_state.portObserver = std::move(observer); }

    // The board's devices: latch changes, bus cycles at mapped addresses and the
    // ticks they ask for go to `wiring` (nullptr detaches it, unmaps the bus and
    // cancels its tick). The caller keeps it alive while attached.
    void AttachWiring(CBoardWiring* wiring);
    // The ports (bit n for Pn) whose latch changes reach CBoardWiring::LatchChanged;
    // all four after AttachWiring.
    void SetWiringPorts(BYTE ports) { m_state.wiringPorts = ports; }
    // Whether the wiring hears of the serial lines bit by bit (it costs a little per bit).
    void WatchSerialLines(bool watch) { m_state.serial.lineWatched = watch; }
    // MOVX from `first` to `last` reaches the wiring; the rest stays external RAM.
    void MapBus(WORD first, WORD last);
    // What the outside holds on a port's pins: 1 where nothing pulls a pin low. A
    // pin reads as its latch AND this; INT0/1, T0/1, T2/T2EX see the pins.
    void DrivePins(int port, BYTE level) { m_state.DrivePins(port, level); }
    BYTE PinInput(int port) const { return m_state.pinInput[port]; }
    BYTE Latch(int port) const { return m_state.sfr[port << 4]; }
    BYTE Pins(int port) const { return m_state.Pins(port); }
    // Asks for one CBoardWiring::Tick once Cycles() reaches `cycle` (the earliest
    // request wins; a tick asks again for the next one).
    void RequestTick(std::uint64_t cycle);

    // The serial port's other end: told of every frame sent (nullptr: nobody).
    void AttachSerialPeer(CSerialPeer* peer) { m_state.serialPeer = peer; }
    // A frame arrives on RXD after those already there, each taking its bit times
    // at the receiver's rate; lost when the receiver is off (REN clear) as it comes.
    // `ninth` is the stop bit in mode 1 and RB8 in modes 2 and 3.
    void ReceiveSerial(BYTE data, bool ninth = true);
    // Frames on RXD not yet taken in by the receiver.
    std::size_t SerialBacklog() const { return m_state.serial.incoming.size(); }
    // Called with PC before every instruction is executed; empty to stop tracing.
    void SetTraceObserver(std::function<void(WORD)> observer) { m_trace = std::move(observer); }

private:
    bool Execute();
    // Counts machine cycles, on the timers too, and acts on what has become due.
    void Elapse(unsigned cycles);
    // The serial port's frame end or the wiring's tick has come.
    void RunEvents();
    // Calls an interrupt that is due; true when one was called.
    bool CallInterrupt();
    // One machine cycle of idle or power-down mode (PCON), in which no instruction runs.
    void Pause();

    cpu::CCoreState m_state;
    std::function<void(WORD)> m_trace;
    std::uint64_t m_instructions = 0;
    std::uint64_t m_interruptCalls = 0;
};

}
