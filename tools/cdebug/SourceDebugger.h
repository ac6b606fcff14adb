// Debugging an 8051 C program at the source line over the board's link. The
// monitor only runs, steps one instruction and stops at breakpoints, so a step by
// line plants temporary breakpoints where the line's code can lead (the lines it
// jumps or falls to, a callee's first line, the caller's return address), runs once
// and takes them away: a few frames on the serial line, not one step per instruction.
//
//   CSourceDebugger debugger(link, info, code, [&] { return WaitForStop(30); });
//   debugger.Break("blink.c:12");
//   debugger.Start(0x0100);
//   debugger.Next();
//   for (const CFrame& frame : debugger.Where()) ...
//   std::string text = debugger.Print("buf[0]").value_or(debugger.Error());
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/cdebug/DebugInfo.h"
#include "zorkit/link/ZORComm.h"

namespace cdebug {

struct CFrame {
    const CFunction* function = nullptr; // null outside the C functions
    WORD pc = 0;
    const CLineEntry* line = nullptr;
    int framePointer = -1; // the value of _bp for this frame, when the program has one
    // Where a caller's registers are kept while its callee runs: what it pushed just
    // before its call (sdcc saves what is live across a call), or for an interrupted
    // function what the handler pushed and its bank for the rest. Register number in
    // its bank -> internal RAM address.
    std::map<int, int> savedRegisters;
};

class CSourceDebugger {
public:
    // Waits for the board's report that the run ended; false when it did not come.
    using WaitStop = std::function<bool()>;

    // `code` is the program's 64 KB code image (as downloaded).
    CSourceDebugger(CZORComm& link, const CDebugInfo& info, std::vector<BYTE> code, WaitStop waitStop);

    // A breakpoint on FILE:LINE or on a function's first line; false with Error().
    std::optional<WORD> Break(const std::string& where);
    // Runs from `entry` until a breakpoint.
    bool Start(WORD entry);
    // Runs on from the stop until a breakpoint.
    bool Continue();
    // By C line: over calls, into them, and out of the current function.
    bool Next() { return StepLine(false); }
    bool Step() { return StepLine(true); }
    bool Finish();
    // Reads the state of a stop the debugger did not cause (the registers and the stack).
    bool Refresh();
    // Takes the state of a stop the host has read itself: the register image and the
    // internal RAM from 00 (at least up to SP), so that no link operation repeats it.
    void Adopt(std::vector<BYTE> registers, std::vector<BYTE> internal);
    // Breakpoints the host keeps on the board: they end every step and are never taken away.
    void SetHostBreakpoints(const std::set<WORD>& addresses) { m_breakpoints = addresses; }

    // The call stack at the stop, innermost first.
    std::vector<CFrame> Where() const;
    // "main blink.c:12", or the address where no C line is.
    std::string Describe(const CFrame& frame) const;
    // "i = 7", "buf[0] = 'h'", "pt = {x = 24, y = 0, z = 0}" for NAME, NAME[N],
    // NAME.FIELD, *NAME and their combinations, in frame `frame` of Where() (0: the
    // innermost). An outer frame's variables kept in registers are read where the
    // caller saved them for its call; registers it did not save hold nothing it needs.
    std::optional<std::string> Print(const std::string& expression, std::size_t frame = 0);
    // Writes VALUE (a decimal, 0x hexadecimal, 'c' or a float) to a scalar.
    bool Set(const std::string& expression, const std::string& value, std::size_t frame = 0);

    const std::string& Error() const { return m_error; }
    // Link operations (frames that got an answer or failed) since construction.
    int Operations() const { return m_operations; }
    bool Stopped() const { return m_stopped; }
    WORD Pc() const;

private:
    enum class Want { SameOrOuter, Callee, Outer };
    struct CPlace;

    bool StepLine(bool into);
    // Runs from the PC with the temporary breakpoints until one of them holds (or a
    // breakpoint of the user is met).
    bool RunWith(const std::map<WORD, Want>& temporary);
    bool Go(WORD from);
    bool ReadStop();
    bool Count(BOOL ok);
    bool Fail(const std::string& why);
    std::optional<WORD> ReturnAddress() const;
    // Where the pushes right before the call at `call` left the caller's registers,
    // given the address of the return address's high byte.
    std::map<int, int> SavedRegisters(const CFunction& caller, WORD call, int returnHigh) const;
    // Where an interrupted function's registers are while `handler` runs.
    std::map<int, int> InterruptedRegisters(const CFunction& handler, const CFunction& interrupted, int returnHigh) const;

    std::optional<CPlace> Resolve(const std::string& expression, std::size_t frame);
    std::optional<std::vector<BYTE>> ReadPlace(const CPlace& place, int size);
    std::optional<std::vector<BYTE>> ReadMemory(Storage storage, int address, int size);
    std::string Format(const CPlace& place, bool inArray);
    bool WriteMemory(const CPlace& place, const std::vector<BYTE>& bytes);

    CZORComm& m_link;
    const CDebugInfo& m_info;
    std::vector<BYTE> m_code;
    WaitStop m_waitStop;
    std::set<WORD> m_breakpoints;
    std::vector<BYTE> m_registers;
    std::vector<BYTE> m_internal; // internal RAM from 00 up to SP at the stop
    bool m_stopped = false;
    int m_operations = 0;
    std::string m_error;
};

}
