// An 8051 source of about 16 KB of code: a jump over data to a loop at the label done.
#pragma once

#include <string>

namespace zorkit::studio::test {

inline std::string BigProgramSource(int bytes = 16384)
{
    std::string text = "\t.area\tCODE (ABS)\n\t.org\t0x0100\n\tljmp\tstart\n";
    for (int i = 0; i < (bytes - 8) / 16; ++i)
        text += "\t.db\t1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n";
    return text + "start:\tmov\ta, #1\ndone:\tsjmp\tdone\n";
}

}
