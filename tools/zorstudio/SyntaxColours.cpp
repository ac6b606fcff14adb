#include "tools/zorstudio/SyntaxColours.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {
namespace {

constexpr std::array kMnemonics = {
    "acall", "add",  "addc", "ajmp", "anl",  "cjne", "clr",  "cpl",  "da",   "dec",  "div",  "djnz", "inc",
    "jb",    "jbc",  "jc",   "jmp",  "jnb",  "jnc",  "jnz",  "jz",   "lcall", "ljmp", "mov",  "movc", "movx",
    "mul",   "nop",  "orl",  "pop",  "push", "ret",  "reti", "rl",   "rlc",  "rr",   "rrc",  "setb", "sjmp",
    "subb",  "swap", "xch",  "xchd", "xrl",
};
constexpr std::array kRegisters = {"a", "ab", "acc", "b", "c", "dptr", "pc", "sp", "r0", "r1", "r2", "r3",
                                   "r4", "r5", "r6", "r7", "psw", "dpl", "dph"};
constexpr std::array kCKeywords = {
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern",
    "float", "for", "goto", "if", "inline", "int", "long", "register", "return", "short", "signed", "sizeof",
    "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while", "bool",
    // The compiler's storage classes and attributes for the 8051.
    "__at", "__bit", "__code", "__critical", "__data", "__idata", "__interrupt", "__naked", "__pdata",
    "__reentrant", "__sbit", "__sfr", "__sfr16", "__using", "__xdata",
};

template <std::size_t N>
bool IsOneOf(const std::array<const char*, N>& words, std::string_view word, bool ignoreCase)
{
    return std::any_of(words.begin(), words.end(), [&](const char* w) {
        const std::string_view candidate(w);
        return candidate.size() == word.size() &&
               std::equal(word.begin(), word.end(), candidate.begin(), [ignoreCase](char a, char b) {
                   return ignoreCase ? std::tolower(static_cast<unsigned char>(a)) == b : a == b;
               });
    });
}

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// A character that is none of the others: one byte, or both of a GBK pair, so that no
// run parts a character.
int OtherLength(std::string_view line, std::size_t at)
{
    const bool pair = zorkit::IsGbkLeadByte(static_cast<unsigned char>(line[at])) && at + 1 < line.size() &&
                      zorkit::IsGbkTrailByte(static_cast<unsigned char>(line[at + 1]));
    return pair ? 2 : 1;
}

// Adds a run, joining it to the one before when the kind is the same.
void Add(std::vector<CColourRun>& runs, int start, int length, TokenKind kind)
{
    if (length <= 0)
        return;
    if (!runs.empty() && runs.back().kind == kind && runs.back().start + runs.back().length == start)
        runs.back().length += length;
    else
        runs.push_back({start, length, kind});
}

// A number from at: digits, letters (0x30, 30H, 0b101) and nothing else.
int NumberLength(std::string_view line, std::size_t at)
{
    std::size_t end = at;
    while (end < line.size() && std::isalnum(static_cast<unsigned char>(line[end])))
        ++end;
    return int(end - at);
}

// A quoted text from at, with backslash escapes; to the line's end when unclosed.
int QuotedLength(std::string_view line, std::size_t at)
{
    const char quote = line[at];
    std::size_t end = at + 1;
    while (end < line.size() && line[end] != quote)
        end += line[end] == '\\' ? 2 : 1;
    return int(std::min(end + 1, line.size()) - at);
}

std::vector<CColourRun> ColourAssembly(std::string_view line)
{
    std::vector<CColourRun> runs;
    std::size_t at = 0;
    bool sawMnemonic = false;
    while (at < line.size()) {
        const char c = line[at];
        if (c == ';') {
            Add(runs, int(at), int(line.size() - at), TokenKind::Comment);
            break;
        }
        if (c == '"' || c == '\'') {
            const int length = QuotedLength(line, at);
            Add(runs, int(at), length, TokenKind::String);
            at += std::size_t(length);
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            const int length = NumberLength(line, at);
            Add(runs, int(at), length, TokenKind::Number);
            at += std::size_t(length);
        } else if (IsWordStart(c)) {
            std::size_t end = at + 1;
            while (end < line.size() && IsWordChar(line[end]))
                ++end;
            const std::string_view word = line.substr(at, end - at);
            TokenKind kind = TokenKind::Plain;
            if (end < line.size() && line[end] == ':') {
                kind = TokenKind::Label;
                ++end;
            } else if (word[0] == '.') {
                kind = TokenKind::Directive;
            } else if (!sawMnemonic && IsOneOf(kMnemonics, word, true)) {
                kind = TokenKind::Keyword;
                sawMnemonic = true;
            } else if (IsOneOf(kRegisters, word, true)) {
                kind = TokenKind::Register;
            }
            Add(runs, int(at), int(end - at), kind);
            at = end;
        } else {
            const int length = OtherLength(line, at);
            Add(runs, int(at), length, c == '#' && at + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[at + 1]))
                                           ? TokenKind::Number : TokenKind::Plain);
            at += std::size_t(length);
        }
    }
    return runs;
}

