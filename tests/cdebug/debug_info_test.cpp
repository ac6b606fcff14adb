// The debug information of real sdcc output: the sample program is compiled here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>

#include "tests/cdebug/LabProgram.h"

namespace {

using cdebug::CType;
using cdebug::Storage;

class DebugInfoTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        lab = new LabProgram;
        lab->Build();
    }
    static void TearDownTestSuite() { delete lab; }

    static const cdebug::CVariable& Global(const std::string& name)
    {
        const cdebug::CVariable* variable = lab->info.Find(name, nullptr);
        EXPECT_NE(variable, nullptr) << name;
        static const cdebug::CVariable none;
        return variable ? *variable : none;
    }
    static const cdebug::CVariable* Local(const std::string& function, const std::string& name)
    {
        const cdebug::CFunction* owner = lab->info.FunctionNamed(function);
        return owner ? lab->info.Find(name, owner) : nullptr;
    }

    static LabProgram* lab;
};

LabProgram* DebugInfoTest::lab = nullptr;

// The first code address after each "; lab.c:N:" comment of the linked listing.
std::map<int, unsigned> ListingLines(const std::filesystem::path& rst)
{
    std::ifstream in(rst);
    static const std::regex comment(R"(^\s+\d+ ;\s+\S*lab\.c:(\d+):)");
    static const std::regex code(R"(^\s+([0-9A-F]{6}) [0-9A-F]{2})");
    std::map<int, unsigned> lines;
    std::optional<int> pending;
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_search(text, m, comment))
            pending = std::atoi(m[1].str().c_str());
        else if (pending && std::regex_search(text, m, code)) {
            lines.emplace(*pending, unsigned(std::stoul(m[1], nullptr, 16)));
            pending.reset();
        }
    }
    return lines;
}

}

TEST_F(DebugInfoTest, LineAddressesAgreeWithTheLinkedListing)
{
    const std::map<int, unsigned> listing = ListingLines(lab->built.hexPath.parent_path() / "lab.rst");
    ASSERT_FALSE(listing.empty());
    for (const char* marker : {"tick", "add", "fact", "recurse", "call", "record", "cursor", "timer", "done"}) {
        const int line = lab->Line(marker);
        auto address = lab->info.AddressOfLine("lab.c", line);
        ASSERT_TRUE(address) << marker;
        ASSERT_TRUE(listing.count(line)) << marker;
        EXPECT_EQ(*address, listing.at(line)) << marker;
        // And back: the address belongs to that line, and its block starts there.
        ASSERT_NE(lab->info.LineAt(*address), nullptr);
        EXPECT_EQ(lab->info.LineAt(*address)->line, line) << marker;
        EXPECT_EQ(lab->info.BlockAt(*address)->first, *address);
    }
    // A line without code takes the next one that has some; past the file's code, none.
    auto after = lab->info.AddressOfLine("lab.c", lab->Line("call") + 1);
    ASSERT_TRUE(after);
    EXPECT_GT(lab->info.LineAt(*after)->line, lab->Line("call"));
    EXPECT_FALSE(lab->info.AddressOfLine("lab.c", 100000));
    EXPECT_FALSE(lab->info.AddressOfLine("other.c", lab->Line("call")));
}

TEST_F(DebugInfoTest, FunctionsHaveTheirLinkedRangesAndTheInterruptItsNumber)
{
    for (const char* name : {"add", "fact", "main", "timer0"}) {
        const cdebug::CFunction* function = lab->info.FunctionNamed(name);
        ASSERT_NE(function, nullptr) << name;
        EXPECT_EQ(lab->MapAddress(std::string("_") + name), function->start) << name;
        EXPECT_LT(function->start, function->end);
        const WORD body = lab->info.BodyOf(*function);
        EXPECT_EQ(lab->info.FunctionAt(body), function);
        EXPECT_EQ(lab->info.FunctionAt(WORD(function->end - 1)), function);
        EXPECT_NE(lab->info.FunctionAt(function->end), function);
    }
    const cdebug::CFunction& timer = *lab->info.FunctionNamed("timer0");
    EXPECT_TRUE(timer.isInterrupt);
    EXPECT_EQ(timer.interruptNumber, 1);
    EXPECT_FALSE(lab->info.FunctionNamed("add")->isInterrupt);
    // The body of add starts at its first statement, past the copying of its argument.
    EXPECT_EQ(lab->info.LineAt(lab->info.BodyOf(*lab->info.FunctionNamed("add")))->line, lab->Line("add"));
    // The stack's start, from the map.
    EXPECT_EQ(lab->info.StackStart(), lab->MapAddress("__start__stack"));
}

