#include "tools/common/ProgramDownload.h"

#include <algorithm>

namespace {
constexpr std::size_t kProgramChunk = 64;
constexpr std::uint32_t kCodeSpace = 0x10000;
}

bool FitsCodeSpace(const std::vector<CIntelHex::Run>& runs)
{
    return std::all_of(runs.begin(), runs.end(),
                       [](const CIntelHex::Run& run) { return run.address + run.bytes.size() <= kCodeSpace; });
}

bool DownloadProgram(CZORComm& link, const std::vector<CIntelHex::Run>& runs,
                     const std::function<void(WORD, const BYTE*, std::size_t)>& sent)
{
    for (const CIntelHex::Run& run : runs) {
        for (std::size_t at = 0; at < run.bytes.size(); at += kProgramChunk) {
            const std::size_t n = std::min(kProgramChunk, run.bytes.size() - at);
            const WORD address = WORD(run.address + at);
            std::vector<BYTE> record = {BYTE(n), 0, BYTE(address & 0xFF), BYTE(address >> 8)};
            record.insert(record.end(), run.bytes.begin() + long(at), run.bytes.begin() + long(at + n));
            if (!link.ProgDld(record.data(), DWORD(record.size())))
                return false;
            if (sent)
                sent(address, run.bytes.data() + at, n);
        }
    }
    return true;
}
