#include "sim/devices/CoreDevices.h"

namespace zorkit::sim {

CCoreDevices::CCoreDevices(C8051Core& core, const CBoardProfile& profile) : m_core(core), m_devices(profile)
{
    m_core.AttachWiring(this);
    const CBoardProfile& p = profile;
    for (const auto* device : {&p.seg7, &p.keypad, &p.lcd, &p.dac, &p.ppi, &p.ctc})
        if (*device)
            m_core.MapBus((*device)->address, WORD((*device)->address | 0xFF));
    if (p.adc)
        m_core.MapBus(p.adc->address, WORD(p.adc->address | 0xFF));
    for (int port = 0; port < 4; ++port)
        m_devices.OnPortLatch(port, m_core.Latch(port), m_core.Cycles());
    m_tickAsked = ~std::uint64_t(0);
    ChooseReportedPorts();
    Sync();
}

CCoreDevices::~CCoreDevices()
{
    m_core.AttachWiring(nullptr);
    for (int port = 0; port < 4; ++port)
        m_core.DrivePins(port, 0xFF);
}

void CCoreDevices::Sync()
{
    for (int port = 0; port < 4; ++port) {
        BYTE drive = m_devices.PinDrive(port);
        if (drive != m_driven[std::size_t(port)]) {
            m_driven[std::size_t(port)] = drive;
            m_core.DrivePins(port, drive);
        }
    }
    std::uint64_t next = m_devices.NextChange();
    // The core keeps the earliest request; one for a later time is only made once
    // the earlier has come.
    if (next < m_tickAsked || m_tickAsked <= m_core.Cycles()) {
        m_tickAsked = next;
        m_core.RequestTick(next);
    }
}

void CCoreDevices::CatchUp()
{
    for (int port = 0; m_latePorts >> port; ++port)
        if ((m_latePorts >> port & 1) && m_core.Latch(port) != m_devices.Latch(port))
            m_devices.OnPortLatch(port, m_core.Latch(port), m_core.Cycles());
}

void CCoreDevices::ChooseReportedPorts()
{
    BYTE atOnce = m_devices.PortsNeededAtOnce();
    m_latePorts = BYTE(m_devices.WatchedPorts() & ~atOnce);
    m_core.SetWiringPorts(atOnce);
    m_core.WatchSerialLines(m_devices.WatchesSignals());
}

const CDeviceBoard& CCoreDevices::Devices()
{
    CatchUp();
    return m_devices;
}

void CCoreDevices::Act(const std::function<void(CDeviceBoard&)>& action)
{
    CatchUp();
    m_devices.AdvanceTo(m_core.Cycles());
    action(m_devices);
    // The action may have started or ended watching.
    CatchUp();
    ChooseReportedPorts();
    Sync();
}

void CCoreDevices::SerialLineChanged(int line, bool level)
{
    m_devices.OnSerialLine(line, level, m_core.Cycles());
}

void CCoreDevices::LatchChanged(int port, BYTE latch)
{
    if (m_devices.OnPortLatch(port, latch, m_core.Cycles()))
        Sync();
}

BYTE CCoreDevices::ReadBus(WORD address)
{
    CatchUp();
    BYTE value = 0xFF;
    m_devices.BusRead(address, m_core.Cycles(), value);
    Sync();
    return value;
}

void CCoreDevices::WriteBus(WORD address, BYTE value)
{
    CatchUp();
    m_devices.BusWrite(address, value, m_core.Cycles());
    Sync();
}

void CCoreDevices::Tick(std::uint64_t now)
{
    m_tickAsked = ~std::uint64_t(0);
    CatchUp();
    m_devices.AdvanceTo(now);
    Sync();
}

}
