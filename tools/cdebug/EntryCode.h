// Where a function's first parameter is before its entry code has put it in the
// registers the debug records give for the whole function. The caller passes it in
// DPL, DPH, B and A (least significant byte first); the entry code moves it on, at
// times through A and only partway through the first line, and where the compiler
// kept working on it in DPL no move comes at all.
//
//   if (auto now = ParameterRegistersAt(code, function, variable, pc))
//       read(now->registers);        // and write now->copies too
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/cdebug/DebugInfo.h"

namespace cdebug {

struct CParameterRegisters {
    std::vector<std::string> registers; // "r7", "dpl", "a": one per byte, least significant first
    // Other registers holding a byte at the moment, which the entry code may move on.
    std::vector<std::pair<std::size_t, std::string>> copies;
};

// Where the bytes of `variable`, a local of `function` kept in registers, are when
// the program stands at `pc`: its own registers unless it is the first parameter and
// the entry code has not yet moved it there. Nothing when a byte was overwritten
// before it reached its register.
std::optional<CParameterRegisters> ParameterRegistersAt(const std::vector<BYTE>& code, const CFunction& function,
                                                        const CVariable& variable, WORD pc);

}
