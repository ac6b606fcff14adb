#include "tools/cdebug/SourceDebugger.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/cdebug/CodeFlow.h"
#include "tools/cdebug/EntryCode.h"
#include "tools/common/Wording.h"

namespace cdebug {
namespace {

// The 8051 register image: A, B, PSW, SP, DPL, DPH, R0-R7, PCL, PCH, P0-P3, ...
constexpr int kImageSize = 26;
constexpr int kA = 0, kB = 1, kPsw = 2, kSp = 3, kDpl = 4, kDph = 5, kR0 = 6, kPcl = 14, kPch = 15;
constexpr int kP0 = 16, kP1 = 17, kP2 = 18, kP3 = 19, kIe = 20, kIp = 21, kTmod = 22, kTcon = 23, kTl0 = 24, kTh0 = 25;
constexpr BYTE kLcall = 0x12;

// The SFRs the register image carries, which are all the monitor lets the host
// read or write; its internal memory commands reach RAM at 80-FF, not the SFRs.
std::optional<std::size_t> ImageIndexOfSfr(int address)
{
    static constexpr std::pair<int, std::size_t> kSfrs[] = {
        {0xE0, kA}, {0xF0, kB}, {0xD0, kPsw}, {0x81, kSp}, {0x82, kDpl}, {0x83, kDph},
        {0x80, kP0}, {0x90, kP1}, {0xA0, kP2}, {0xB0, kP3}, {0xA8, kIe}, {0xB8, kIp},
        {0x89, kTmod}, {0x88, kTcon}, {0x8A, kTl0}, {0x8C, kTh0},
    };
    for (const auto& [sfr, index] : kSfrs)
        if (sfr == address)
            return index;
    return std::nullopt;
}

// Where the registers that pass values (dpl, dph, b, a) are in the register image.
std::optional<std::size_t> ImageIndexOfRegister(const std::string& name)
{
    if (name == "dpl") return kDpl;
    if (name == "dph") return kDph;
    if (name == "b") return kB;
    if (name == "a") return kA;
    return std::nullopt;
}

std::string Trim(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

std::uint32_t LittleEndian(const std::vector<BYTE>& bytes, int from, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[std::size_t(from + i)];
    return value;
}

std::string CharText(unsigned value)
{
    if (value >= 32 && value < 127 && value != '\'' && value != '\\')
        return std::string("'") + char(value) + "'";
    return std::to_string(value);
}

std::string FloatText(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

}

struct CSourceDebugger::CPlace {
    Storage storage = Storage::None;
    int address = 0;
    std::vector<std::string> registers;
    std::map<int, int> savedRegisters; // registers of an outer frame: where they were saved
    std::vector<std::pair<std::size_t, std::string>> copies; // more registers holding a byte, by its index
    bool outerFrame = false;
    TypePtr type;
    std::string name;
};

namespace {

// The stack address where an outer frame's register NAME ("r5") was saved.
std::optional<int> SavedSlot(const std::map<int, int>& saved, const std::string& name)
{
    if (name.size() != 2 || name[0] != 'r' || !std::isdigit(static_cast<unsigned char>(name[1])))
        return std::nullopt;
    auto it = saved.find(name[1] - '0');
    return it == saved.end() ? std::nullopt : std::optional<int>(it->second);
}

}

CSourceDebugger::CSourceDebugger(CZORComm& link, const CDebugInfo& info, std::vector<BYTE> code, WaitStop waitStop)
    : m_link(link), m_info(info), m_code(std::move(code)), m_waitStop(std::move(waitStop))
{
    m_code.resize(0x10000);
}

bool CSourceDebugger::Fail(const std::string& why)
{
    m_error = why;
    return false;
}

bool CSourceDebugger::Count(BOOL ok)
{
    ++m_operations;
    return ok != 0;
}

WORD CSourceDebugger::Pc() const
{
    return m_registers.size() >= kImageSize ? WORD(m_registers[kPch] << 8 | m_registers[kPcl]) : 0;
}

std::optional<WORD> CSourceDebugger::Break(const std::string& where)
{
    std::optional<WORD> address;
    std::size_t colon = where.rfind(':');
    if (colon != std::string::npos) {
        char* end = nullptr;
        long line = std::strtol(where.c_str() + colon + 1, &end, 10);
        if (end == where.c_str() + colon + 1 || *end || line <= 0) {
            Fail(tools::Say("a line is FILE:LINE with a decimal LINE, not {1}", {where}));
            return std::nullopt;
        }
        address = m_info.AddressOfLine(where.substr(0, colon), int(line));
        if (!address && m_info.IsAboveFunctions(where.substr(0, colon), int(line))) {
            Fail(tools::Say("{1} runs no code: above the first function only a global's initialiser has some", {where}));
            return std::nullopt;
        }
        if (!address) {
            Fail(tools::Say("no code at or after {1}", {where}));
            return std::nullopt;
        }
    } else if (const CFunction* function = m_info.FunctionNamed(where)) {
        address = m_info.BodyOf(*function);
    } else {
        Fail(tools::Say("no function {1} and no FILE:LINE", {where}));
        return std::nullopt;
    }
    if (!m_breakpoints.count(*address)) {
        if (!Count(m_link.SetBreakPt(*address))) {
            Fail(tools::Say("the board did not take the breakpoint"));
            return std::nullopt;
        }
        m_breakpoints.insert(*address);
    }
    return address;
}

bool CSourceDebugger::Go(WORD from)
{
    m_stopped = false;
    if (!Count(m_link.ProgExec(from)))
        return Fail(tools::Say("the board did not start the program"));
    if (!m_waitStop())
        return Fail(tools::Say("the board did not stop (no breakpoint reached)"));
    return ReadStop();
}

bool CSourceDebugger::ReadStop()
{
    std::vector<BYTE> image(64);
    if (!Count(m_link.RegisterUld(image.data())))
        return Fail(tools::Say("cannot read the registers"));
    image.resize(kImageSize);
    m_registers = image;
    // One read brings the registers' banks, the data variables and the stack.
    const int top = m_registers[kSp];
    m_internal.assign(std::size_t(top) + 1, 0);
    for (int at = 0; at <= top; at += int(CZORComm::kMaxUploadBytes)) {
        const DWORD n = DWORD(std::min(top + 1 - at, int(CZORComm::kMaxUploadBytes)));
        if (!Count(m_link.InMemUld(m_internal.data() + at, n, WORD(at))))
            return Fail(tools::Say("cannot read the internal memory"));
    }
    m_stopped = true;
    return true;
}

bool CSourceDebugger::Refresh() { return ReadStop(); }

void CSourceDebugger::Adopt(std::vector<BYTE> registers, std::vector<BYTE> internal)
{
    registers.resize(kImageSize);
    m_registers = std::move(registers);
    m_internal = std::move(internal);
    m_stopped = true;
}

bool CSourceDebugger::Start(WORD entry)
{
    if (m_breakpoints.empty())
        return Fail(tools::Say("no breakpoint is set: the program would run freely and never report a stop"));
    return Go(entry);
}

bool CSourceDebugger::Continue()
{
    if (!m_stopped)
        return Fail(tools::Say("the program has not stopped yet; run it first"));
    return Start(Pc());
}

std::vector<CFrame> CSourceDebugger::Where() const
{
    std::vector<CFrame> frames;
    if (!m_stopped)
        return frames;
    CFrame frame;
    frame.pc = Pc();
    frame.function = m_info.FunctionAt(frame.pc);
    frame.line = m_info.LineAt(frame.pc);
    auto internal = [&](int address) { return address >= 0 && address < int(m_internal.size()) ? m_internal[std::size_t(address)] : 0; };
    if (m_info.FramePointer())
        frame.framePointer = internal(*m_info.FramePointer());
    frames.push_back(frame);
    const int bottom = m_info.StackStart().value_or(8);
    int at = m_registers[kSp];
    // Each caller's return address lies on the stack above what the callee pushed:
    // the pair that follows a call of the callee (any call, for an interrupt).
    while (frames.back().function && frames.back().function->name != "main" && frames.size() < 64) {
        const CFunction& callee = *frames.back().function;
        std::optional<CFrame> caller;
        for (; at > bottom && !caller; --at) {
            const WORD back = WORD(internal(at) << 8 | internal(at - 1));
            const CFunction* function = m_info.FunctionAt(back);
            if (!function)
                continue;
            const CFlow call = FlowAt(m_code, WORD(back - 3));
            const CFlow shortCall = FlowAt(m_code, WORD(back - 2));
            const bool called = (m_code[WORD(back - 3)] == kLcall && call.target == callee.start) ||
                                (shortCall.kind == CFlow::Call && shortCall.length == 2 && shortCall.target == callee.start);
            if (!called && !callee.isInterrupt)
                continue;
            CFrame found;
            found.pc = back;
            found.function = function;
            // A call's line holds the byte before its return address; an interrupted
            // program goes on at the address itself.
            found.line = m_info.LineAt(called ? WORD(back - 1) : back);
            found.framePointer = frames.back().framePointer;
            if (called)
                found.savedRegisters = SavedRegisters(*function, WORD(back - (m_code[WORD(back - 3)] == kLcall ? 3 : 2)), at);
            else
                found.savedRegisters = InterruptedRegisters(callee, *function, at);
            // A reentrant callee saved its caller's frame pointer where its own points.
            if (m_info.FramePointer() && m_code[callee.start] == 0xC0 && m_code[WORD(callee.start + 1)] == *m_info.FramePointer())
                found.framePointer = internal(frames.back().framePointer);
            caller = found;
            at -= 1;
        }
        if (!caller)
            break;
        frames.push_back(*caller);
    }
    return frames;
}

std::map<int, int> CSourceDebugger::SavedRegisters(const CFunction& caller, WORD call, int returnHigh) const
{
    std::map<int, int> saved;
    std::optional<std::pair<WORD, WORD>> block = m_info.BlockAt(call);
    if (!block)
        return saved;
    // The pushes that lead up to the call, in their order.
    std::vector<int> pushed;
    for (WORD at = block->first; at < call;) {
        const CFlow flow = FlowAt(m_code, at);
        if (m_code[at] == 0xC0)
            pushed.push_back(m_code[WORD(at + 1)]);
        else
            pushed.clear();
        at = WORD(at + flow.length);
    }
    // The last push lies just below the return address.
    int slot = returnHigh - 2;
    for (auto it = pushed.rbegin(); it != pushed.rend(); ++it, --slot) {
        const int n = *it - caller.registerBank * 8;
        if (n >= 0 && n < 8 && !saved.count(n))
            saved[n] = slot;
    }
    return saved;
}

std::map<int, int> CSourceDebugger::InterruptedRegisters(const CFunction& handler, const CFunction& interrupted, int returnHigh) const
{
    // A handler pushes, in its entry code, the registers it will use, just above the
    // return address; the rest it leaves alone (or works in a bank of its own).
    std::map<int, int> saved;
    int slot = returnHigh + 1;
    for (WORD at = handler.start; at < handler.end && m_code[at] == 0xC0; at = WORD(at + 2), ++slot) {
        const int n = m_code[WORD(at + 1)] - interrupted.registerBank * 8;
        if (n >= 0 && n < 8 && !saved.count(n))
            saved[n] = slot;
    }
    for (int n = 0; n < 8; ++n)
        saved.emplace(n, interrupted.registerBank * 8 + n);
    return saved;
}

std::string CSourceDebugger::Describe(const CFrame& frame) const
{
    char address[8];
    std::snprintf(address, sizeof address, "%04X", unsigned(frame.pc));
    if (!frame.line)
        return std::string("?? ") + address;
    std::string file = frame.line->file;
    return (frame.function ? frame.function->name : "??") + " " + file + ":" + std::to_string(frame.line->line);
}

std::optional<WORD> CSourceDebugger::ReturnAddress() const
{
    std::vector<CFrame> frames = Where();
    if (frames.size() < 2)
        return std::nullopt;
    return frames[1].pc;
}

bool CSourceDebugger::RunWith(const std::map<WORD, Want>& temporary)
{
    std::vector<WORD> planted;
    for (const auto& [address, want] : temporary) {
        if (m_breakpoints.count(address))
            continue;
        if (!Count(m_link.SetBreakPt(address)))
            return Fail(tools::Say("the board did not take a temporary breakpoint"));
        planted.push_back(address);
    }
    const int sp0 = m_registers[kSp];
    bool ok = true;
    for (WORD from = Pc();; from = Pc()) {
        if (!(ok = Go(from)))
            break;
        const WORD pc = Pc();
        const int sp = m_registers[kSp];
        auto hit = temporary.find(pc);
        if (hit != temporary.end()) {
            const bool holds = hit->second == Want::Callee ? sp > sp0 : hit->second == Want::Outer ? sp < sp0 : sp <= sp0;
            if (holds)
                break;
        }
        // A breakpoint of the user's stops every step; a temporary one met in another
        // activation (recursion) does not.
        if (m_breakpoints.count(pc) || hit == temporary.end())
            break;
    }
    for (WORD address : planted)
        if (!Count(m_link.ClearBreakPt(address)) && ok)
            ok = Fail(tools::Say("the board did not clear a temporary breakpoint"));
    return ok;
}

bool CSourceDebugger::StepLine(bool into)
{
    if (!m_stopped)
        return Fail(tools::Say("the program has not stopped yet; run it first"));
    for (int pass = 0; pass < 16; ++pass) {
        const WORD pc = Pc();
        std::optional<std::pair<WORD, WORD>> block = m_info.BlockAt(pc);
        std::map<WORD, Want> temporary;
        if (!block) {
            std::optional<WORD> back = ReturnAddress();
            if (!back)
                return Fail(tools::Say("the program stands outside the C lines and its caller is not known"));
            temporary[*back] = Want::Outer;
        } else if (!m_info.FunctionAt(pc)) {
            // A global's initialiser: the startup goes on to the next one, then jumps to main.
            for (const CLineEntry& line : m_info.Lines())
                if (line.address >= block->second && !m_info.FunctionAt(line.address))
                    temporary[line.address] = Want::SameOrOuter;
            if (const CFunction* main = m_info.FunctionNamed("main"))
                temporary[m_info.BodyOf(*main)] = Want::SameOrOuter;
        } else {
            const CFunction& function = *m_info.FunctionAt(pc);
            for (WORD at = block->first; at < block->second;) {
                const CFlow flow = FlowAt(m_code, at);
                const WORD next = WORD(at + flow.length);
                const bool inside = flow.target >= block->first && flow.target < block->second;
                if ((flow.kind == CFlow::Jump || flow.kind == CFlow::Branch) && !inside)
                    temporary[flow.target] = Want::SameOrOuter;
                if (flow.kind == CFlow::Call && into) {
                    const CFunction* callee = m_info.FunctionAt(flow.target);
                    if (callee && callee->start == flow.target)
                        temporary[m_info.BodyOf(*callee)] = Want::Callee;
                }
                if (flow.kind == CFlow::Return) {
                    if (std::optional<WORD> back = ReturnAddress())
                        temporary[*back] = Want::Outer;
                }
                if (flow.kind == CFlow::Indirect)
                    for (const CLineEntry& line : m_info.Lines())
                        if (line.address >= function.start && line.address < function.end &&
                            (line.address < block->first || line.address >= block->second))
                            temporary[line.address] = Want::SameOrOuter;
                const bool fallsThrough = flow.kind != CFlow::Jump && flow.kind != CFlow::Return && flow.kind != CFlow::Indirect;
                if (next >= block->second && fallsThrough && next < function.end)
                    temporary[next] = Want::SameOrOuter;
                at = next;
            }
            if (temporary.empty())
                return Fail(tools::Say("line {1} never leaves itself (an endless loop)", {std::to_string(m_info.LineAt(pc)->line)}));
        }
        if (!RunWith(temporary))
            return false;
        // Back in a caller in the middle of its line: finish that line too.
        const WORD now = Pc();
        if (m_breakpoints.count(now) || m_info.IsLineStart(now) || !m_info.FunctionAt(now))
            return true;
    }
    return true;
}

bool CSourceDebugger::Finish()
{
    if (!m_stopped)
        return Fail(tools::Say("the program has not stopped yet; run it first"));
    std::optional<WORD> back = ReturnAddress();
    if (!back)
        return Fail(tools::Say("the outermost function has no caller to return to"));
    return RunWith({{*back, Want::Outer}});
}

std::optional<std::vector<BYTE>> CSourceDebugger::ReadMemory(Storage storage, int address, int size)
{
    std::vector<BYTE> bytes(std::size_t(std::max(size, 0)));
    if (size <= 0)
        return bytes;
    switch (storage) {
    case Storage::Code:
        for (int i = 0; i < size; ++i)
            bytes[std::size_t(i)] = m_code[WORD(address + i)];
        return bytes;
    case Storage::Data:
    case Storage::Idata:
    case Storage::Stack:
    case Storage::Bit:
        if (address >= 0 && address + size <= int(m_internal.size())) {
            std::copy_n(m_internal.begin() + address, size, bytes.begin());
            return bytes;
        }
        if (address < 0 || address + size > 0x100 || !Count(m_link.InMemUld(bytes.data(), DWORD(size), WORD(address)))) {
            Fail(tools::Say("cannot read the internal memory"));
            return std::nullopt;
        }
        return bytes;
    case Storage::Xdata:
    case Storage::Pdata:
        for (int at = 0; at < size; at += int(CZORComm::kMaxUploadBytes)) {
            const DWORD n = DWORD(std::min(size - at, int(CZORComm::kMaxUploadBytes)));
            if (!Count(m_link.ExMemUld(bytes.data() + at, n, WORD(address + at)))) {
                Fail(tools::Say("cannot read the external memory"));
                return std::nullopt;
            }
        }
        return bytes;
    case Storage::Sfr:
        for (int i = 0; i < size; ++i) {
            const std::optional<std::size_t> index = ImageIndexOfSfr(address + i);
            if (!index) {
                char text[96];
                std::snprintf(text, sizeof text, "%02X", unsigned(address + i));
                Fail(tools::Say("the monitor does not read SFR {1} (only those of the register image)", {text}));
                return std::nullopt;
            }
            bytes[std::size_t(i)] = m_registers[*index];
        }
        return bytes;
    default:
        Fail(tools::Say("the variable has no place in memory"));
        return std::nullopt;
    }
}

std::optional<std::vector<BYTE>> CSourceDebugger::ReadPlace(const CPlace& place, int size)
{
    if (place.storage != Storage::Register)
        return ReadMemory(place.storage, place.address, size);
    if (place.outerFrame) {
        std::vector<BYTE> bytes;
        for (const std::string& name : place.registers) {
            std::optional<int> slot = SavedSlot(place.savedRegisters, name);
            if (!slot) {
                Fail(tools::Say("{1} was not saved for the call", {place.name}));
                return std::nullopt;
            }
            auto byte = ReadMemory(Storage::Data, *slot, 1);
            if (!byte)
                return std::nullopt;
            bytes.push_back((*byte)[0]);
        }
        bytes.resize(std::size_t(size));
        return bytes;
    }
    const int bank = (m_registers[kPsw] >> 3) & 3;
    const CFunction* function = m_info.FunctionAt(Pc());
    const int ownBank = function ? function->registerBank : 0;
    std::vector<BYTE> bytes;
    for (const std::string& name : place.registers) {
        if (name.size() == 2 && name[0] == 'r' && std::isdigit(static_cast<unsigned char>(name[1]))) {
            const int n = name[1] - '0';
            // The image holds the registers of the bank in use; the monitor's own
            // work may have touched that bank in the internal memory.
            if (ownBank == bank)
                bytes.push_back(m_registers[std::size_t(kR0 + n)]);
            else if (auto byte = ReadMemory(Storage::Data, ownBank * 8 + n, 1))
                bytes.push_back((*byte)[0]);
            else
                return std::nullopt;
        } else if (std::optional<std::size_t> index = ImageIndexOfRegister(name)) {
            bytes.push_back(m_registers[*index]);
        } else {
            Fail(tools::Say("register {1} is not in the register image", {name}));
            return std::nullopt;
        }
    }
    bytes.resize(std::size_t(size));
    return bytes;
}

std::optional<CSourceDebugger::CPlace> CSourceDebugger::Resolve(const std::string& given, std::size_t frame)
{
    std::string expression = Trim(given);
    int dereferences = 0;
    while (!expression.empty() && expression[0] == '*') {
        ++dereferences;
        expression = Trim(expression.substr(1));
    }
    std::size_t nameEnd = 0;
    while (nameEnd < expression.size() && (std::isalnum(static_cast<unsigned char>(expression[nameEnd])) || expression[nameEnd] == '_'))
        ++nameEnd;
    const std::string name = expression.substr(0, nameEnd);
    if (name.empty()) {
        Fail(tools::Say("a variable name is expected, not {1}", {given}));
        return std::nullopt;
    }
    const std::vector<CFrame> frames = Where();
    if (frame > 0 && frame >= frames.size()) {
        Fail(tools::Say("the call stack has no frame {1}", {std::to_string(frame)}));
        return std::nullopt;
    }
    const CFunction* function = frames.empty() ? nullptr : frames[frame].function;
    const CVariable* variable = m_info.Find(name, function);
    if (!variable) {
        Fail(function ? tools::Say("no variable {1} in {2} or among the globals", {name, function->name})
                      : tools::Say("no variable {1} among the globals", {name}));
        return std::nullopt;
    }
    CPlace place;
    place.type = variable->type;
    place.storage = variable->storage;
    place.registers = variable->registers;
    if (variable->storage == Storage::Register && frame > 0) {
        for (const std::string& reg : variable->registers)
            if (!SavedSlot(frames[frame].savedRegisters, reg)) {
                Fail(tools::Say("{1} is kept in registers that {2} did not save for its call (not needed after it)", {name, function->name}));
                return std::nullopt;
            }
        place.outerFrame = true;
        place.savedRegisters = frames[frame].savedRegisters;
    } else if (variable->storage == Storage::Register && function) {
        std::optional<CParameterRegisters> now = ParameterRegistersAt(m_code, *function, *variable, Pc());
        if (now) {
            place.registers = now->registers;
            place.copies = now->copies;
        } else {
            place.storage = Storage::None;
        }
    }
    if (place.storage == Storage::None) {
        Fail(tools::Say("{1} has no place at this point (optimized out)", {name}));
        return std::nullopt;
    }
    if (variable->storage == Storage::Stack) {
        if (frames.empty() || frames[frame].framePointer < 0) {
            Fail(tools::Say("{1} lives on the stack, and the frame pointer is not known", {name}));
            return std::nullopt;
        }
        place.address = frames[frame].framePointer + variable->stackOffset;
    } else if (variable->storage == Storage::Bit) {
        place.address = variable->address.value_or(0);
    } else if (variable->storage != Storage::Register) {
        if (!variable->address) {
            Fail(tools::Say("{1} has no address in the debug information", {name}));
            return std::nullopt;
        }
        place.address = *variable->address;
    }
    auto dereference = [&]() -> bool {
        if (place.type->kind == CType::Array) {
            place.type = place.type->element;
            return true;
        }
        if (place.type->kind != CType::Pointer || !place.type->element)
            return Fail(tools::Say("{1} is not a pointer", {place.name}));
        auto bytes = ReadPlace(place, place.type->size);
        if (!bytes)
            return false;
        const CType& pointer = *place.type;
        Storage target = pointer.target;
        int address = int(LittleEndian(*bytes, 0, std::min(pointer.size, 2)));
        if (pointer.generic) {
            const BYTE tag = (*bytes)[2];
            target = tag >= 0x80 ? Storage::Code : tag >= 0x60 ? Storage::Pdata : tag >= 0x40 ? Storage::Data : Storage::Xdata;
        }
        if (target == Storage::Pdata && pointer.size == 1)
            address |= m_registers[kP2] << 8;
        if (target == Storage::Idata)
            target = Storage::Data;
        place.storage = target;
        place.address = address;
        place.registers.clear();
        place.type = pointer.element;
        return true;
    };
    std::size_t at = nameEnd;
    place.name = name;
    while (at < expression.size()) {
        if (expression[at] == '[') {
            std::size_t close = expression.find(']', at);
            if (close == std::string::npos) {
                Fail(tools::Say("a ] is missing in {1}", {given}));
                return std::nullopt;
            }
            const long index = std::strtol(expression.c_str() + at + 1, nullptr, 0);
            if (place.type->kind == CType::Pointer && !dereference())
                return std::nullopt;
            else if (place.type->kind == CType::Array) {
                if (index < 0 || index >= place.type->count) {
                    Fail(tools::Say("{1} has {2} elements", {place.name, std::to_string(place.type->count)}));
                    return std::nullopt;
                }
                place.type = place.type->element;
            }
            if (place.storage == Storage::Register) {
                Fail(tools::Say("{1} lives in registers", {place.name}));
                return std::nullopt;
            }
            place.address += int(index) * place.type->size;
            place.name = expression.substr(0, close + 1);
            at = close + 1;
        } else if (expression[at] == '.' || expression.compare(at, 2, "->") == 0) {
            const bool arrow = expression[at] == '-';
            at += arrow ? 2 : 1;
            if (arrow && !dereference())
                return std::nullopt;
            std::size_t end = at;
            while (end < expression.size() && (std::isalnum(static_cast<unsigned char>(expression[end])) || expression[end] == '_'))
                ++end;
            const std::string fieldName = expression.substr(at, end - at);
            if (place.type->kind != CType::Struct) {
                Fail(tools::Say("{1} is not a structure", {place.name}));
                return std::nullopt;
            }
            auto field = std::find_if(place.type->fields.begin(), place.type->fields.end(),
                                      [&](const CField& f) { return f.name == fieldName; });
            if (field == place.type->fields.end() || !field->type) {
                Fail(tools::Say("struct {1} has no field {2}", {place.type->structName, fieldName}));
                return std::nullopt;
            }
            place.address += field->offset;
            place.type = field->type;
            place.name = expression.substr(0, end);
            at = end;
        } else {
            Fail(tools::Say("cannot read {1}: only NAME, [N], .FIELD, ->FIELD and * are understood", {given}));
            return std::nullopt;
        }
    }
    for (int i = 0; i < dereferences; ++i)
        if (!dereference())
            return std::nullopt;
    return place;
}

std::string CSourceDebugger::Format(const CPlace& place, bool inArray)
{
    const CType& type = *place.type;
    if (type.kind == CType::Array || type.kind == CType::Struct) {
        std::string text = "{";
        const int count = type.kind == CType::Array ? std::min(type.count, 64) : int(type.fields.size());
        for (int i = 0; i < count; ++i) {
            CPlace part = place;
            if (type.kind == CType::Array) {
                part.type = type.element;
                part.address = place.address + i * type.element->size;
            } else {
                if (!type.fields[std::size_t(i)].type)
                    continue;
                part.type = type.fields[std::size_t(i)].type;
                part.address = place.address + type.fields[std::size_t(i)].offset;
                text += type.fields[std::size_t(i)].name + " = ";
            }
            text += Format(part, type.kind == CType::Array) + (i + 1 < count ? ", " : "");
        }
        return text + "}";
    }
    // A bit address (a bit variable or an sbit) below 80 lies in RAM 20-2F, above it
    // in the SFR whose address it shares.
    const bool bitAddress = place.storage == Storage::Bit || (place.storage == Storage::Sfr && type.kind == CType::Bit);
    if (bitAddress || (type.kind == CType::Bit && place.storage != Storage::Register)) {
        const int bit = bitAddress ? place.address : place.address * 8 + type.bitPosition;
        const int byteAddress = bitAddress ? (bit < 0x80 ? 0x20 + bit / 8 : bit & 0xF8) : place.address;
        auto byte = ReadMemory(bitAddress ? (bit < 0x80 ? Storage::Data : Storage::Sfr) : place.storage, byteAddress, 1);
        if (!byte)
            return "<" + m_error + ">";
        return std::to_string(((*byte)[0] >> (bit % 8)) & 1);
    }
    auto bytes = ReadPlace(place, type.size);
    if (!bytes)
        return "<" + m_error + ">";
    const std::uint32_t raw = LittleEndian(*bytes, 0, std::min(type.size, 4));
    switch (type.kind) {
    case CType::Char:
        if (inArray)
            return CharText(raw);
        return type.isUnsigned ? std::to_string(raw) : std::to_string(int(static_cast<signed char>(raw)));
    case CType::Short:
    case CType::Int:
        return type.isUnsigned ? std::to_string(raw) : std::to_string(int(static_cast<std::int16_t>(raw)));
    case CType::Long:
        return type.isUnsigned ? std::to_string(raw) : std::to_string(static_cast<std::int32_t>(raw));
    case CType::Float: {
        float value;
        std::memcpy(&value, &raw, 4);
        return FloatText(value);
    }
    case CType::Pointer: {
        char text[24];
        std::snprintf(text, sizeof text, "0x%04X", unsigned(raw & 0xFFFF));
        if (type.size == 1)
            std::snprintf(text, sizeof text, "0x%02X", unsigned(raw & 0xFF));
        return text;
    }
    default: return "?";
    }
}

std::optional<std::string> CSourceDebugger::Print(const std::string& expression, std::size_t frame)
{
    if (!m_stopped) {
        Fail(tools::Say("the program has not stopped yet; run it first"));
        return std::nullopt;
    }
    std::optional<CPlace> place = Resolve(expression, frame);
    if (!place)
        return std::nullopt;
    m_error.clear();
    // An element ([i]) of a char array reads as a character, as inside the whole array.
    const bool element = place->name.back() == ']';
    return Trim(expression) + " = " + Format(*place, element && place->type->kind == CType::Char);
}

bool CSourceDebugger::WriteMemory(const CPlace& place, const std::vector<BYTE>& bytes)
{
    std::vector<BYTE> data = bytes;
    if (place.storage == Storage::Register && place.outerFrame) {
        // What the caller pops back after the call.
        for (std::size_t i = 0; i < place.registers.size() && i < data.size(); ++i) {
            std::optional<int> slot = SavedSlot(place.savedRegisters, place.registers[i]);
            if (!slot)
                return Fail(tools::Say("the variable's registers were not saved for the call"));
            CPlace byte;
            byte.storage = Storage::Data;
            byte.address = *slot;
            if (!WriteMemory(byte, {data[i]}))
                return false;
        }
        return true;
    }
    switch (place.storage) {
    case Storage::Register: {
        std::vector<BYTE> image = m_registers;
        const int bank = (image[kPsw] >> 3) & 3;
        const CFunction* function = m_info.FunctionAt(Pc());
        if ((function ? function->registerBank : 0) != bank)
            return Fail(tools::Say("the variable's registers are not in the bank in use"));
        std::vector<std::pair<std::size_t, std::string>> targets = place.copies;
        for (std::size_t i = 0; i < place.registers.size(); ++i)
            targets.emplace_back(i, place.registers[i]);
        for (const auto& [i, name] : targets) {
            if (i >= data.size())
                continue;
            if (name.size() == 2 && name[0] == 'r')
                image[std::size_t(kR0 + name[1] - '0')] = data[i];
            else if (std::optional<std::size_t> index = ImageIndexOfRegister(name))
                image[*index] = data[i];
            else
                return Fail(tools::Say("register {1} cannot be written", {name}));
        }
        if (!Count(m_link.RegisterDld(image.data())))
            return Fail(tools::Say("the board did not take the registers"));
        m_registers = image;
        return true;
    }
    case Storage::Data:
    case Storage::Idata:
    case Storage::Stack:
        if (!Count(m_link.InMemDld(data.data(), DWORD(data.size()), WORD(place.address))))
            return Fail(tools::Say("the board did not take the bytes"));
        for (std::size_t i = 0; i < data.size(); ++i)
            if (place.address + i < m_internal.size())
                m_internal[place.address + i] = data[i];
        return true;
    case Storage::Sfr: {
        std::vector<BYTE> image = m_registers;
        for (std::size_t i = 0; i < data.size(); ++i) {
            const std::optional<std::size_t> index = ImageIndexOfSfr(place.address + int(i));
            if (!index)
                return Fail(tools::Say("the monitor does not write this SFR (only those of the register image)"));
            image[*index] = data[i];
        }
        if (!Count(m_link.RegisterDld(image.data())))
            return Fail(tools::Say("the board did not take the registers"));
        m_registers = image;
        return true;
    }
    case Storage::Xdata:
    case Storage::Pdata:
        return Count(m_link.ExMemDld(data.data(), DWORD(data.size()), WORD(place.address))) ||
               Fail(tools::Say("the board did not take the bytes"));
    default: return Fail(tools::Say("this variable cannot be written"));
    }
}

bool CSourceDebugger::Set(const std::string& expression, const std::string& valueText, std::size_t frame)
{
    if (!m_stopped)
        return Fail(tools::Say("the program has not stopped yet; run it first"));
    std::optional<CPlace> place = Resolve(expression, frame);
    if (!place)
        return false;
    const CType& type = *place->type;
    const std::string text = Trim(valueText);
    std::uint32_t raw = 0;
    char* end = nullptr;
    if (text.size() == 3 && text[0] == '\'' && text[2] == '\'') {
        raw = BYTE(text[1]);
    } else if (type.kind == CType::Float) {
        float value = std::strtof(text.c_str(), &end);
        if (text.empty() || *end)
            return Fail(tools::Say("not a number: {1}", {text}));
        std::memcpy(&raw, &value, 4);
    } else {
        long long value = std::strtoll(text.c_str(), &end, 0);
        if (text.empty() || *end)
            return Fail(tools::Say("not a number: {1}", {text}));
        raw = std::uint32_t(value);
    }
    if (type.kind == CType::Array || type.kind == CType::Struct || type.kind == CType::Bit || type.size == 0)
        return Fail(tools::Say("only a number, a character, a float or a pointer can be written"));
    std::vector<BYTE> bytes;
    for (int i = 0; i < type.size; ++i)
        bytes.push_back(BYTE(raw >> (8 * std::min(i, 3))));
    return WriteMemory(*place, bytes);
}

}
