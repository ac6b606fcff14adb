// Downloads program bytes to a board's code memory, one program-image record per
// 64-byte frame (the most a frame carries), so that progress moves with every frame.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "tools/common/IntelHex.h"
#include "zorkit/link/ZORComm.h"

// Bytes beyond address FFFF do not fit the board's 64 KB code space.
bool FitsCodeSpace(const std::vector<CIntelHex::Run>& runs);

// Sends every run; `sent` hears of each frame acknowledged (its address and bytes).
// Stops at the first frame that fails; the frames before it stay on the board.
bool DownloadProgram(CZORComm& link, const std::vector<CIntelHex::Run>& runs,
                     const std::function<void(WORD address, const BYTE* bytes, std::size_t n)>& sent = {});
