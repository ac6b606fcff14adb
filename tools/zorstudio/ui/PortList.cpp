#include "tools/zorstudio/ui/PortList.h"

#include "tools/common/SerialDevices.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/link/CommPort.h"

namespace zorstudio {

std::vector<CPortEntry> PortEntries(int baud, const CLineChoice& remembered)
{
    std::vector<CPortEntry> entries;
    if (!remembered.IsVirtual())
        entries.push_back({remembered, TrGbk("last used: {1} at {2} baud", {remembered.device, std::to_string(remembered.baud)})});
    entries.push_back({CLineChoice{"", baud}, TrGbk("virtual board")});
    for (const CSerialDevice& device : FindSerialDevices().devices)
        entries.push_back({CLineChoice{device.path, baud}, device.path + (device.usb.empty() ? "" : "  " + device.usb)});
    return entries;
}

CPortList::CPortList(std::vector<CPortEntry> entries) : CDropDownList(ItemsOf(entries)), m_entries(std::move(entries))
{
    onChoose = [this](std::size_t index) {
        if (onChosen)
            onChosen(m_entries[index].choice);
    };
}

std::vector<CDropDownItem> CPortList::ItemsOf(const std::vector<CPortEntry>& entries)
{
    std::vector<CDropDownItem> items;
    for (const CPortEntry& entry : entries)
        items.push_back({entry.label, "", true});
    return items;
}

CBaudList::CBaudList(int inUse) : CDropDownList(ItemsOf(inUse))
{
    onChoose = [this](std::size_t index) {
        if (onChosen)
            onChosen(CCommPort::kBaudRates[index]);
    };
}

std::vector<CDropDownItem> CBaudList::ItemsOf(int inUse)
{
    std::vector<CDropDownItem> items;
    for (int rate : CCommPort::kBaudRates)
        items.push_back({TrGbk("{1} baud", {std::to_string(rate)}), rate == inUse ? TrGbk("in use") : "", true});
    return items;
}

}
