// A program's bytes placed in the 8051 code space, with the addresses that hold none.
// Bytes never placed read as FF, as erased program memory does.
//
//   tools::CCodeImage image;
//   image.Put(0x0100, bytes);
//   for (const tools::CCodeImage::Run& run : image.GetRuns())
//       for (unsigned address = run.first; address < run.end; ++address)
//           Use(image.At(address));
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace tools {

class CCodeImage {
public:
    // Addresses first to end - 1, all holding bytes.
    struct Run {
        unsigned first;
        unsigned end;
    };

    static constexpr unsigned kSize = 0x10000;
    // Bytes readable through Data() past FFFF, so that the longest instruction
    // decoded at FFFF stays inside the buffer (they read as unknown FF).
    static constexpr unsigned kLongestInstruction = 3;

    CCodeImage();

    void Clear();
    // Places bytes from address on, wrapping at FFFF as the program counter does;
    // only bytes whose unwrapped address lies in first to last are kept.
    void Put(std::uint32_t address, const std::vector<std::uint8_t>& bytes, std::uint32_t first = 0,
        std::uint32_t last = std::numeric_limits<std::uint32_t>::max());

    // True when address (any value) lies in the code space and holds a byte.
    bool IsKnown(long address) const { return address >= 0 && address < long(kSize) && m_known[std::size_t(address)]; }
    bool IsEmpty() const { return m_count == 0; }
    std::uint8_t At(unsigned address) const { return m_bytes[address]; }
    // The code space with kLongestInstruction - 1 bytes after FFFF.
    const std::uint8_t* Data() const { return m_bytes.data(); }
    // n bytes from address, wrapping at FFFF.
    std::vector<std::uint8_t> Read(std::uint16_t address, std::size_t n) const;

    // The runs of contiguous bytes in ascending order.
    std::vector<Run> GetRuns() const;

private:
    std::vector<std::uint8_t> m_bytes;
    std::vector<bool> m_known;
    std::size_t m_count = 0;
};

}
