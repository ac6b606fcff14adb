// The board's side of the monitor's serial protocol: answer bytes, sign-on
// banner, command codes and CPU types.
#pragma once

#include <array>
#include <cstddef>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

constexpr BYTE kAck = 0xAA;
constexpr BYTE kNak = 0x55;

// Sent by the monitor after every hardware reset.
constexpr std::array<BYTE, 9> kBanner = {'T', 'O', 'L', 'V', 'E', 'N', 'A', 'R', 'K'};

// The value is the size in bytes of the CPU's register image.
enum class CpuType : BYTE {
    Intel8051 = 26,
    Intel8086 = 28,
    Intel8098 = 30,
};

constexpr std::size_t RegisterImageSize(CpuType cpu) { return static_cast<std::size_t>(cpu); }

enum MonitorCommand : BYTE {
    CMD_PROG_DLD = 0x01,
    CMD_EXMEM_DLD = 0x02,
    CMD_EXMEM_ULD = 0x03,
    CMD_INMEM_DLD = 0x07,
    CMD_INMEM_ULD = 0x08,
    CMD_REG_DLD = 0x09,
    CMD_REG_ULD = 0x0A,
    CMD_PROG_RESET = 0x0B,
    CMD_PROG_EXEC = 0x0C,
    CMD_GOTO_CURSOR = 0x0D,
    CMD_STEP = 0x0E,
    CMD_TRACE = 0x0F,
    CMD_SET_BREAK = 0x10,
    CMD_CLEAR_BREAK = 0x11,
    CMD_CLEAR_ALL_BREAK = 0x12,
    CMD_KEY_MONITOR = 0x13,
};

// The additive 8-bit checksum of frames and data blocks.
inline BYTE Checksum(const BYTE* data, std::size_t n)
{
    BYTE sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum = BYTE(sum + data[i]);
    return sum;
}

}
