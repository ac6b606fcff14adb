// The devices of a board profile, wired to the 8051's pins and external bus, on
// the core's machine-cycle time. The core side tells it port latches, bus cycles
// and the time; a host (zorsim's commands, a panel, a grader) reads every device's
// state and drives the inputs, in-process.
//
//   CDeviceBoard devices(DefaultBoardProfile());
//   devices.OnPortLatch(1, 0xFE, cycle);          // LED 0 lights
//   devices.SetSwitch(3, true);                   // "" or the reason it was refused
//   std::cout << devices.Show();                  // "leds: *.......\n..."
//
// Not thread-safe: the owner serialises every call (the virtual board does so
// under its lock).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/devices/BoardProfile.h"
#include "sim/devices/Converters.h"
#include "sim/devices/CounterTimer.h"
#include "sim/devices/DcMotor.h"
#include "sim/devices/Hd44780.h"
#include "sim/devices/Heater.h"
#include "sim/devices/Keypad.h"
#include "sim/devices/ParallelInterface.h"
#include "sim/devices/SevenSegment.h"
#include "sim/devices/Stepper.h"

namespace zorkit::sim {

// A device's state changed: its name and its `show` text (what follows "name: ").
struct CDeviceEvent {
    std::uint64_t cycle;
    std::string device;
    std::string state;
};

// What a logic analyser sees on the board: the CPU's port pins, the parallel chip's
// pins and the D/A converter's output.
struct CBoardSignals {
    std::array<BYTE, 4> cpuPins{};
    std::array<BYTE, 3> ppiPins{};
    BYTE dac = 0;
    // The counter/timer chip's outputs, counter n in bit n.
    BYTE ctc = 0;
    // The serial port's lines, RXD in bit 0 and TXD in bit 1; idle high.
    BYTE serial = 0x03;

    bool operator==(const CBoardSignals& other) const
    {
        return cpuPins == other.cpuPins && ppiPins == other.ppiPins && dac == other.dac && ctc == other.ctc
            && serial == other.serial;
    }
};

class CDeviceBoard {
public:
    // 20 ms of the board's clock (a machine cycle a microsecond).
    static constexpr std::uint64_t kFingerCycles = 20000;

    explicit CDeviceBoard(const CBoardProfile& profile);

    // The core's side.
    // True when the change may move what the devices drive or when they change next
    // (a motor or buzzer on the port); LEDs alone cost nothing more.
    bool OnPortLatch(int port, BYTE latch, std::uint64_t cycle);
    // A bit began on the serial port's line (0 RXD, 1 TXD).
    void OnSerialLine(int line, bool level, std::uint64_t cycle);
    // The CPU ports whose every latch change must come as it happens: those read
    // by devices that keep time, or all the devices read while anybody watches. The
    // others' latches may come when the devices are next needed.
    BYTE PortsNeededAtOnce() const { return m_observer || m_signalObserver ? m_watchedPorts : m_timedPorts; }
    // The CPU ports any device reads.
    BYTE WatchedPorts() const { return m_watchedPorts; }
    BYTE Latch(int port) const { return m_latch[std::size_t(port)]; }
    // The levels the devices drive on port n's pins (1 where nothing drives).
    BYTE PinDrive(int port) const { return m_drive[std::size_t(port)]; }
    // A bus cycle; false when no device answers at `address` (RAM does).
    bool BusRead(WORD address, std::uint64_t cycle, BYTE& value);
    bool BusWrite(WORD address, BYTE value, std::uint64_t cycle);
    // Brings the time-driven devices (pulse generator, motor, heater, converter,
    // display persistence) to `cycle`.
    void AdvanceTo(std::uint64_t cycle);
    // The next cycle at which a device changes a pin or its state by itself.
    std::uint64_t NextChange() const;

    // The outside's side: each returns "" or why it changed nothing.
    std::string SetSwitch(int n, bool on);
    // By Finger, a button's level lasts at least kFingerCycles, as a finger's press
    // and lift do: a change asked for sooner waits for it, so every press is seen.
    // Exact takes the change at once, for scripts that make a contact bounce.
    enum class Timing { Finger, Exact };
    std::string SetButton(int n, bool down, Timing timing = Timing::Finger);
    std::string SetKey(int key, bool down);
    std::string SetKnob(int channel, int value);
    std::string SetPulseRate(long hz);

    // Every device of the profile, one "name: state" line each, in a fixed order.
    std::string Show() const;
    // The names of the profile's devices, in the order Show lists them.
    std::vector<std::string> DeviceNames() const;
    // One device's state as Show prints it after "name: ".
    std::string State(const std::string& device) const;
    void SetEventObserver(std::function<void(const CDeviceEvent&)> observer);
    CBoardSignals Signals() const;
    // The counter/timer chip, whose outputs change between the signals' reports; nullptr when none.
    const CCounterTimer* CounterTimer() const { return m_ctc ? &*m_ctc : nullptr; }
    // Told the signals after every change of the board, with the cycle (the signals
    // may be the same as before). All four CPU ports are watched while it is set.
    void SetSignalObserver(std::function<void(std::uint64_t, const CBoardSignals&)> observer);
    bool WatchesSignals() const { return bool(m_signalObserver); }