TEST_F(DebugInfoTest, GlobalsCarryTheirStorageAddressAndType)
{
    const cdebug::CVariable& record = Global("record");
    EXPECT_EQ(record.storage, Storage::Data);
    EXPECT_EQ(record.address, lab->MapAddress("_record"));
    ASSERT_EQ(record.type->kind, CType::Struct);
    EXPECT_EQ(record.type->size, 7);
    ASSERT_EQ(record.type->fields.size(), 3u);
    EXPECT_EQ(record.type->fields[1].name, "tag");
    EXPECT_EQ(record.type->fields[1].offset, 2);
    EXPECT_EQ(record.type->fields[2].offset, 3);
    EXPECT_EQ(record.type->fields[2].type->kind, CType::Long);

    const cdebug::CVariable& buffer = Global("buffer");
    EXPECT_EQ(buffer.storage, Storage::Xdata);
    EXPECT_EQ(buffer.address, lab->MapAddress("_buffer"));
    EXPECT_EQ(buffer.address, 0x4000) << "the default xram-loc";
    EXPECT_EQ(cdebug::TypeName(*buffer.type), "unsigned char[8]");

    const cdebug::CVariable& cursor = Global("cursor");
    ASSERT_EQ(cursor.type->kind, CType::Pointer);
    EXPECT_EQ(cursor.type->target, Storage::Xdata);
    EXPECT_EQ(cursor.type->size, 2);
    EXPECT_EQ(Global("scale").type->kind, CType::Float);
    EXPECT_FALSE(Global("big").type->isUnsigned);
    EXPECT_EQ(Global("ready").storage, Storage::Bit);
    EXPECT_EQ(Global("ticks").type->kind, CType::Char);
}

TEST_F(DebugInfoTest, LocalsAndParametersBelongToTheirFunctions)
{
    const cdebug::CVariable* word = Local("main", "word");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->storage, Storage::Data);
    EXPECT_EQ(word->type->count, 4);
    ASSERT_NE(Local("main", "i"), nullptr);
    EXPECT_TRUE(Local("main", "i")->type->isUnsigned);
    const cdebug::CVariable* n = Local("fact", "n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->storage, Storage::Register);
    EXPECT_EQ(n->registers.size(), 2u);
    // Both parameters of a leaf function, which sdcc leaves out when it overlays them.
    ASSERT_NE(Local("add", "a"), nullptr);
    ASSERT_NE(Local("add", "b"), nullptr);
    EXPECT_EQ(Local("add", "b")->storage, Storage::Data);
    // A local does not leak into another function.
    EXPECT_EQ(lab->info.Find("word", lab->info.FunctionNamed("add")), nullptr);
}

TEST_F(DebugInfoTest, TheInterruptVectorLeadsToTheProgramsHandler)
{
    // Timer 0's vector 000B jumps to the program's vector at 0100 + 000B.
    bool found = false;
    for (const CIntelHex::Run& run : lab->built.hex.GetRuns())
        if (run.address == 0x000B) {
            EXPECT_EQ(run.bytes, (std::vector<std::uint8_t>{0x02, 0x01, 0x0B}));
            found = true;
        }
    EXPECT_TRUE(found);
    // And it is in the .ihx that zorlink downloads.
    CIntelHex hex;
    ASSERT_TRUE(hex.LoadFile(lab->built.hexPath.string())) << hex.GetError();
    EXPECT_EQ(hex.GetRuns().front().address, 0x000Bu);
}

