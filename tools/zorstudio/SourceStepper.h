// A C program's side of the debugging session, on the board's thread: steps by C line
// through the source debugger, and reads what a stop shows of the program (the call
// stack, and the variables of a frame and the globals, decoded by their types).
//
//   CSourceStepper stepper(link, info, code, [&] { return WaitForTheStop(); });
//   stepper.Adopt(snapshot.registers, snapshot.internalRam);   // the stop the host read
//   stepper.Step(SourceStep::Over, breakpoints);
//   CSourceStop stop = stepper.Read(0);
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/cdebug/SourceDebugger.h"

namespace zorstudio {

enum class SourceStep { Over, Into, Out };

struct CStackFrame {
    std::string function;   // "??" outside the C functions
    std::string file;       // as the debug records name it: the file's name
    int line = 0;           // 0: no C line
    WORD pc = 0;

    bool operator==(const CStackFrame& o) const
    {
        return function == o.function && file == o.file && line == o.line && pc == o.pc;
    }
};

struct CWatchValue {
    std::string name;
    std::string type;       // "unsigned int", "struct point", ...
    std::string value;      // as the debugger prints it; the reason when it cannot be read
    bool global = false;
    bool readable = true;
    bool editable = false;  // a scalar that was read

    bool operator==(const CWatchValue& o) const
    {
        return name == o.name && type == o.type && value == o.value && global == o.global && readable == o.readable;
    }
};

// What a stop shows of a C program.
struct CSourceStop {
    std::vector<CStackFrame> frames;    // innermost first
    std::size_t selected = 0;           // the frame whose locals are watched
    std::vector<CWatchValue> watches;   // the selected frame's locals, then the globals

    bool operator==(const CSourceStop& o) const
    {
        return frames == o.frames && selected == o.selected && watches == o.watches;
    }
};

class CSourceStepper {
public:
    CSourceStepper(CZORComm& link, std::shared_ptr<const cdebug::CDebugInfo> info, std::vector<BYTE> code,
                   cdebug::CSourceDebugger::WaitStop waitStop);

    const cdebug::CDebugInfo& Info() const { return *m_info; }
    // The stop as the host read it (register image, internal RAM from 00).
    void Adopt(const std::vector<BYTE>& registers, const std::vector<BYTE>& internal);
    // From the stop adopted (or reached by the last step); breakpoints are the host's.
    bool Step(SourceStep step, const std::set<WORD>& breakpoints);
    // The call stack and the watches of frame `frame` (the innermost when it has none).
    CSourceStop Read(std::size_t frame);
    // Writes a scalar variable of frame `frame`.
    bool Write(const std::string& name, const std::string& value, std::size_t frame);
    const std::string& Error() const { return m_debugger.Error(); }
    int Operations() const { return m_debugger.Operations(); }

private:
    std::shared_ptr<const cdebug::CDebugInfo> m_info;
    cdebug::CSourceDebugger m_debugger;
};

}