    const CBoardProfile& Profile() const { return m_profile; }
    std::uint64_t Cycle() const { return m_cycle; }
    const std::optional<CHd44780>& Lcd() const { return m_lcd; }
    const std::optional<CSevenSegment>& SevenSegment() const { return m_seg7; }
    const std::optional<CStepper>& Stepper() const { return m_stepper; }
    const std::optional<CDcMotor>& Motor() const { return m_motor; }
    const std::optional<CDaConverter>& Dac() const { return m_dac; }
    const std::optional<CBoardHeater>& Heater() const { return m_heater; }
    BYTE Leds() const { return m_leds; }
    BYTE Switches() const { return m_switches; }
    BYTE Buttons() const { return m_buttons; }
    long PulseRate() const { return m_pulseHz; }
    // The buzzer's tone now, 0 while silent (or without a buzzer).
    double BuzzerHz() const;
    const std::optional<CKeypad>& Keypad() const { return m_keypad; }
    const std::optional<CAdConverter>& Adc() const { return m_adc; }

private:
    // Port index of a pin: 0-3 the CPU's, 4-6 the parallel chip's.
    static int PortIndex(const CPin& pin) { return pin.chip == CPin::Chip::Cpu ? pin.port : 4 + pin.port; }
    bool Level(const CPin& pin) const;
    // Pulls a pin's outside drive low for a device whose output is low.
    void Drive(const CPin& pin, bool level);
    // The outside drive of every pin from the input devices, then what the output
    // devices see.
    void RecomputeDrives();
    // Recomputes what the output devices see, after anything moved a pin.
    void RefreshReaders();
    void RefreshLeds();
    // Tells the observer about every device whose state text changed.
    void Publish();
    void Time(std::uint64_t cycle);
    // True when the devices change only at the times NextChange gives, so that
    // between those a later cycle needs no step. A running motor moves all the
    // time, and so does what a reader sees of the counter/timer chip's outputs.
    bool StillBetweenChanges() const { return !m_ctcReaders && (!m_motor || m_motor->AtRest()); }
    void Step(std::uint64_t cycle);
    std::uint64_t NextPulseEdge() const;
    // Every change of what NextChange reads (the clock outside the still stretches
    // between changes, a timed device's state) calls this.
    void ForgetNextChange() { m_nextChange = 0; }
    // Gives the buttons the levels that have come due by m_cycle.
    void ReleaseWaitingButtons();

    CBoardProfile m_profile;
    std::uint64_t m_cycle = 0;
    // NextChange as last worked out, 0 when not known: a program polling the bus
    // asks for it twice an access while nothing changes.
    mutable std::uint64_t m_nextChange = 0;
    std::array<BYTE, 4> m_latch{0xFF, 0xFF, 0xFF, 0xFF};
    // Outside drive of the CPU's ports and of the parallel chip's (index 4-6).
    std::array<BYTE, 7> m_drive{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    // The CPU ports that devices read, so that other latch writes cost nothing;
    // all of them while a signal observer is set.
    BYTE m_watchedPorts = 0;
    BYTE m_deviceReadPorts = 0;
    // The CPU ports with readers other than LEDs (stepper, motor, buzzer).
    BYTE m_timedPorts = 0;
    // An output device (LEDs, stepper, motor) reads a counter/timer chip's output.
    bool m_ctcReaders = false;

    BYTE m_leds = 0;
    // The CPU port that carries all eight LEDs in order, or -1.
    int m_ledPort = -1;
    BYTE m_switches = 0;
    BYTE m_buttons = 0;
    struct CButtonTimes {
        bool changed = false;   // since the board began
        bool down = false;      // the last level asked for (up at the start)
        std::uint64_t last = 0; // when that level takes effect
        // Levels asked for that wait for the one before to have lasted.
        std::deque<std::pair<std::uint64_t, bool>> waiting;
    };
    std::vector<CButtonTimes> m_buttonTimes;
    long m_pulseHz = 0;
    std::uint64_t m_pulseFrom = 0;
    bool m_pulseLevel = true;
    // A buzzer on a plain pin sounds while the pin toggles.
    bool m_buzzerLevel = true;
    std::uint64_t m_buzzerRise = 0;
    std::uint64_t m_buzzerPeriod = 0;

    std::optional<CSevenSegment> m_seg7;
    std::optional<CKeypad> m_keypad;
    std::optional<CHd44780> m_lcd;
    std::optional<CAdConverter> m_adc;
    std::optional<CDaConverter> m_dac;
    std::optional<CStepper> m_stepper;
    std::optional<CDcMotor> m_motor;
    std::optional<CBoardHeater> m_heater;
    std::optional<CParallelInterface> m_ppi;
    std::optional<CCounterTimer> m_ctc;

    std::function<void(const CDeviceEvent&)> m_observer;
    std::function<void(std::uint64_t, const CBoardSignals&)> m_signalObserver;
    BYTE m_serialLines = 0x03;
    std::vector<std::pair<std::string, std::string>> m_lastStates;
};

}
