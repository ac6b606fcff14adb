#include "tests/sim/CoreRig.h"

#include <algorithm>

#include "tools/common/IntelHex.h"

namespace zorkit::sim::test {

bool CCoreRig::Load(const std::string& path, std::string& error)
{
    CIntelHex hex;
    if (!hex.LoadFile(path)) {
        error = hex.GetError();
        return false;
    }
    for (const CIntelHex::Run& run : hex.GetRuns()) {
        if (run.address + run.bytes.size() > code.size()) {
            error = path + ": code beyond 64 KB";
            return false;
        }
        std::copy(run.bytes.begin(), run.bytes.end(), code.begin() + run.address);
    }
    return true;
}

}
