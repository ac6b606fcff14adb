// A board's devices wired to an 8051 core: the core's latch changes, bus cycles at
// the devices' pages and the ticks they ask for reach the devices, and what the
// devices drive on the pins goes back to the core. Attaches itself on construction
// and detaches on destruction.
//
//   CCoreDevices wired(core, DefaultBoardProfile());
//   wired.Act([](CDeviceBoard& devices) { devices.SetButton(0, true); });
//
// Not thread-safe: the core's owner serialises every call.
#pragma once

#include <functional>

#include "sim/cpu/Core8051.h"
#include "sim/cpu/CoreIo.h"
#include "sim/devices/DeviceBoard.h"

namespace zorkit::sim {

class CCoreDevices : public CBoardWiring {
public:
    CCoreDevices(C8051Core& core, const CBoardProfile& profile);
    ~CCoreDevices() override;
    CCoreDevices(const CCoreDevices&) = delete;
    CCoreDevices& operator=(const CCoreDevices&) = delete;

    // Runs `action` on the devices brought to the core's time, then gives the core
    // what they drive now.
    void Act(const std::function<void(CDeviceBoard&)>& action);
    // The devices, with every latch they read up to date.
    const CDeviceBoard& Devices();

    void LatchChanged(int port, BYTE latch) override;
    BYTE ReadBus(WORD address) override;
    void WriteBus(WORD address, BYTE value) override;
    void Tick(std::uint64_t now) override;
    void SerialLineChanged(int line, bool level) override;

private:
    // Pins and the next tick, from the devices to the core.
    void Sync();
    // The latches the core does not report as they change (the devices need them
    // only now), to the devices.
    void CatchUp();
    // Tells the core which latch changes to report at once.
    void ChooseReportedPorts();

    C8051Core& m_core;
    CDeviceBoard m_devices;
    std::array<BYTE, 4> m_driven{0xFF, 0xFF, 0xFF, 0xFF};
    std::uint64_t m_tickAsked = 0;
    // The ports whose latches CatchUp reads.
    BYTE m_latePorts = 0;
};

}
