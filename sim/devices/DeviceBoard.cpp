#include "sim/devices/DeviceBoard.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace zorkit::sim {

namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kCyclesPerSecond = 1000000;
// A buzzer on a pin falls silent when the pin has not risen for 50 ms.
constexpr std::uint64_t kBuzzerSilence = 50000;
// While the motor's speed changes, its encoder is looked at at least this often.
constexpr std::uint64_t kMotorStep = 200;
// Each level must last beyond a tick's lateness (an instruction and an interrupt call).
constexpr long kMaxPulseHz = 50000;

bool OnPage(const std::optional<CBoardProfile::CBusDevice>& device, WORD address)
{
    return device && device->address == (address & kDevicePageMask);
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Hex(BYTE value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}

CDeviceBoard::CDeviceBoard(const CBoardProfile& profile) : m_profile(profile)
{
    if (profile.seg7)
        m_seg7.emplace();
    if (profile.keypad)
        m_keypad.emplace();
    if (profile.lcd)
        m_lcd.emplace();
    if (profile.adc)
        m_adc.emplace();
    if (profile.dac)
        m_dac.emplace();
    if (profile.stepper)
        m_stepper.emplace(profile.stepper->stepDegrees);
    if (profile.motor)
        m_motor.emplace(profile.motor->pulsesPerTurn, profile.motor->maxRpm);
    if (profile.heater) {
        m_heater.emplace();
        m_adc->SetInput(profile.heater->channel, m_heater->Reading());
    }
    if (profile.ppi)
        m_ppi.emplace();
    if (profile.ctc)
        m_ctc.emplace();
    if (profile.buttons)
        m_buttonTimes.resize(profile.buttons->pins.size());
    auto watch = [this](const CPin& pin) {
        if (pin.chip == CPin::Chip::Cpu)
            m_watchedPorts |= BYTE(1 << pin.port);
    };
    if (profile.leds)
        std::for_each(profile.leds->pins.begin(), profile.leds->pins.end(), watch);
    BYTE ledPorts = m_watchedPorts;
    // Eight LEDs on one CPU port in bit order are that port's pins as they are.
    if (profile.leds && profile.leds->pins.size() == 8) {
        const std::vector<CPin>& pins = profile.leds->pins;
        bool whole = true;
        for (std::size_t i = 0; i < 8; ++i)
            whole = whole && pins[i].chip == CPin::Chip::Cpu && pins[i].port == pins[0].port && pins[i].bit == i;
        m_ledPort = whole ? pins[0].port : -1;
    }
    m_watchedPorts = 0;
    if (profile.stepper)
        std::for_each(profile.stepper->phases.begin(), profile.stepper->phases.end(), watch);
    if (profile.motor)
        watch(profile.motor->drive);
    if (profile.buzzer)
        watch(profile.buzzer->pin);
    m_timedPorts = m_watchedPorts;
    m_watchedPorts |= ledPorts;
    auto onCtc = [](const CPin& pin) { return pin.chip == CPin::Chip::Ctc; };
    m_ctcReaders = (profile.leds && std::any_of(profile.leds->pins.begin(), profile.leds->pins.end(), onCtc))
        || (profile.stepper && std::any_of(profile.stepper->phases.begin(), profile.stepper->phases.end(), onCtc))
        || (profile.motor && onCtc(profile.motor->drive));
    m_deviceReadPorts = m_watchedPorts;
    RecomputeDrives();
    for (const std::string& name : DeviceNames())
        m_lastStates.emplace_back(name, State(name));
}

bool CDeviceBoard::Level(const CPin& pin) const
{
    switch (pin.chip) {
    case CPin::Chip::Cpu: return (m_latch[pin.port] & m_drive[pin.port]) >> pin.bit & 1;
    // A pin of the parallel chip that is an input drives nothing: the device's own
    // pull-down holds it low.
    case CPin::Chip::Ppi: return m_ppi->OutputMask(pin.port) >> pin.bit & m_ppi->Read(pin.port) >> pin.bit & 1;
    case CPin::Chip::Ctc: return m_ctc->Output(pin.port, m_cycle);
    }
    return true;
}

void CDeviceBoard::Drive(const CPin& pin, bool level)
{
    BYTE& port = m_drive[std::size_t(PortIndex(pin))];
    if (!level)
        port = BYTE(port & ~(1 << pin.bit));
}

void CDeviceBoard::RecomputeDrives()
{
    m_drive.fill(0xFF);
    const CBoardProfile& p = m_profile;
    if (p.switches)
        for (std::size_t i = 0; i < p.switches->pins.size(); ++i)
            Drive(p.switches->pins[i], m_switches >> i & 1);
    if (p.buttons)
        for (std::size_t i = 0; i < p.buttons->pins.size(); ++i)
            Drive(p.buttons->pins[i], !(m_buttons >> i & 1));
    if (p.pulse)
        Drive(p.pulse->pin, m_pulseLevel);
    if (p.motor)
        Drive(p.motor->encoder, m_motor->EncoderLevel());
    if (p.adc && p.adc->eoc)
        Drive(*p.adc->eoc, m_adc->EndOfConversion());
    if (m_ppi)
        for (int port = 0; port < 3; ++port)
            m_ppi->SetInput(port, m_drive[std::size_t(4 + port)]);
    RefreshReaders();
}

void CDeviceBoard::RefreshLeds()
{
    if (m_ledPort >= 0) {
        BYTE pins = BYTE(m_latch[std::size_t(m_ledPort)] & m_drive[std::size_t(m_ledPort)]);
        m_leds = m_profile.leds->litWhenLow ? BYTE(~pins) : pins;
        return;
    }
    const CBoardProfile& p = m_profile;
    BYTE lit = 0;
    for (std::size_t i = 0; i < p.leds->pins.size(); ++i)
        if (Level(p.leds->pins[i]) != p.leds->litWhenLow)
            lit = BYTE(lit | 1 << i);
    m_leds = lit;
}

void CDeviceBoard::RefreshReaders()
{
    ForgetNextChange();
    const CBoardProfile& p = m_profile;
    if (p.leds)
        RefreshLeds();
    if (m_stepper) {
        BYTE phases = 0;
        for (std::size_t i = 0; i < 4; ++i)
            if (Level(p.stepper->phases[i]))
                phases = BYTE(phases | 1 << i);
        m_stepper->SetPhases(phases);
    }
    if (m_motor)
        m_motor->SetDrive(Level(p.motor->drive), m_cycle);
    if (p.buzzer && p.buzzer->pin.chip != CPin::Chip::Ctc) {
        bool level = Level(p.buzzer->pin);
        if (level && !m_buzzerLevel) {
            m_buzzerPeriod = m_buzzerRise ? m_cycle - m_buzzerRise : 0;
            m_buzzerRise = m_cycle;
        }
        m_buzzerLevel = level;
    }
}

void CDeviceBoard::Publish()
{
    if (m_signalObserver)
        m_signalObserver(m_cycle, Signals());
    if (!m_observer)
        return;
    for (auto& [name, last] : m_lastStates) {
        std::string now = State(name);
        if (now != last) {
            last = now;
            m_observer(CDeviceEvent{m_cycle, name, now});
        }
    }
}

void CDeviceBoard::Time(std::uint64_t cycle)
{
    if (cycle > m_cycle)
        AdvanceTo(cycle);
}

bool CDeviceBoard::OnPortLatch(int port, BYTE latch, std::uint64_t cycle)
{
    m_latch[std::size_t(port)] = latch;
    if (!(m_watchedPorts >> port & 1))
        return false;
    ForgetNextChange();
    bool timed = m_timedPorts >> port & 1;
    if (timed)
        Time(cycle);
    else
        m_cycle = std::max(m_cycle, cycle);
    if (timed || !m_profile.leds)
        RefreshReaders();
    else
        RefreshLeds();
    Publish();
    return timed;
}

void CDeviceBoard::OnSerialLine(int line, bool level, std::uint64_t cycle)
{
    BYTE bit = BYTE(1 << line);
    m_serialLines = BYTE(level ? m_serialLines | bit : m_serialLines & ~bit);
    m_cycle = std::max(m_cycle, cycle);
    if (m_signalObserver)
        m_signalObserver(m_cycle, Signals());
}

bool CDeviceBoard::BusRead(WORD address, std::uint64_t cycle, BYTE& value)
{
    Time(cycle);
    int reg = address & 0xFF;
    if (OnPage(m_profile.keypad, address))
        value = m_keypad->ReadColumns();
    else if (OnPage(m_profile.lcd, address))
        value = (reg & 1) ? m_lcd->ReadData(m_cycle) : m_lcd->ReadStatus(m_cycle);
    else if (m_profile.adc && m_profile.adc->address == (address & kDevicePageMask))
        value = m_adc->Result();
    else if (OnPage(m_profile.ppi, address))
        value = m_ppi->Read(reg & 3);
    else if (OnPage(m_profile.ctc, address))
        value = m_ctc->Read(reg & 3, m_cycle);
    else if (OnPage(m_profile.seg7, address) || OnPage(m_profile.dac, address))
        value = 0xFF; // write-only latches: nothing drives the bus
    else
        return false;
    return true;
}

bool CDeviceBoard::BusWrite(WORD address, BYTE value, std::uint64_t cycle)
{
    Time(cycle);
    ForgetNextChange();
    int reg = address & 0xFF;
    if (OnPage(m_profile.seg7, address)) {
        if (reg & 1)
            m_seg7->WriteDigits(value, m_cycle);
        else
            m_seg7->WriteSegments(value, m_cycle);
    } else if (OnPage(m_profile.keypad, address)) {
        m_keypad->WriteRows(value);
    } else if (OnPage(m_profile.lcd, address)) {
        if (reg & 1)
            m_lcd->WriteData(value, m_cycle);
        else
            m_lcd->WriteInstruction(value, m_cycle);
    } else if (m_profile.adc && m_profile.adc->address == (address & kDevicePageMask)) {
        m_adc->Start(reg & 7, m_cycle);
        RecomputeDrives();
    } else if (OnPage(m_profile.dac, address)) {
        m_dac->Write(value, m_cycle);
        if (m_heater)
            m_heater->SetPower(value, m_cycle);
    } else if (OnPage(m_profile.ppi, address)) {
        m_ppi->Write(reg & 3, value);
        RefreshReaders();
    } else if (OnPage(m_profile.ctc, address)) {
        // Whoever follows the outputs sees them up to now as they were.
        if (m_signalObserver)
            m_signalObserver(m_cycle, Signals());
        m_ctc->Write(reg & 3, value, m_cycle);
    } else {
        return false;
    }
    Publish();
    return true;
}

std::uint64_t CDeviceBoard::NextPulseEdge() const
{
    if (m_pulseHz <= 0)
        return kNever;
    std::uint64_t phase = (m_cycle - m_pulseFrom) * std::uint64_t(m_pulseHz) * 2 / kCyclesPerSecond;
    std::uint64_t half = 2 * std::uint64_t(m_pulseHz);
    return m_pulseFrom + ((phase + 1) * kCyclesPerSecond + half - 1) / half;
}

std::uint64_t CDeviceBoard::NextChange() const
{
    if (m_nextChange)
        return m_nextChange;
    std::uint64_t next = NextPulseEdge();
    if (m_motor) {
        next = std::min(next, m_motor->NextEncoderEdge());
        if (m_motor->Rpm() > 0.5 || m_motor->Duty() > 0.001)
            next = std::min(next, m_cycle + kMotorStep);
    }
    if (m_heater)
        next = std::min(next, m_heater->NextStep());
    if (m_adc && !m_adc->EndOfConversion())
        next = std::min(next, m_adc->DoneAt());
    if (m_seg7)
        next = std::min(next, m_seg7->NextFade(m_cycle));
    if (m_buzzerPeriod && m_cycle - m_buzzerRise <= kBuzzerSilence)
        next = std::min(next, m_buzzerRise + kBuzzerSilence + 1);
    for (const CButtonTimes& button : m_buttonTimes)
        if (!button.waiting.empty())
            next = std::min(next, button.waiting.front().first);
    m_nextChange = std::max(next, m_cycle + 1);
    return m_nextChange;
}

void CDeviceBoard::AdvanceTo(std::uint64_t cycle)
{
    for (std::uint64_t next; (next = NextChange()) <= cycle;)
        Step(next);
    // A program polling the bus comes here at every access: a step that would
    // recompute the same drives and states is left out.
    if (StillBetweenChanges())
        m_cycle = std::max(m_cycle, cycle);
    else
        Step(cycle);
}

void CDeviceBoard::Step(std::uint64_t cycle)
{
    if (cycle < m_cycle)
        return;
    m_cycle = cycle;
    ForgetNextChange();
    if (m_pulseHz > 0)
        m_pulseLevel = (m_cycle - m_pulseFrom) * std::uint64_t(m_pulseHz) * 2 / kCyclesPerSecond % 2 == 0;
    if (m_motor)
        m_motor->Advance(m_cycle);
    if (m_heater) {
        m_heater->AdvanceTo(m_cycle);
        m_adc->SetInput(m_profile.heater->channel, m_heater->Reading());
    }
    if (m_adc)
        m_adc->Advance(m_cycle);
    if (m_buzzerPeriod && m_cycle - m_buzzerRise > kBuzzerSilence)
        m_buzzerPeriod = 0;
    ReleaseWaitingButtons();
    RecomputeDrives();
    Publish();
}

std::string CDeviceBoard::SetSwitch(int n, bool on)
{
    if (!m_profile.switches)
        return "this board has no DIP switches";
    if (n < 0 || std::size_t(n) >= m_profile.switches->pins.size())
        return "switch " + std::to_string(n) + " does not exist (0-"
            + std::to_string(m_profile.switches->pins.size() - 1) + ")";
    m_switches = BYTE(on ? m_switches | 1 << n : m_switches & ~(1 << n));
    RecomputeDrives();
    Publish();
    return "";
}

std::string CDeviceBoard::SetButton(int n, bool down, Timing timing)
{
    if (!m_profile.buttons)
        return "this board has no push buttons";
    if (n < 0 || std::size_t(n) >= m_profile.buttons->pins.size())
        return "button " + std::to_string(n) + " does not exist (0-"
            + std::to_string(m_profile.buttons->pins.size() - 1) + ")";
    CButtonTimes& button = m_buttonTimes[std::size_t(n)];
    if (button.down == down)
        return "";
    const bool waits = timing == Timing::Finger && button.changed;
    std::uint64_t at = waits ? std::max(m_cycle, button.last + kFingerCycles) : m_cycle;
    button.changed = true;
    button.down = down;
    button.last = at;
    button.waiting.emplace_back(at, down);
    ForgetNextChange();
    ReleaseWaitingButtons();
    RecomputeDrives();
    Publish();
    return "";
}

void CDeviceBoard::ReleaseWaitingButtons()
{
    for (std::size_t n = 0; n < m_buttonTimes.size(); ++n) {
        auto& waiting = m_buttonTimes[n].waiting;
        for (; !waiting.empty() && waiting.front().first <= m_cycle; waiting.pop_front())
            m_buttons = BYTE(waiting.front().second ? m_buttons | 1 << n : m_buttons & ~(1 << n));
    }
}

std::string CDeviceBoard::SetKey(int key, bool down)
{
    if (!m_keypad)
        return "this board has no keypad";
    if (key < 0 || key > 15)
        return "key " + std::to_string(key) + " does not exist (0-F)";
    m_keypad->SetKey(key, down);
    Publish();
    return "";
}

std::string CDeviceBoard::SetKnob(int channel, int value)
{
    if (!m_adc)
        return "this board has no A/D converter";
    if (channel < 0 || channel > 7)
        return "knob " + std::to_string(channel) + " does not exist (0-7)";
    if (value < 0 || value > 255)
        return "a knob is set from 0 to 255, not " + std::to_string(value);
    if (m_profile.heater && m_profile.heater->channel == channel)
        return "A/D input " + std::to_string(channel) + " reads the heater's sensor, not a knob";
    m_adc->SetInput(channel, BYTE(value));
    Publish();
    return "";
}

std::string CDeviceBoard::SetPulseRate(long hz)
{
    if (!m_profile.pulse)
        return "this board has no pulse generator";
    if (hz < 0 || hz > kMaxPulseHz)
        return "the pulse generator runs from 0 to " + std::to_string(kMaxPulseHz) + " Hz, not " + std::to_string(hz);
    m_pulseHz = hz;
    m_pulseFrom = m_cycle;
    ForgetNextChange();
    m_pulseLevel = true;
    RecomputeDrives();
    Publish();
    return "";
}

std::vector<std::string> CDeviceBoard::DeviceNames() const
{
    const CBoardProfile& p = m_profile;
    std::vector<std::string> names;
    auto add = [&names](bool present, const char* name) {
        if (present)
            names.emplace_back(name);
    };
    add(bool(p.leds), "leds");
    add(bool(p.switches), "switches");
    add(bool(p.buttons), "buttons");
    add(bool(p.pulse), "pulse");
    add(bool(p.buzzer), "buzzer");
    add(bool(p.seg7), "seg7");
    add(bool(p.keypad), "keypad");
    add(bool(p.lcd), "lcd");
    add(bool(p.adc), "adc");
    add(bool(p.dac), "dac");
    add(bool(p.stepper), "stepper");
    add(bool(p.motor), "motor");
    add(bool(p.heater), "heater");
    return names;
}

double CDeviceBoard::BuzzerHz() const
{
    if (!m_profile.buzzer)
        return 0;
    if (m_profile.buzzer->pin.chip == CPin::Chip::Ctc)
        return m_ctc->ToneHz(m_profile.buzzer->pin.port);
    return m_buzzerPeriod ? double(kCyclesPerSecond) / double(m_buzzerPeriod) : 0;
}

std::string CDeviceBoard::State(const std::string& device) const
{
    const CBoardProfile& p = m_profile;
    auto bits = [](BYTE value, std::size_t count, char one, char zero) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i)
            text += (value >> i & 1) ? one : zero;
        return text;
    };
    if (device == "leds")
        return bits(m_leds, p.leds->pins.size(), '*', '.');
    if (device == "switches")
        return bits(m_switches, p.switches->pins.size(), '1', '0');
    if (device == "buttons") {
        std::string text;
        for (std::size_t i = 0; i < p.buttons->pins.size(); ++i)
            text += std::string(i ? " " : "") + ((m_buttons >> i & 1) ? "down" : "up");
        return text;
    }
    if (device == "pulse")
        return std::to_string(m_pulseHz) + " Hz";
    if (device == "buzzer") {
        double hz = BuzzerHz();
        return hz > 0 ? Format("on %.0f Hz", hz) : "off";
    }
    if (device == "seg7")
        return Quoted(m_seg7->Text(m_cycle));
    if (device == "keypad") {
        std::string text;
        for (int key = 0; key < 16; ++key)
            if (m_keypad->Down() >> key & 1)
                text += std::string(text.empty() ? "" : " ") + "0123456789ABCDEF"[key];
        return text.empty() ? "none" : text;
    }
    if (device == "lcd")
        return Quoted(m_lcd->Line(0)) + " " + Quoted(m_lcd->Line(1));
    if (device == "adc") {
        std::string text;
        for (int channel = 0; channel < 8; ++channel)
            text += (channel ? " " : "") + Hex(m_adc->Input(channel));
        return text + (m_adc->EndOfConversion() ? ", result " : ", converting, result ") + Hex(m_adc->Result());
    }
    if (device == "dac")
        return Hex(m_dac->Value());
    if (device == "stepper") {
        std::string phases;
        for (int i = 0; i < 4; ++i)
            if (m_stepper->Phases() >> i & 1)
                phases += char('A' + i);
        return Format("%.1f deg, phases ", m_stepper->Degrees()) + (phases.empty() ? "none" : phases);
    }
    if (device == "heater")
        return Format("%.1f deg C", m_heater->Temperature()) + Format(", power %.0f%%", m_heater->Power() * 100 / 255.0);
    if (device == "motor")
        return Format("%.0f rpm", m_motor->Rpm()) + Format(", drive %.0f%%", m_motor->Duty() * 100);
    return "";
}

