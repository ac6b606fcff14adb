#include "tools/common/LinkFailure.h"

#include "zorkit/link/LinkErrors.h"
#include "zorkit/platform/serial/PortTable.h"

std::string DescribeLinkFailure(CZORComm& link, const std::string& waitForReset)
{
    switch (link.PopError()) {
    case ERR_BOARD_REFUSED: return "the board refused the command (answered 0x55)";
    case ERR_BLOCK_INCOMPLETE: return "the board's data block did not arrive complete within 500 ms";
    case ERR_BLOCK_CHECKSUM: return "the board's data block had a wrong checksum";
    case ERR_READ: return "reading from the serial port failed";
    case ERR_WRITE: return "writing to the serial port failed";
    default: break;
    }
    if (link.IsProgExcAll())
        return "the program runs without breakpoints; only a reset of the board ends it" +
               (waitForReset.empty() ? std::string() : " (" + waitForReset + ")");
    if (!link.IsZORConnect())
        return "no answer from the board within 500 ms; the link is down (press the board's reset key" +
               (waitForReset.empty() ? std::string() : ", then " + waitForReset) + ")";
    return "the command was refused";
}

std::string DescribeGoneLine(const std::string& device)
{
    if (zorkit::IsNetworkSerialName(device))
        return "the port server closed the connection: " + device + " (its server or PC stopped, or the network broke)";
    return "the serial adapter is gone: " + device + " was unplugged or switched off";
}
