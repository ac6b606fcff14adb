#include "tools/zorstudio/TargetSnapshot.h"

#include <algorithm>

#include "tools/zorstudio/RegisterLayout.h"

namespace zorstudio {
namespace {

std::vector<int> ChangedBytes(const std::vector<BYTE>& before, const std::vector<BYTE>& after)
{
    std::vector<int> changed;
    if (before.size() != after.size())
        return changed;
    for (std::size_t i = 0; i < after.size(); ++i)
        if (before[i] != after[i])
            changed.push_back(int(i));
    return changed;
}

}

CSnapshotChanges CompareSnapshots(const CTargetSnapshot& before, const CTargetSnapshot& after)
{
    CSnapshotChanges changes;
    if (!before.valid || !after.valid)
        return changes;
    changes.registerBytes = ChangedBytes(before.registers, after.registers);
    changes.internalBytes = ChangedBytes(before.internalRam, after.internalRam);
    if (before.externalAddress == after.externalAddress)
        changes.externalBytes = ChangedBytes(before.external, after.external);
    const auto& layout = RegisterLayout();
    for (int offset : changes.registerBytes)
        if (const CRegisterField* field = RegisterAt(offset))
            changes.registers.push_back(int(field - layout.data()));
    // Both bytes of a wide register may have changed.
    std::sort(changes.registers.begin(), changes.registers.end());
    changes.registers.erase(std::unique(changes.registers.begin(), changes.registers.end()), changes.registers.end());
    return changes;
}

}
