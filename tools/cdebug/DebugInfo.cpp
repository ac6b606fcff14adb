#include "tools/cdebug/DebugInfo.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tools/common/Wording.h"

namespace cdebug {
namespace {

std::string Slurp(const std::string& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

// The text from `open` (a '(') to its matching ')', both excluded; npos-safe.
std::size_t MatchingParen(const std::string& text, std::size_t open)
{
    int depth = 0;
    for (std::size_t at = open; at < text.size(); ++at) {
        if (text[at] == '(')
            ++depth;
        else if (text[at] == ')' && --depth == 0)
            return at;
    }
    return std::string::npos;
}

Storage StorageOf(char letter)
{
    switch (letter) {
    case 'R': return Storage::Register;
    case 'E': case 'G': return Storage::Data;
    case 'F': return Storage::Xdata;
    case 'P': return Storage::Pdata;
    case 'C': case 'D': return Storage::Code;
    case 'H': return Storage::Bit;
    case 'I': case 'J': return Storage::Sfr;
    case 'A': case 'B': return Storage::Stack;
    default: return Storage::None;
    }
}

// "Lp2.fact$n$1_0$3" -> scope "Lp2.fact", name "n", level 1.
struct SymbolKey {
    std::string scope;
    std::string name;
    int level = 0;
};

SymbolKey KeyOf(const std::string& key)
{
    std::vector<std::string> parts = Split(key, '$');
    SymbolKey parsed;
    if (parts.size() >= 2) {
        parsed.scope = parts[0];
        parsed.name = parts[1];
    }
    if (parts.size() >= 3)
        parsed.level = std::atoi(parts[2].c_str());
    return parsed;
}

// The function a local's scope names: "Lp2.fact" or "Lfact" -> "fact".
std::string FunctionOfScope(const std::string& scope)
{
    std::size_t dot = scope.find('.');
    return dot == std::string::npos ? scope.substr(1) : scope.substr(dot + 1);
}

// "T:Flab$sample[...]" -> "sample"; nothing for other records.
std::optional<std::string> StructNameOf(const std::string& record)
{
    std::size_t bracket = record.find('[');
    if (record.rfind("T:", 0) != 0 || bracket == std::string::npos)
        return std::nullopt;
    std::string name = record.substr(2, bracket - 2);
    return name.substr(name.rfind('$') + 1);
}

TypePtr Base(const std::string& code, const std::string& sign, const std::map<std::string, TypePtr>& structs)
{
    auto type = std::make_shared<CType>();
    type->isUnsigned = sign == "U";
    if (code == "SC") { type->kind = CType::Char; type->size = 1; }
    else if (code == "SS") { type->kind = CType::Short; type->size = 2; }
    else if (code == "SI") { type->kind = CType::Int; type->size = 2; }
    else if (code == "SL") { type->kind = CType::Long; type->size = 4; }
    else if (code == "SF") { type->kind = CType::Float; type->size = 4; }
    else if (code == "SV") { type->kind = CType::Void; type->size = 0; }
    else if (code == "SX") { type->kind = CType::Bit; type->size = 1; type->isUnsigned = true; }
    else if (code.rfind("SB", 0) == 0) {
        type->kind = CType::Bit;
        type->size = 1;
        type->isUnsigned = true;
        type->bitPosition = std::atoi(code.c_str() + 2);
    } else if (code.rfind("ST", 0) == 0) {
        auto found = structs.find(code.substr(2));
        if (found == structs.end())
            return nullptr;
        return found->second;
    } else {
        return nullptr;
    }
    return type;
}

}

TypePtr ParseTypeChain(const std::string& text, const std::map<std::string, TypePtr>& structs)
{
    // "({size}D..,D..,S..:sign)"
    if (text.size() < 5 || text.front() != '(' || text.back() != ')')
        return nullptr;
    std::size_t close = text.find('}');
    if (close == std::string::npos)
        return nullptr;
    std::string chain = text.substr(close + 1, text.size() - close - 2);
    std::size_t colon = chain.rfind(':');
    std::string sign = colon == std::string::npos ? "" : chain.substr(colon + 1);
    std::vector<std::string> parts = Split(chain.substr(0, colon), ',');
    if (parts.empty())
        return nullptr;
    TypePtr type = Base(parts.back(), sign, structs);
    for (auto part = parts.rbegin() + 1; type && part != parts.rend(); ++part) {
        auto outer = std::make_shared<CType>();
        const std::string& d = *part;
        if (d.rfind("DA", 0) == 0) {
            outer->kind = CType::Array;
            outer->count = std::atoi(d.c_str() + 2);
            outer->size = outer->count * type->size;
        } else if (d == "DF") {
            outer->kind = CType::Function;
            outer->size = 2;
        } else {
            outer->kind = CType::Pointer;
            static const std::map<std::string, std::pair<Storage, int>> pointers = {
                {"DG", {Storage::None, 3}}, {"DC", {Storage::Code, 2}}, {"DX", {Storage::Xdata, 2}},
                {"DD", {Storage::Data, 1}}, {"DI", {Storage::Idata, 1}}, {"DP", {Storage::Pdata, 1}},
            };
            auto found = pointers.find(d);
            if (found == pointers.end())
                return nullptr;
            outer->target = found->second.first;
            outer->size = found->second.second;
            outer->generic = d == "DG";
        }
        outer->element = type;
        type = outer;
    }
    return type;
}

std::string TypeName(const CType& type)
{
    switch (type.kind) {
    case CType::Char: return type.isUnsigned ? "unsigned char" : "char";
    case CType::Short: return type.isUnsigned ? "unsigned short" : "short";
    case CType::Int: return type.isUnsigned ? "unsigned int" : "int";
    case CType::Long: return type.isUnsigned ? "unsigned long" : "long";
    case CType::Float: return "float";
    case CType::Void: return "void";
    case CType::Bit: return "bit";
    case CType::Struct: return "struct " + type.structName;
    case CType::Pointer: return TypeName(*type.element) + " *";
    case CType::Array: return TypeName(*type.element) + "[" + std::to_string(type.count) + "]";
    case CType::Function: return TypeName(*type.element) + " ()";
    }
    return "?";
}

bool CDebugInfo::Fail(const std::string& why)
{
    m_error = why;
    return false;
}

bool CDebugInfo::Load(const std::string& cdbPath)
{
    bool ok = false;
    const std::string cdb = Slurp(cdbPath, ok);
    if (!ok)
        return Fail(tools::Say("cannot read the debug information {1}", {cdbPath}));
    std::string mapPath = cdbPath;
    if (mapPath.size() > 4 && mapPath.compare(mapPath.size() - 4, 4, ".cdb") == 0)
        mapPath.replace(mapPath.size() - 4, 4, ".map");
    bool mapOk = false;
    const std::string map = Slurp(mapPath, mapOk);
    if (!Parse(cdb, mapOk ? map : ""))
        return Fail(cdbPath + ": " + m_error);
    return true;
}

bool CDebugInfo::Parse(const std::string& cdb, const std::string& map)
{
    *this = CDebugInfo();
    std::vector<std::string> records = Split(cdb, '\n');
    for (std::string& record : records)
        if (!record.empty() && record.back() == '\r')
            record.pop_back();

    // Structures first: symbols name them before or after their T record.
    std::map<std::string, TypePtr> structs;
    std::map<std::string, std::shared_ptr<CType>> pending;
    for (const std::string& record : records) {
        std::optional<std::string> name = StructNameOf(record);
        if (!name)
            continue;
        auto type = std::make_shared<CType>();
        type->kind = CType::Struct;
        type->structName = *name;
        structs[*name] = type;
        pending[*name] = type;
    }
    for (const std::string& record : records) {
        std::optional<std::string> name = StructNameOf(record);
        if (!name)
            continue;
        const std::size_t bracket = record.find('[');
        std::shared_ptr<CType> type = pending[*name];
        // "({0}S:S$x$0_0$0({2}SI:S),Z,0,0)" per member
        for (std::size_t at = record.find("({", bracket); at != std::string::npos; at = record.find("({", at)) {
            std::size_t end = MatchingParen(record, at);
            if (end == std::string::npos)
                break;
            std::string member = record.substr(at + 1, end - at - 1);
            at = end;
            std::size_t chainAt = member.find('(');
            std::size_t chainEnd = MatchingParen(member, chainAt);
            if (chainAt == std::string::npos || chainEnd == std::string::npos)
                continue;
            CField field;
            field.offset = std::atoi(member.c_str() + 1);
            std::vector<std::string> key = Split(member.substr(0, chainAt), '$');
            field.name = key.size() > 1 ? key[1] : "";
            field.type = ParseTypeChain(member.substr(chainAt, chainEnd - chainAt + 1), structs);
            if (field.type)
                type->size = std::max(type->size, field.offset + field.type->size);
            type->fields.push_back(field);
        }
    }

    std::map<std::string, CVariable> variables; // by their .cdb key
    std::map<std::string, std::string> localOwner; // key -> function name
    for (const std::string& record : records) {
        const bool isFunction = record.rfind("F:", 0) == 0;
        if (!isFunction && record.rfind("S:", 0) != 0)
            continue;
        std::size_t open = record.find('(');
        std::size_t close = MatchingParen(record, open);
        if (open == std::string::npos || close == std::string::npos)
            continue;
        const std::string key = record.substr(2, open - 2);
        TypePtr type = ParseTypeChain(record.substr(open, close - open + 1), structs);
        std::vector<std::string> fields = Split(record.substr(close + 2), ',');
        SymbolKey symbol = KeyOf(key);
        if (isFunction) {
            CFunction function;
            function.name = symbol.name;
            function.returnType = type ? type->element : nullptr;
            if (fields.size() >= 6) {
                function.isInterrupt = fields[3] == "1";
                function.interruptNumber = std::atoi(fields[4].c_str());
                function.registerBank = std::atoi(fields[5].c_str());
            }
            m_functions.push_back(function);
            continue;
        }
        if (!type || type->kind == CType::Function)
            continue;
        CVariable variable;
        variable.name = symbol.name;
        variable.type = type;
        variable.level = symbol.level;
        variable.storage = fields.empty() || fields[0].empty() ? Storage::None : StorageOf(fields[0][0]);
        if (variable.storage == Storage::Stack && fields.size() >= 3)
            variable.stackOffset = std::atoi(fields[2].c_str());
        std::size_t regs = record.find('[', close);
        if (variable.storage == Storage::Register && regs != std::string::npos) {
            std::string list = record.substr(regs + 1, record.find(']', regs) - regs - 1);
            variable.registers = list.empty() ? std::vector<std::string>{} : Split(list, ',');
            if (variable.registers.empty())
                variable.storage = Storage::None;
        }
        variables[key] = variable;
        if (!symbol.scope.empty() && symbol.scope[0] == 'L')
            localOwner[key] = FunctionOfScope(symbol.scope);
    }

    static const std::regex line(R"(^L:C\$(.+)\$(\d+)\$[^:]*:([0-9A-Fa-f]+)$)");
    static const std::regex link(R"(^L:(X?)([GFL][^:]*):([0-9A-Fa-f]+)$)");
    for (const std::string& record : records) {
        std::smatch m;
        if (std::regex_match(record, m, line)) {
            m_lines.push_back({m[1], std::atoi(m[2].str().c_str()), WORD(std::stoul(m[3], nullptr, 16))});
            continue;
        }
        if (!std::regex_match(record, m, link))
            continue;
        const WORD address = WORD(std::stoul(m[3], nullptr, 16));
        const std::string key = m[2];
        auto variable = variables.find(key);
        if (variable != variables.end() && m[1].length() == 0) {
            variable->second.address = address;
            continue;
        }
        SymbolKey symbol = KeyOf(key);
        for (CFunction& function : m_functions) {
            if (function.name != symbol.name || symbol.scope.empty() || symbol.scope[0] == 'L')
                continue;
            if (m[1].length() == 0)
                function.start = address;
            else
                function.end = WORD(address + 1);
            if (symbol.scope[0] == 'F')
                function.module = symbol.scope.substr(1);
        }
    }
    for (auto& [key, variable] : variables) {
        auto owner = localOwner.find(key);
        if (owner == localOwner.end()) {
            m_globals.push_back(variable);
            continue;
        }
        for (CFunction& function : m_functions)
            if (function.name == owner->second)
                function.locals.push_back(variable);
    }
    // Deeper blocks first, so a name resolves to its innermost declaration.
    for (CFunction& function : m_functions)
        std::stable_sort(function.locals.begin(), function.locals.end(),
                         [](const CVariable& a, const CVariable& b) { return a.level > b.level; });
    m_functions.erase(std::remove_if(m_functions.begin(), m_functions.end(),
                                     [](const CFunction& f) { return f.end <= f.start; }),
                      m_functions.end());
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const CLineEntry& a, const CLineEntry& b) { return a.address < b.address; });
    if (m_functions.empty() && m_lines.empty())
        return Fail(tools::Say("no functions and no line records: not the debug information of a linked program"));

