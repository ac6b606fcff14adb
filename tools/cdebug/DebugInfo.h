// What the compiler's debug information says about a linked 8051 C program: the
// .cdb that sdcc writes with --debug (line and symbol records), with the linker's
// .map for the stack's start and the frame pointer of reentrant functions.
//
//   CDebugInfo info;
//   if (!info.Load("build/blink.cdb")) fail(info.Error());
//   std::optional<WORD> at = info.AddressOfLine("blink.c", 12);
//   const CFunction* f = info.FunctionAt(pc);
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace cdebug {

// Where a variable lives, as the compiler's address-space letter says.
enum class Storage {
    Register,  // R: registers of the function's bank (or dpl, dph, b, a)
    Data,      // E, G: internal RAM, direct
    Idata,     // internal RAM above 7F, indirect
    Xdata,     // F: external RAM
    Pdata,     // P: a page of external RAM
    Code,      // C, D: code memory
    Bit,       // H: bit space
    Sfr,       // I, J: special function registers and their bits
    Stack,     // A, B: on the stack, at an offset from the frame pointer
    None,      // structure members, optimized-out variables
};

struct CType;
using TypePtr = std::shared_ptr<const CType>;

struct CField {
    std::string name;
    int offset = 0;
    TypePtr type;
};

struct CType {
    enum Kind { Char, Short, Int, Long, Float, Void, Bit, Struct, Pointer, Array, Function };
    Kind kind = Void;
    bool isUnsigned = false;
    int size = 0;          // bytes
    int count = 0;         // Array: elements
    Storage target = Storage::None; // Pointer: what it points into; Xdata etc., None for generic
    bool generic = false;  // Pointer: three bytes with the memory class in the third
    TypePtr element;       // Pointer, Array: what is pointed to, the element
    std::string structName;
    std::vector<CField> fields; // Struct
    int bitPosition = 0;   // Bit: position within its byte, for bit fields
};

struct CVariable {
    std::string name;
    TypePtr type;
    Storage storage = Storage::None;
    std::optional<WORD> address;    // linked address (not for registers and the stack)
    int stackOffset = 0;            // Stack: from the frame pointer
    std::vector<std::string> registers; // Register: least significant byte first
    int level = 0;                  // block nesting, 0 for globals
};

struct CFunction {
    std::string name;
    std::string module;
    WORD start = 0;
    WORD end = 0;           // one past its last byte
    bool isInterrupt = false;
    int interruptNumber = 0;
    int registerBank = 0;
    TypePtr returnType;
    std::vector<CVariable> locals; // parameters and locals
};

struct CLineEntry {
    std::string file;
    int line = 0;
    WORD address = 0;
};

class CDebugInfo {
public:
    // Reads PATH.cdb and, beside it, PATH.map. False with Error() when the .cdb
    // cannot be read or holds no program.
    bool Load(const std::string& cdbPath);
    // Parses the texts of a .cdb and a .map (the map may be empty).
    bool Parse(const std::string& cdb, const std::string& map);
    const std::string& Error() const { return m_error; }

    const std::vector<CFunction>& Functions() const { return m_functions; }
    const std::vector<CVariable>& Globals() const { return m_globals; }
    // Line records in address order (several lines may share an address).
    const std::vector<CLineEntry>& Lines() const { return m_lines; }

    const CFunction* FunctionAt(WORD address) const;
    const CFunction* FunctionNamed(const std::string& name) const;
    // The first address of FILE:LINE (matched on the file's name without folders);
    // a line without code takes the next line that has some, as a debugger does,
    // except above the file's first function: there only a global's initialiser,
    // whose code the startup runs before main, has an address.
    std::optional<WORD> AddressOfLine(const std::string& file, int line) const;
    // Whether FILE:LINE lies above the code of every function of the file.
    bool IsAboveFunctions(const std::string& file, int line) const;
    // Where a stop at a function's name lands: its first line after the entry code.
    WORD BodyOf(const CFunction& function) const;
    // The line whose code holds address (a function's, or a global initialiser's in
    // the startup); null outside every C line.
    const CLineEntry* LineAt(WORD address) const;
    // The code of the line at address: [start, end).
    std::optional<std::pair<WORD, WORD>> BlockAt(WORD address) const;
    bool IsLineStart(WORD address) const;
    // The variable NAME seen from `function` (its locals first, then the globals).
    const CVariable* Find(const std::string& name, const CFunction* function) const;

    // Internal RAM address of the stack's first byte, and of the frame pointer _bp.
    std::optional<BYTE> StackStart() const { return m_stackStart; }
    std::optional<BYTE> FramePointer() const { return m_framePointer; }

private:
    bool Fail(const std::string& why);

    std::vector<CFunction> m_functions;
    std::vector<CVariable> m_globals;
    std::vector<CLineEntry> m_lines;
    std::optional<BYTE> m_stackStart;
    std::optional<BYTE> m_framePointer;
    std::string m_error;
};

// Parses a type chain as the .cdb writes it, "({2}DX,SC:U)"; structures are looked
// up in `structs`. Null when it is not one.
TypePtr ParseTypeChain(const std::string& text, const std::map<std::string, TypePtr>& structs);
// "unsigned int", "char *", "struct point", "long[4]" for messages.
std::string TypeName(const CType& type);

}
