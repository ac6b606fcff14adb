// The one command-line grammar every tool's option table gives.
#include <gtest/gtest.h>

#include "tools/common/OptionTable.h"

using tools::CCommandLine;
using tools::COptionTable;
using Outcome = CCommandLine::Outcome;

namespace {

// A table like a tool's: a switch, a checked value and a repeatable one.
struct CSampleTool {
    explicit CSampleTool(COptionTable::Words words = COptionTable::Words::Anywhere)
        : table("sample", "Usage: sample [OPTIONS] FILE", "Does a sample's work.", words)
    {
        table.Flag("-t,--trace", "print the bytes", trace);
        table.Value("-c,--cpu", "8051|8098", "the CPU", [this](const std::string& value) -> std::optional<std::string> {
            if (value != "8051" && value != "8098")
                return "unknown CPU '" + value + "'";
            cpu = value;
            return std::nullopt;
        });
        table.Repeated("-f,--fault", "NAME", "arm a fault", [this](const std::string& value) -> std::optional<std::string> {
            faults.push_back(value);
            return std::nullopt;
        });
        table.Footer("Exit status: 0 or 2.\n");
    }
    COptionTable table;
    bool trace = false;
    std::string cpu;
    std::vector<std::string> faults;
};

}

TEST(OptionTableTest, EverySpellingOfAValueMeansTheSame)
{
    for (std::vector<std::string> line : {std::vector<std::string>{"--cpu", "8098"}, {"--cpu=8098"}, {"-c", "8098"}, {"-c8098"}}) {
        CSampleTool tool;
        CCommandLine parsed = tool.table.Parse(line);
        EXPECT_EQ(parsed.outcome, Outcome::Run) << line[0];
        EXPECT_EQ(tool.cpu, "8098") << line[0];
    }
    CSampleTool tool;
    EXPECT_EQ(tool.table.Parse({"-c", "8051", "--cpu=8098"}).outcome, Outcome::Run);
    EXPECT_EQ(tool.cpu, "8098") << "the last of a repeated option counts";
}

TEST(OptionTableTest, RepeatedValuesAreTakenInOrderAndWordsStandAnywhere)
{
    CSampleTool tool;
    CCommandLine parsed = tool.table.Parse({"a.hex", "-f", "nak", "-t", "--fault=garbage", "b.hex", "--", "-c"});
    ASSERT_EQ(parsed.outcome, Outcome::Run) << parsed.error;
    EXPECT_TRUE(tool.trace);
    EXPECT_EQ(tool.faults, (std::vector<std::string>{"nak", "garbage"}));
    EXPECT_EQ(parsed.words, (std::vector<std::string>{"a.hex", "b.hex", "-c"})) << "-- ends the options";
}

TEST(OptionTableTest, TheFirstOtherWordEndsTheOptionsOfACommandTool)
{
    CSampleTool tool(COptionTable::Words::EndOptions);
    CCommandLine parsed = tool.table.Parse({"-t", "control", "temp", "--cpu", "8086", "-t"});
    ASSERT_EQ(parsed.outcome, Outcome::Run) << parsed.error;
    EXPECT_EQ(parsed.words, (std::vector<std::string>{"control", "temp", "--cpu", "8086", "-t"}));
    EXPECT_TRUE(tool.cpu.empty()) << "the command's own options are left to it";
    CSampleTool dashed(COptionTable::Words::EndOptions);
    EXPECT_EQ(dashed.table.Parse({"--", "-t"}).words, std::vector<std::string>{"-t"});
}

TEST(OptionTableTest, WrongLinesSayWhatIsWrongInTheToolsWords)
{
    struct CWrong {
        std::vector<std::string> line;
        std::string error;
    };
    for (COptionTable::Words words : {COptionTable::Words::Anywhere, COptionTable::Words::EndOptions})
        for (const CWrong& wrong : {CWrong{{"--cpu", "8099", "--cpu", "bad"}, "unknown CPU 'bad'"},
                 CWrong{{"--cpu"}, "option --cpu needs a value"},
                 CWrong{{"--frob", "x"}, "unknown option '--frob'"},
                 CWrong{{"--trace=maybe"}, "option --trace takes no value"}}) {
            CSampleTool tool(words);
            CCommandLine parsed = tool.table.Parse(wrong.line);
            EXPECT_EQ(parsed.outcome, Outcome::UsageError) << wrong.line[0];
            EXPECT_EQ(parsed.error, wrong.error);
        }
}

TEST(OptionTableTest, HelpWinsAndComesFromTheTable)
{
    CSampleTool tool;
    EXPECT_EQ(tool.table.Parse({"--cpu", "8099", "--help"}).outcome, Outcome::Help);
    EXPECT_EQ(tool.table.Parse({"--cpu"}).outcome, Outcome::UsageError);
    CSampleTool missing;
    EXPECT_EQ(missing.table.Parse({"-x", "-h"}).outcome, Outcome::Help);
    const std::string help = tool.table.Help();
    EXPECT_EQ(help.rfind("Usage: sample [OPTIONS] FILE\n\nDoes a sample's work.\n", 0), 0u) << help;
    for (const char* line : {"  -t, --trace ", "  -c, --cpu 8051|8098 ", "  -f, --fault NAME ", "  -h, --help "})
        EXPECT_NE(help.find(line), std::string::npos) << line << " in\n" << help;
    EXPECT_LT(help.find("--fault"), help.find("--help")) << "the tool's own options first";
    EXPECT_EQ(help.substr(help.size() - 22), "\nExit status: 0 or 2.\n");
}