    static const std::regex symbol(R"(^\s+([0-9A-Fa-f]{8})\s+(_bp|__start__stack)\s)");
    for (const std::string& text : Split(map, '\n')) {
        std::smatch m;
        if (!std::regex_search(text, m, symbol))
            continue;
        const BYTE value = BYTE(std::stoul(m[1], nullptr, 16));
        (m[2] == "_bp" ? m_framePointer : m_stackStart) = value;
    }
    return true;
}

const CFunction* CDebugInfo::FunctionAt(WORD address) const
{
    for (const CFunction& function : m_functions)
        if (address >= function.start && address < function.end)
            return &function;
    return nullptr;
}

const CFunction* CDebugInfo::FunctionNamed(const std::string& name) const
{
    for (const CFunction& function : m_functions)
        if (function.name == name)
            return &function;
    return nullptr;
}

namespace {
std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }
}

std::optional<WORD> CDebugInfo::AddressOfLine(const std::string& file, int line) const
{
    const CLineEntry* best = nullptr;
    for (const CLineEntry& entry : m_lines) {
        if (BaseName(entry.file) != BaseName(file) || entry.line < line || !FunctionAt(entry.address))
            continue;
        if (!best || entry.line < best->line || (entry.line == best->line && entry.address < best->address))
            best = &entry;
    }
    if (best && best->line == line)
        return best->address;
    // A global's initialiser has its code in the startup, before main.
    for (const CLineEntry& entry : m_lines)
        if (entry.line == line && BaseName(entry.file) == BaseName(file) && !FunctionAt(entry.address))
            return entry.address;
    if (IsAboveFunctions(file, line))
        return std::nullopt;
    return best ? std::optional<WORD>(best->address) : std::nullopt;
}

