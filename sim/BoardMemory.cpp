#include "sim/BoardMemory.h"

#include <algorithm>

namespace zorkit::sim {

CBoardMemory::CBoardMemory()
    : m_code(0x10000), m_external(0x10000), m_internal(0x100), m_registers(RegisterImageSize(m_cpu))
{
}

std::vector<BYTE>& CBoardMemory::Space(MemorySpace space)
{
    switch (space) {
    case MemorySpace::Code: return m_code;
    case MemorySpace::External: return m_external;
    case MemorySpace::Internal: break;
    }
    return m_internal;
}

const std::vector<BYTE>& CBoardMemory::Space(MemorySpace space) const
{
    return const_cast<CBoardMemory*>(this)->Space(space);
}

std::vector<BYTE> CBoardMemory::Read(MemorySpace space, WORD address, std::size_t n) const
{
    const std::vector<BYTE>& memory = Space(space);
    std::vector<BYTE> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = memory[(address + i) % memory.size()];
    return out;
}

void CBoardMemory::Write(MemorySpace space, WORD address, const BYTE* data, std::size_t n)
{
    std::vector<BYTE>& memory = Space(space);
    for (std::size_t i = 0; i < n; ++i)
        memory[(address + i) % memory.size()] = data[i];
}

void CBoardMemory::SetCpu(CpuType cpu)
{
    m_cpu = cpu;
    m_registers.resize(RegisterImageSize(cpu));
}

void CBoardMemory::SetRegisters(const BYTE* data, std::size_t n)
{
    std::copy_n(data, std::min(n, m_registers.size()), m_registers.begin());
}

}
