// The lines offered under the Port button: the line used last (when it was a serial
// device), the virtual board, then the serial devices `zorlink ports` lists, one row
// each. A click on one hands its choice to the host. The baud rates the link can
// set are offered the same way, the one in use marked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/zorstudio/BoardLine.h"
#include "tools/zorstudio/ui/DropDownList.h"

namespace zorstudio {

struct CPortEntry {
    CLineChoice choice;
    std::string label;
};

// The remembered serial device first ("last used: ..." at its own baud rate), then the
// virtual board and this machine's serial devices at the given baud rate. A remembered
// virtual board adds no entry: the virtual board is offered anyway.
std::vector<CPortEntry> PortEntries(int baud, const CLineChoice& remembered = {});

class CPortList : public CDropDownList {
public:
    explicit CPortList(std::vector<CPortEntry> entries);

    const std::vector<CPortEntry>& Entries() const { return m_entries; }

    std::function<void(const CLineChoice&)> onChosen;

private:
    static std::vector<CDropDownItem> ItemsOf(const std::vector<CPortEntry>& entries);
    std::vector<CPortEntry> m_entries;
};

class CBaudList : public CDropDownList {
public:
    // A row for each rate the link can set, fastest first.
    explicit CBaudList(int inUse);

    std::function<void(int)> onChosen;

private:
    static std::vector<CDropDownItem> ItemsOf(int inUse);
};

}
