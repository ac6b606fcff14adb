// A program's bytes placed in the 8051 code space, with the addresses that hold none.
//
//   CCodeImage image;
//   image.Add(0x0100, bytes, 0x0000, 0xFFFF);
//   for (const CCodeImage::Run& run : image.GetRuns())
//       for (unsigned address = run.first; address < run.end; ++address)
//           Use(image.At(address));
#pragma once

#include <vector>

class CCodeImage {
public:
    // Addresses first to end - 1, all holding bytes.
    struct Run {
        unsigned first;
        unsigned end;
    };

    static constexpr unsigned kSize = 0x10000;

    CCodeImage();

    // Places bytes from address on; only those at first to last are kept. The bytes
    // must fit in the code space.
    void Add(unsigned long address, const std::vector<unsigned char>& bytes, unsigned long first, unsigned long last);

    // True when address (any value) lies in the code space and holds a byte.
    bool Has(long address) const { return address >= 0 && address < long(kSize) && m_present[address]; }
    unsigned char At(unsigned address) const { return m_bytes[address]; }
    const unsigned char* Data() const { return m_bytes.data(); }

    // The runs of contiguous bytes in ascending order.
    std::vector<Run> GetRuns() const;

private:
    std::vector<unsigned char> m_bytes;
    std::vector<bool> m_present;
};