std::string CDeviceBoard::Show() const
{
    std::string text;
    for (const std::string& name : DeviceNames())
        text += name + ": " + State(name) + "\n";
    return text;
}

void CDeviceBoard::SetEventObserver(std::function<void(const CDeviceEvent&)> observer)
{
    m_observer = std::move(observer);
    // Unwatched, the states were not kept: changes count from what the devices show now.
    for (auto& [name, last] : m_lastStates)
        last = State(name);
}

CBoardSignals CDeviceBoard::Signals() const
{
    CBoardSignals signals;
    for (std::size_t port = 0; port < 4; ++port)
        signals.cpuPins[port] = BYTE(m_latch[port] & m_drive[port]);
    if (m_ppi)
        for (int port = 0; port < 3; ++port)
            signals.ppiPins[std::size_t(port)] = m_ppi->Read(port);
    if (m_dac)
        signals.dac = m_dac->Value();
    signals.serial = m_serialLines;
    if (m_ctc)
        for (int counter = 0; counter < 3; ++counter)
            signals.ctc = BYTE(signals.ctc | m_ctc->Output(counter, m_cycle) << counter);
    return signals;
}

void CDeviceBoard::SetSignalObserver(std::function<void(std::uint64_t, const CBoardSignals&)> observer)
{
    m_signalObserver = std::move(observer);
    m_watchedPorts = m_signalObserver ? BYTE(0x0F) : m_deviceReadPorts;
}

}
