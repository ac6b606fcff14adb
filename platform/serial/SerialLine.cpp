#include "zorkit/platform/serial/internal/SerialLine.h"

#include "zorkit/platform/serial/PortTable.h"
#include "zorkit/platform/serial/internal/NetworkLine.h"
#include "zorkit/platform/serial/internal/TerminalLine.h"

namespace zorkit {

std::unique_ptr<CSerialLine> OpenSerialLine(const std::string& path, SerialOpenFailure& failure)
{
    if (!IsNetworkSerialName(path))
        return CTerminalLine::Open(path, failure);
    NetworkAddress address;
    if (!ParseNetworkAddress(path, address)) {
        failure = SerialOpenFailure::NoSuchDevice;
        return nullptr;
    }
    return CNetworkLine::Open(address, failure);
}

}
