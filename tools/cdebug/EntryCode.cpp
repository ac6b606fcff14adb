#include "tools/cdebug/EntryCode.h"

#include <algorithm>
#include <map>

#include "tools/cdebug/CodeFlow.h"

namespace cdebug {
namespace {

constexpr int kA = 0xE0, kB = 0xF0, kDpl = 0x82, kDph = 0x83;
// Where the caller leaves the parameter's bytes, least significant first.
constexpr int kPassing[] = {kDpl, kDph, kB, kA};

// Which byte of the parameter (0-3) each register holds, by its direct address
// (A, B, DPL, DPH and R0-R7 of the function's bank).
using Holders = std::map<int, int>;

bool WritesA(BYTE op)
{
    const int row = op >> 4, column = op & 0x0F;
    if (row == 2 || row == 3 || row == 9)
        return column >= 3;
    if (row >= 4 && row <= 6)
        return column >= 4;
    switch (op) {
    case 0x03: case 0x04: case 0x13: case 0x14: case 0x74: case 0x83: case 0x84: case 0xA4: case 0xC4:
    case 0xC6: case 0xC7: case 0xD4: case 0xD6: case 0xD7: case 0xE0: case 0xE2: case 0xE3: case 0xE4:
    case 0xE6: case 0xE7: case 0xF4:
        return true;
    default: return false;
    }
}

// Follows one instruction that does not change the flow.
void Follow(const std::vector<BYTE>& code, WORD at, int bank, Holders& holders)
{
    const BYTE op = code[at];
    const int first = code[WORD(at + 1)], second = code[WORD(at + 2)];
    const int rn = bank * 8 + (op & 7);
    auto copy = [&](int to, int from) {
        auto held = holders.find(from);
        if (held == holders.end())
            holders.erase(to);
        else
            holders[to] = held->second;
    };
    auto exchange = [&](int one, int other) {
        Holders before = holders;
        copy(one, other);
        auto held = before.find(one);
        if (held == before.end())
            holders.erase(other);
        else
            holders[other] = held->second;
    };
    switch (op) {
    case 0xE5: return copy(kA, first);
    case 0xF5: return copy(first, kA);
    case 0x85: return copy(second, first);
    case 0xC5: return exchange(kA, first);
    case 0x90: case 0xA3:
        holders.erase(kDpl);
        holders.erase(kDph);
        return;
    case 0x05: case 0x15: case 0x42: case 0x43: case 0x52: case 0x53: case 0x62: case 0x63:
    case 0x75: case 0x86: case 0x87: case 0xD0: case 0xD5:
        holders.erase(first);
        return;
    case 0xB2: case 0xC2: case 0xD2: case 0x92:
        if (first >= 0x80)
            holders.erase(first & 0xF8);
        return;
    default: break;
    }
    switch (op & 0xF8) {
    case 0xE8: return copy(kA, rn);
    case 0xF8: return copy(rn, kA);
    case 0xA8: return copy(rn, first);
    case 0x88: return copy(first, rn);
    case 0xC8: return exchange(kA, rn);
    case 0x08: case 0x18: case 0x78: case 0xD8:
        holders.erase(rn);
        return;
    default: break;
    }
    if (WritesA(op))
        holders.erase(kA);
    if (op == 0x84 || op == 0xA4)
        holders.erase(kB);
}

std::string RegisterName(int address, int bank)
{
    switch (address) {
    case kA: return "a";
    case kB: return "b";
    case kDpl: return "dpl";
    case kDph: return "dph";
    default: return "r" + std::to_string(address - bank * 8);
    }
}

// The register rN's direct address in the bank; nothing for another name.
std::optional<int> AddressOf(const std::string& name, int bank)
{
    if (name.size() != 2 || name[0] != 'r' || name[1] < '0' || name[1] > '7')
        return std::nullopt;
    return bank * 8 + (name[1] - '0');
}

bool Straight(const std::vector<BYTE>& code, WORD at) { return FlowAt(code, at).kind == CFlow::Next; }

// Whether any instruction of the function changes one of these registers.
bool WrittenAnywhere(const std::vector<BYTE>& code, const CFunction& function, const std::vector<int>& registers)
{
    for (WORD at = function.start; at < function.end; at = WORD(at + FlowAt(code, at).length)) {
        // Each register holds a mark of its own: a write replaces or removes it.
        Holders marks;
        for (int address = 0; address < 0x100; ++address)
            marks[address] = address;
        Follow(code, at, function.registerBank, marks);
        for (int address : registers)
            if (marks.count(address) == 0 || marks[address] != address)
                return true;
    }
    return false;
}

}

std::optional<CParameterRegisters> ParameterRegistersAt(const std::vector<BYTE>& code, const CFunction& function,
                                                        const CVariable& variable, WORD pc)
{
    const CParameterRegisters own{variable.registers, {}};
    const int bank = function.registerBank;
    std::vector<int> home;
    for (const std::string& name : variable.registers)
        if (std::optional<int> address = AddressOf(name, bank))
            home.push_back(*address);
    const std::size_t bytes = variable.registers.size();
    if (variable.storage != Storage::Register || variable.level != 1 || bytes == 0 || bytes > 4 || home.size() != bytes ||
        pc < function.start || pc >= function.end)
        return own;

    // The straight run of the entry code, from the function's first byte to its
    // first jump, branch, call or return: the bytes' holders before each instruction.
    Holders holders;
    for (std::size_t i = 0; i < bytes; ++i)
        holders[kPassing[i]] = int(i);
    std::vector<bool> arrived(bytes, false);
    std::optional<Holders> atPc;
    std::vector<bool> arrivedAtPc;
    WORD at = function.start;
    for (; at < function.end && Straight(code, at); at = WORD(at + FlowAt(code, at).length)) {
        if (at == pc) {
            atPc = holders;
            arrivedAtPc = arrived;
        }
        Follow(code, at, bank, holders);
        for (std::size_t i = 0; i < bytes; ++i) {
            auto held = holders.find(home[i]);
            arrived[i] = arrived[i] || (held != holders.end() && held->second == int(i));
        }
    }
    if (at == pc && !atPc) {
        atPc = holders;
        arrivedAtPc = arrived;
    }
    const bool moved = std::find(arrived.begin(), arrived.end(), false) == arrived.end();
    // A parameter never moved is one whose registers the function never writes.
    if (!moved && WrittenAnywhere(code, function, home))
        return own;
    if (!atPc)
        return own;

    CParameterRegisters now;
    for (std::size_t i = 0; i < bytes; ++i) {
        if (arrivedAtPc[i]) {
            now.registers.push_back(variable.registers[i]);
            continue;
        }
        std::vector<int> holding;
        for (int passing : kPassing)
            if (auto held = atPc->find(passing); held != atPc->end() && held->second == int(i))
                holding.push_back(passing);
        for (const auto& [address, byte] : *atPc)
            if (byte == int(i) && std::find(holding.begin(), holding.end(), address) == holding.end())
                holding.push_back(address);
        if (holding.empty())
            return std::nullopt;
        now.registers.push_back(RegisterName(holding.front(), bank));
        for (std::size_t k = 1; k < holding.size(); ++k)
            now.copies.emplace_back(i, RegisterName(holding[k], bank));
    }
    return now;
}

}
