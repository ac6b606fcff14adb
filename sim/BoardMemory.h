// What the board holds: 64 KB of code memory (where programs are downloaded),
// 64 KB of external data memory, 256 bytes of internal memory and the register
// image, whose size follows the CPU type. Addresses wrap within each space, as the
// monitor's pointer registers do.
#pragma once

#include <cstddef>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/BoardProtocol.h"

namespace zorkit::sim {

enum class MemorySpace {
    Code,
    External,
    Internal,
};

class CBoardMemory {
public:
    CBoardMemory();

    std::vector<BYTE> Read(MemorySpace space, WORD address, std::size_t n) const;
    // The whole space (64 KB, or 256 bytes of internal memory), for the CPU core.
    BYTE* Bytes(MemorySpace space) { return Space(space).data(); }
    void Write(MemorySpace space, WORD address, const BYTE* data, std::size_t n);

    CpuType Cpu() const { return m_cpu; }
    // Resizes the register image; bytes that remain keep their values.
    void SetCpu(CpuType cpu);
    // The stored register image of a board without a CPU core (8086, 8098).
    const std::vector<BYTE>& Registers() const { return m_registers; }
    // Takes the first image-size bytes of data; a shorter data leaves the rest as it was.
    void SetRegisters(const BYTE* data, std::size_t n);

private:
    std::vector<BYTE>& Space(MemorySpace space);
    const std::vector<BYTE>& Space(MemorySpace space) const;

    std::vector<BYTE> m_code;
    std::vector<BYTE> m_external;
    std::vector<BYTE> m_internal;
    CpuType m_cpu = CpuType::Intel8051;
    std::vector<BYTE> m_registers;
};

}