TEST(DebugInfoSettings, StackAutoPutsLocalsOnTheStackAndLargeModelInExternalRam)
{
    LabProgram reentrant;
    reentrant.Build({{"stack-auto", "yes"}});
    const cdebug::CVariable* b = reentrant.info.Find("b", reentrant.info.FunctionNamed("add"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->storage, Storage::Stack);
    EXPECT_LT(b->stackOffset, 0) << "a parameter lies below the frame pointer";
    EXPECT_TRUE(reentrant.info.FramePointer());

    LabProgram large;
    large.Build({{"model", "large"}, {"code-loc", "2000"}});
    const cdebug::CVariable* i = large.info.Find("word", large.info.FunctionNamed("main"));
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(i->storage, Storage::Xdata);
    EXPECT_EQ(large.info.FunctionNamed("main")->start >= 0x2000, true);
}

TEST(DebugInfoTypes, PointersOfEachMemoryClassArraysAndBits)
{
    const std::map<std::string, cdebug::TypePtr> none;
    struct Case {
        const char* chain;
        Storage target;
        int size;
    };
    for (const Case& c : {Case{"({2}DC,SC:U)", Storage::Code, 2}, Case{"({1}DD,SI:S)", Storage::Data, 1},
                          Case{"({1}DI,SL:S)", Storage::Idata, 1}, Case{"({1}DP,SC:U)", Storage::Pdata, 1},
                          Case{"({2}DX,SF:S)", Storage::Xdata, 2}, Case{"({3}DG,SC:U)", Storage::None, 3}}) {
        cdebug::TypePtr type = cdebug::ParseTypeChain(c.chain, none);
        ASSERT_TRUE(type) << c.chain;
        EXPECT_EQ(type->kind, CType::Pointer) << c.chain;
        EXPECT_EQ(type->target, c.target) << c.chain;
        EXPECT_EQ(type->size, c.size) << c.chain;
    }
    cdebug::TypePtr table = cdebug::ParseTypeChain("({12}DA3d,DA2d,SI:U)", none);
    ASSERT_TRUE(table);
    EXPECT_EQ(cdebug::TypeName(*table), "unsigned int[2][3]");
    EXPECT_EQ(table->size, 12);
    EXPECT_EQ(cdebug::ParseTypeChain("({1}SB3$1:U)", none)->bitPosition, 3);
    EXPECT_FALSE(cdebug::ParseTypeChain("({2}STmissing:S)", none));
    EXPECT_FALSE(cdebug::ParseTypeChain("{2}SI:S", none));
    EXPECT_FALSE(cdebug::ParseTypeChain("({2}DQ,SI:S)", none));
}

TEST(ProjectFile, ListsSourcesBesideItAndRefusesWhatItDoesNotKnow)
{
    TempDir dir;
    std::ofstream(dir.File("blink.zpj")) << "# a lab\nsource main.c\nsource delay.asm  # helpers\ncode-loc 2000\nmodel large\n";
    CProgramProject project;
    ASSERT_TRUE(project.Load(dir.File("blink.zpj"))) << project.error;
    EXPECT_EQ(project.name, "blink");
    ASSERT_EQ(project.sources.size(), 2u);
    EXPECT_EQ(project.sources[1], dir.Path() / "delay.asm");
    EXPECT_EQ(project.codeLocation, 0x2000u);
    EXPECT_EQ(project.model, "large");

    std::ofstream(dir.File("bad.zpj")) << "source main.c\nspeed fast\n";
    CProgramProject bad;
    EXPECT_FALSE(bad.Load(dir.File("bad.zpj")));
    EXPECT_NE(bad.error.find("bad.zpj:2: unknown setting speed"), std::string::npos) << bad.error;
    std::ofstream(dir.File("empty.zpj")) << "model small\n";
    EXPECT_FALSE(CProgramProject().Load(dir.File("empty.zpj")));
    EXPECT_FALSE(CProgramProject().Apply("model", "huge"));
    EXPECT_FALSE(CProgramProject().Apply("code-loc", "10000"));
}

TEST(CBuild, CompilerErrorsNameTheFileAndLineAndAsmSourcesLinkWithC)
{
    TempDir dir;
    std::ofstream(dir.File("broken.c")) << "void main(void)\n{\n    int x = ;\n}\n";
    CProgramBuildResult broken = BuildProgram(CProgramProject::OfSource(dir.File("broken.c")), dir.Path() / "out");
    EXPECT_FALSE(broken.ok);
    ASSERT_FALSE(broken.messages.empty()) << broken.output;
    EXPECT_EQ(broken.messages.front().line, 3);
    EXPECT_NE(broken.messages.front().file.find("broken.c"), std::string::npos);

    std::ofstream(dir.File("main.c")) << "extern unsigned char twice(unsigned char);\nunsigned char r;\n"
                                         "void main(void)\n{\n    r = twice(21);\n    while (1)\n        ;\n}\n";
    std::ofstream(dir.File("twice.asm")) << "\t.module twice\n\t.globl _twice\n\t.area CSEG (CODE)\n"
                                            "_twice:\n\tmov a,dpl\n\tadd a,dpl\n\tmov dpl,a\n\tret\n";
    std::ofstream(dir.File("mixed.zpj")) << "source main.c\nsource twice.asm\n";
    CProgramProject mixed;
    ASSERT_TRUE(mixed.Load(dir.File("mixed.zpj")));
    CProgramBuildResult built = BuildProgram(mixed, dir.Path() / "mixed");
    ASSERT_TRUE(built.ok) << built.output;
    cdebug::CDebugInfo info;
    ASSERT_TRUE(info.Load(built.cdbPath.string())) << info.Error();
    EXPECT_TRUE(info.AddressOfLine("main.c", 5));
    // The assembly module's lines come from its listing; "_twice:" has no code of its own.
    const auto twice = built.AddressOfLine(dir.File("twice.asm"), 5);
    ASSERT_TRUE(twice) << built.output;
    EXPECT_EQ(built.LineAt(*twice)->line, 5);
    EXPECT_FALSE(built.AddressOfLine(dir.File("twice.asm"), 4));
    // No interrupt handler: nothing is written below the program.
    EXPECT_GE(built.hex.GetRuns().front().address, 0x0100u);
}
