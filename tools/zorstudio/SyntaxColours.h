// The parts of a source line by kind, for the editor's colours: 8051 assembly as the
// bundled assembler reads it (";" comments, ".area" directives, "label:", "#0x30",
// registers, mnemonics) and C as the compiler reads it (comments, strings, keywords
// with the compiler's own, "#include" lines, numbers). A C block comment runs over
// lines, so a C line is coloured from the state the line before left.
//
//   CLineState state;
//   for (const CColourRun& run : ColourLine(SourceLanguage::C, line, state)) ...
#pragma once

#include <string_view>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

enum class SourceLanguage { Assembly, C };

enum class TokenKind { Plain, Comment, Keyword, Register, Number, String, Directive, Label };

struct CColourRun {
    int start;   // byte offset in the line
    int length;
    TokenKind kind;
};

// What a line leaves for the next: inside a C block comment or not.
struct CLineState {
    bool inComment = false;
};

// The runs cover the line from its first byte to its last, in order; state is the
// line's start state, and the next line's on return.
std::vector<CColourRun> ColourLine(SourceLanguage language, std::string_view line, CLineState& state);
// The language of a file's name: C for .c and .h, else assembly.
SourceLanguage LanguageOfFile(std::string_view name);
// The colour text of a kind is drawn in, on the editor's white.
COLORREF ColourOf(TokenKind kind);

}
