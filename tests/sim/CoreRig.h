// An 8051 core over memories of its own, loaded from an Intel HEX file.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "sim/cpu/Core8051.h"

namespace zorkit::sim::test {

struct CCoreRig {
    CCoreRig() : core(code.data(), xdata.data(), idata.data()) {}

    // Loads the image into code memory; false with `error` set.
    bool Load(const std::string& path, std::string& error);

    std::vector<BYTE> code = std::vector<BYTE>(0x10000);
    std::vector<BYTE> xdata = std::vector<BYTE>(0x10000);
    std::vector<BYTE> idata = std::vector<BYTE>(0x100);
    C8051Core core;

    // Puts code at `address` and the PC on it.
    void Program(const std::vector<BYTE>& bytes, WORD address = 0)
    {
        std::copy(bytes.begin(), bytes.end(), code.begin() + address);
        core.SetPC(address);
    }
    // Executes n instructions; false when one is A5.
    bool Steps(int n)
    {
        for (int i = 0; i < n; ++i)
            if (!core.Step())
                return false;
        return true;
    }
};

}