bool CDebugInfo::IsAboveFunctions(const std::string& file, int line) const
{
    return std::none_of(m_lines.begin(), m_lines.end(), [&](const CLineEntry& entry) {
        return BaseName(entry.file) == BaseName(file) && entry.line <= line && FunctionAt(entry.address);
    });
}

WORD CDebugInfo::BodyOf(const CFunction& function) const
{
    // The record at the entry is the function's own line; when a statement's record
    // shares the address there is no entry code to pass.
    int linesAtStart = 0;
    std::optional<WORD> next;
    for (const CLineEntry& entry : m_lines) {
        if (entry.address == function.start)
            ++linesAtStart;
        else if (entry.address > function.start && entry.address < function.end && !next)
            next = entry.address;
    }
    return linesAtStart > 1 || !next ? function.start : *next;
}

const CLineEntry* CDebugInfo::LineAt(WORD address) const
{
    const CFunction* function = FunctionAt(address);
    const CLineEntry* found = nullptr;
    for (const CLineEntry& entry : m_lines)
        if (entry.address <= address && (!function || entry.address >= function->start))
            found = &entry; // the last record at the nearest address below
    // Outside the functions only the startup's code of the globals' initialisers has lines.
    if (!function && found && FunctionAt(found->address))
        return nullptr;
    return found;
}

std::optional<std::pair<WORD, WORD>> CDebugInfo::BlockAt(WORD address) const
{
    const CLineEntry* line = LineAt(address);
    if (!line)
        return std::nullopt;
    const CFunction* function = FunctionAt(address);
    WORD end = function ? function->end : 0xFFFF;
    for (const CLineEntry& entry : m_lines)
        if (entry.address > line->address) {
            end = std::min(end, entry.address);
            break;
        }
    return std::make_pair(line->address, end);
}

bool CDebugInfo::IsLineStart(WORD address) const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [&](const CLineEntry& e) { return e.address == address; });
}

const CVariable* CDebugInfo::Find(const std::string& name, const CFunction* function) const
{
    if (function)
        for (const CVariable& local : function->locals)
            if (local.name == name)
                return &local;
    for (const CVariable& global : m_globals)
        if (global.name == name)
            return &global;
    return nullptr;
}

}
