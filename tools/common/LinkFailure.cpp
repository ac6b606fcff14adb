#include "tools/common/LinkFailure.h"

#include "tools/common/Wording.h"
#include "zorkit/link/LinkErrors.h"
#include "zorkit/platform/serial/PortTable.h"

std::string DescribeLinkFailure(CZORComm& link, const std::string& waitForReset)
{
    switch (link.PopError()) {
    case ERR_BOARD_REFUSED: return tools::Say("the board refused the command (answered 0x55)");
    case ERR_BLOCK_INCOMPLETE: return tools::Say("the board's data block did not arrive complete within 500 ms");
    case ERR_BLOCK_CHECKSUM: return tools::Say("the board's data block had a wrong checksum");
    case ERR_READ: return tools::Say("reading from the serial port failed");
    case ERR_WRITE: return tools::Say("writing to the serial port failed");
    default: break;
    }
    if (link.IsProgExcAll())
        return waitForReset.empty()
                   ? tools::Say("the program runs without breakpoints; only a reset of the board ends it")
                   : tools::Say("the program runs without breakpoints; only a reset of the board ends it ({1})", {waitForReset});
    if (!link.IsZORConnect())
        return waitForReset.empty()
                   ? tools::Say("no answer from the board within 500 ms; the link is down (press the board's reset key)")
                   : tools::Say("no answer from the board within 500 ms; the link is down (press the board's reset key, then {1})",
                                {waitForReset});
    return tools::Say("the command was refused");
}

std::string DescribeGoneLine(const std::string& device)
{
    if (zorkit::IsNetworkSerialName(device))
        return tools::Say("the port server closed the connection: {1} (its server or PC stopped, or the network broke)", {device});
    return tools::Say("the serial adapter is gone: {1} was unplugged or switched off", {device});
}
