#include "tools/zorstudio/BoardLine.h"

#include <iterator>

#include "tools/common/SystemReason.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/serial/PortTable.h"

namespace zorstudio {

int BaudIndex(int baud)
{
    for (int i = 0; i < int(std::size(CCommPort::kBaudRates)); ++i)
        if (CCommPort::kBaudRates[i] == baud)
            return i;
    return -1;
}

std::unique_ptr<CBoardLine> CBoardLine::Open(const CLineChoice& choice, std::string& error)
{
    const int baudIndex = BaudIndex(choice.baud);
    if (baudIndex < 0) {
        error = Tr("{1} baud is not a rate of the board (9600, 4800, 2400, 1200 or 600)", {std::to_string(choice.baud)});
        return nullptr;
    }
    std::unique_ptr<CBoardLine> line(new CBoardLine);
    line->m_choice = choice;
    std::string path = choice.device;
    if (choice.IsVirtual()) {
        line->m_board = std::make_shared<zorkit::sim::CVirtualBoard>();
        line->m_board->AttachDevices(&zorkit::sim::DefaultBoardProfile());
        if (!line->m_board->Start()) {
            error = Tr("the virtual board cannot start: {1}", {tools::SystemReason(line->m_board->LastErrorNumber())});
            return nullptr;
        }
        path = line->m_board->SlavePath();
    }
    zorkit::SetSerialPortPath(kPort, path);
    line->m_link = std::make_unique<CZORComm>(CZORComm::CPU_8051, kPort, baudIndex);
    if (!line->m_link->IsActive()) {
        error = Tr("cannot open the serial device {1}", {path});
        return nullptr;
    }
    return line;
}

}