std::vector<CColourRun> ColourC(std::string_view line, CLineState& state)
{
    std::vector<CColourRun> runs;
    std::size_t at = 0;
    // A preprocessor line is a directive from its '#' on, comments apart.
    const std::size_t first = line.find_first_not_of(" \t");
    const bool directive = !state.inComment && first != std::string_view::npos && line[first] == '#';
    while (at < line.size()) {
        if (state.inComment) {
            const std::size_t close = line.find("*/", at);
            const std::size_t end = close == std::string_view::npos ? line.size() : close + 2;
            Add(runs, int(at), int(end - at), TokenKind::Comment);
            state.inComment = close == std::string_view::npos;
            at = end;
            continue;
        }
        const char c = line[at];
        const char next = at + 1 < line.size() ? line[at + 1] : '\0';
        if (c == '/' && next == '/') {
            Add(runs, int(at), int(line.size() - at), TokenKind::Comment);
            break;
        }
        if (c == '/' && next == '*') {
            state.inComment = true;
            Add(runs, int(at), 2, TokenKind::Comment);
            at += 2;
            continue;
        }
        if (c == '"' || c == '\'') {
            const int length = QuotedLength(line, at);
            Add(runs, int(at), length, directive ? TokenKind::Directive : TokenKind::String);
            at += std::size_t(length);
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            const int length = NumberLength(line, at);
            Add(runs, int(at), length, directive ? TokenKind::Directive : TokenKind::Number);
            at += std::size_t(length);
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t end = at + 1;
            while (end < line.size() && IsWordChar(line[end]))
                ++end;
            const TokenKind kind = directive                                              ? TokenKind::Directive
                                   : IsOneOf(kCKeywords, line.substr(at, end - at), false) ? TokenKind::Keyword
                                                                                          : TokenKind::Plain;
            Add(runs, int(at), int(end - at), kind);
            at = end;
        } else {
            const int length = OtherLength(line, at);
            Add(runs, int(at), length, directive ? TokenKind::Directive : TokenKind::Plain);
            at += std::size_t(length);
        }
    }
    return runs;
}

}

std::vector<CColourRun> ColourLine(SourceLanguage language, std::string_view line, CLineState& state)
{
    return language == SourceLanguage::C ? ColourC(line, state) : ColourAssembly(line);
}

SourceLanguage LanguageOfFile(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return SourceLanguage::Assembly;
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "c" || extension == "h" ? SourceLanguage::C : SourceLanguage::Assembly;
}

COLORREF ColourOf(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Comment: return RGB(0, 128, 0);
    case TokenKind::Keyword: return RGB(0, 0, 192);
    case TokenKind::Register: return RGB(128, 0, 128);
    case TokenKind::Number: return RGB(160, 64, 0);
    case TokenKind::String: return RGB(163, 21, 21);
    case TokenKind::Directive: return RGB(0, 128, 128);
    case TokenKind::Label: return RGB(128, 64, 0);
    case TokenKind::Plain: break;
    }
    return RGB(0, 0, 0);
}

}
