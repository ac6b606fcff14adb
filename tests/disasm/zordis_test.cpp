// zordis run as a process on real files.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ZordisTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "zordis-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        if (!m_dir.empty())
            fs::remove_all(m_dir);
    }

    fs::path Write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // Runs zordis with args; stdout and stderr go to files in the test directory.
    Result Run(const std::vector<std::string>& args)
    {
        const fs::path out = m_dir / "stdout";
        const fs::path err = m_dir / "stderr";
        const pid_t pid = fork();
        if (pid == 0) {
            const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(outFd, STDOUT_FILENO);
            dup2(errFd, STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(ZORDIS_PATH)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(ZORDIS_PATH, argv.data());
            _exit(127);
        }
        Result result;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    fs::path m_dir;
};

const std::string kPad(13, ' ');

TEST_F(ZordisTest, ListsARawBinaryAtItsBase)
{
    const fs::path file = Write("prog.bin", std::string("\x02\x01\x00\x80\xFE\xA5\x00", 7));
    const Result r = Run({"--base", "0x0100", file.string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
        "0100  020100" + kPad + "LJMP 0100H\n"
        "0103  80FE" + kPad + "SJMP 0103H\n"
        "0105  A5" + kPad + "A NONSENCE INSTRUCTION\n"
        "0106  00" + kPad + "NOP \n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ZordisTest, ListsIntelHexBlocksAndSkipsTheGaps)
{
    const std::string data = DISASM_DATA_DIR;
    const Result r = Run({data + "/branches.ihx"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ReadFile(data + "/branches.listing"));
    EXPECT_EQ(r.err, "");
}

TEST_F(ZordisTest, WarnsAboutATruncatedLastInstructionAndListsOnlyWholeOnes)
{
    const fs::path file = Write("cut.bin", std::string("\x00\x12\xAB", 3));
    const Result r = Run({file.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0000  00" + kPad + "NOP \n");
    EXPECT_NE(r.err.find("2 bytes left over at 0001H"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("12 AB"), std::string::npos) << r.err;
}

TEST_F(ZordisTest, StartAndEndLimitTheListing)
{
    const fs::path file = Write("range.bin", std::string("\x00\x04\x74\x41\x02\x12\x34\x22", 8));
    Result r = Run({"--start", "1", "--end=0003H", file.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0001  04" + kPad + "INC A\n0002  7441" + kPad + "MOV A,#41H\n");
    EXPECT_EQ(r.err, "");

    // An instruction running past --end is not decoded from the bytes beyond it.
    r = Run({"--start", "4", "--end", "5", file.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("2 bytes left over at 0004H"), std::string::npos) << r.err;
}

TEST_F(ZordisTest, MalformedHexGivesTheLineAndStatus1)
{
    const fs::path file = Write("bad.hex", ":0100000000FF\n:020000000200FD\n:00000001FF\n");
    Result r = Run({file.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("bad.hex:2: bad checksum FDH, expected FCH"), std::string::npos) << r.err;

    const fs::path garbled = Write("garbled.ihx", ":0100000000FF\nhello\n");
    r = Run({garbled.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("garbled.ihx:2:"), std::string::npos) << r.err;
}

TEST_F(ZordisTest, UnusableInputGivesStatus1)
{
    Result r = Run({(m_dir / "missing.bin").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.bin: cannot open"), std::string::npos) << r.err;

    const fs::path big = Write("big.bin", std::string(0x200, '\0'));
    r = Run({"--base", "FF00", big.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("run past the 64 KB code space"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    const fs::path high = Write("high.hex", ":020000040001F9\n:0100000000FF\n:00000001FF\n");
    r = Run({high.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("10000H lies beyond the 64 KB code space"), std::string::npos) << r.err;
}

TEST_F(ZordisTest, CommandLineErrorsGiveStatus2)
{
    const fs::path file = Write("x.bin", std::string(1, '\0'));
    const fs::path hex = Write("x.hex", ":00000001FF\n");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--bogus", file.string()},
        {"--base", "12345", file.string()},
        {"--start", "zz", file.string()},
        {"--end"},
        {"--start", "10", "--end", "F", file.string()},
        {file.string(), file.string()},
        {"--base", "100", hex.string()},
    };
    for (const auto& args : bad) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_NE(r.err.find("zordis: "), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(ZordisTest, HelpDescribesTheUsage)
{
    const Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Usage: zordis [--base ADDR] [--start ADDR] [--end ADDR] FILE\n", 0), 0u);
    EXPECT_EQ(r.err, "");
}

} // namespace
