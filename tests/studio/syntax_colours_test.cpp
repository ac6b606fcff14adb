#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tools/zorstudio/SyntaxColours.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CLineState;
using zorstudio::ColourLine;
using zorstudio::SourceLanguage;
using zorstudio::TokenKind;

// The line's text of each kind, in order, as "kind:text"; plain text left out.
std::vector<std::string> Marked(SourceLanguage language, const std::string& line, CLineState& state)
{
    static const char* names[] = {"plain", "comment", "keyword", "register", "number", "string", "directive", "label"};
    std::vector<std::string> marked;
    for (const auto& run : ColourLine(language, line, state))
        if (run.kind != TokenKind::Plain)
            marked.push_back(std::string(names[int(run.kind)]) + ":" + line.substr(std::size_t(run.start), std::size_t(run.length)));
    return marked;
}

std::vector<std::string> Asm(const std::string& line)
{
    CLineState state;
    return Marked(SourceLanguage::Assembly, line, state);
}

TEST(SyntaxColours, AssemblyLinesByKind)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Asm("start:\tmov\tsp, #0x60\t; the stack"),
              (V{"label:start:", "keyword:mov", "register:sp", "number:#0x60", "comment:; the stack"}));
    EXPECT_EQ(Asm("\t.area\tCODE (ABS)"), (V{"directive:.area"}));
    EXPECT_EQ(Asm("\tmovc\ta, @a+dptr"), (V{"keyword:movc", "register:a", "register:a", "register:dptr"}));
    EXPECT_EQ(Asm("\tmov\tr3, #COUNT-1"), (V{"keyword:mov", "register:r3", "number:1"})) << "a symbol stays plain";
    EXPECT_EQ(Asm("\tMOV A,#30H"), (V{"keyword:MOV", "register:A", "number:#30H"})) << "mnemonics in any case";
    EXPECT_EQ(Asm("\t.db\t'a', \"x;y\" ; z"), (V{"directive:.db", "string:'a'", "string:\"x;y\"", "comment:; z"}))
        << "a semicolon in quotes is no comment";
    EXPECT_EQ(Asm("mov: inc a"), (V{"label:mov:", "keyword:inc", "register:a"})) << "a label may look like a mnemonic";
    EXPECT_EQ(Asm("\tinc\tinc"), (V{"keyword:inc"})) << "only the first word is the mnemonic";
}

TEST(SyntaxColours, CLinesByKindWithBlockCommentsOverLines)
{
    using V = std::vector<std::string>;
    CLineState state;
    EXPECT_EQ(Marked(SourceLanguage::C, "#include <8051.h>", state), (V{"directive:#include <8051.h>"}));
    EXPECT_EQ(Marked(SourceLanguage::C, "__sfr __at(0x90) P1; /* the port", state),
              (V{"keyword:__sfr", "keyword:__at", "number:0x90", "comment:/* the port"}));
    EXPECT_TRUE(state.inComment);
    EXPECT_EQ(Marked(SourceLanguage::C, "   still */ int interval = 10; // ms", state),
              (V{"comment:   still */", "keyword:int", "number:10", "comment:// ms"}))
        << "interval is no keyword";
    EXPECT_FALSE(state.inComment);
    EXPECT_EQ(Marked(SourceLanguage::C, "char s[] = \"a\\\"/*b\"; char c = '\\'';", state),
              (V{"keyword:char", "string:\"a\\\"/*b\"", "keyword:char", "string:'\\''"}));
    EXPECT_FALSE(state.inComment) << "a comment opener in a string opens nothing";
    EXPECT_EQ(Marked(SourceLanguage::C, "x = 1; /* one */ y = 2;", state), (V{"number:1", "comment:/* one */", "number:2"}));
    EXPECT_FALSE(state.inComment);
}

TEST(SyntaxColours, RunsCoverEveryLineInOrderAndNeverPartACharacter)
{
    std::vector<std::pair<SourceLanguage, std::string>> lines;
    std::ifstream sample(ZORSTUDIO_SAMPLE);
    for (std::string line; std::getline(sample, line);)
        lines.push_back({SourceLanguage::Assembly, line});
    // GBK: 中 is D6 D0, whose trail byte reads as a letter on its own.
    for (const char* line : {"mov a, \xD6\xD0x", "\xD6\xD0\xD6\xD0 ; \xD6\xD0", "int \xD6\xD0 = 1;", "\"\xD6\xD0\" /*", ""})
        for (SourceLanguage language : {SourceLanguage::Assembly, SourceLanguage::C})
            lines.push_back({language, line});
    ASSERT_GT(lines.size(), 40u);
    CLineState state;
    for (const auto& [language, line] : lines) {
        int next = 0;
        for (const auto& run : ColourLine(language, line, state)) {
            EXPECT_EQ(run.start, next) << line;
            EXPECT_GT(run.length, 0) << line;
            const bool startsInsidePair = run.start > 0 && static_cast<unsigned char>(line[std::size_t(run.start) - 1]) == 0xD6;
            EXPECT_FALSE(startsInsidePair) << "a run starts inside a character: " << line;
            next = run.start + run.length;
        }
        EXPECT_EQ(next, int(line.size())) << line;
    }
}

TEST(SyntaxColours, TheLanguageFollowsTheFileName)
{
    EXPECT_EQ(zorstudio::LanguageOfFile("blink.c"), SourceLanguage::C);
    EXPECT_EQ(zorstudio::LanguageOfFile("PORTS.H"), SourceLanguage::C);
    EXPECT_EQ(zorstudio::LanguageOfFile("sort.asm"), SourceLanguage::Assembly);
    EXPECT_EQ(zorstudio::LanguageOfFile("sort.a51"), SourceLanguage::Assembly);
    EXPECT_EQ(zorstudio::LanguageOfFile("README"), SourceLanguage::Assembly);
}

}
}
