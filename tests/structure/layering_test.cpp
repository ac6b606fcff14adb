// Every #include of the tree follows the layering: a wrong-direction include fails
// here with the offending line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/structure/IncludeRules.h"

namespace fs = std::filesystem;
using zorkit::structure::IncludeViolation;

namespace {

struct Offence {
    std::string where;
    std::string line;
    std::string reason;
};

std::vector<Offence> CheckTree(const fs::path& root)
{
    static const std::regex include(R"(^\s*#\s*include\s*["<]([^">]+)[">])");
    std::vector<Offence> offences;
    for (const char* top : {"platform", "module", "link", "disasm", "graph", "editor", "grid", "dialogs", "sim",
             "tools", "include"}) {
        if (!fs::exists(root / top))
            continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
                continue;
            const std::string relative = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch match;
                if (!std::regex_search(line, match, include))
                    continue;
                if (auto reason = IncludeViolation(relative, match[1].str()))
                    offences.push_back({relative + ":" + std::to_string(number), line, *reason});
            }
        }
    }
    return offences;
}

}

TEST(Layering, EveryIncludeOfTheTreeGoesTheAllowedWay)
{
    const std::vector<Offence> offences = CheckTree(ZORKIT_SOURCE_DIR);
    for (const Offence& o : offences)
        ADD_FAILURE() << o.where << ": " << o.line << "\n    " << o.reason;
    EXPECT_TRUE(offences.empty());
}

TEST(Layering, TheRulesRefuseEachKindOfWrongInclude)
{
    // Up the platform stack, into the library, between subsystems, into internals.
    EXPECT_TRUE(IncludeViolation("platform/gdi/DC.cpp", "zorkit/platform/ui/Wnd.h"));
    EXPECT_TRUE(IncludeViolation("platform/core/CString.cpp", "zorkit/link/ZORComm.h"));
    EXPECT_TRUE(IncludeViolation("graph/Graph.cpp", "zorkit/link/ZORComm.h"));
    EXPECT_TRUE(IncludeViolation("editor/TextBuf.cpp", "zorkit/platform/ui/internal/Desktop.h"));
    EXPECT_TRUE(IncludeViolation("tools/zordis/main.cpp", "zorkit/disasm/internal/OpcodeTable.h"));
    // Old-style paths, the umbrella inside the library, the OS outside the platform.
    EXPECT_TRUE(IncludeViolation("link/CommPort.cpp", "platform/core/Time.h"));
    EXPECT_TRUE(IncludeViolation("graph/Graph.cpp", "zorkit/zorkit.h"));
    EXPECT_TRUE(IncludeViolation("link/CommPort.cpp", "termios.h"));
    EXPECT_TRUE(IncludeViolation("sim/Monitor.cpp", "tools/common/IntelHex.h"));
    EXPECT_TRUE(IncludeViolation("module/LibraryEntry.cpp", "zorkit/platform/sdl/OnScreen.h"));
    // A subsystem uses only the platform layers it links.
    EXPECT_TRUE(IncludeViolation("graph/Graph.cpp", "zorkit/platform/serial/SerialPort.h"));
    EXPECT_TRUE(IncludeViolation("disasm/Disassemble.cpp", "zorkit/platform/ui/Wnd.h"));
}

TEST(Layering, TheRulesAcceptTheAllowedDirections)
{
    EXPECT_FALSE(IncludeViolation("platform/ui/Wnd.cpp", "zorkit/platform/gdi/DC.h"));
    EXPECT_FALSE(IncludeViolation("platform/sdl/ScreenBackend.cpp", "zorkit/platform/ui/internal/Desktop.h"));
    EXPECT_FALSE(IncludeViolation("link/ZORComm.cpp", "zorkit/module/ResourceIds.h"));
    EXPECT_FALSE(IncludeViolation("link/CommPort.cpp", "zorkit/platform/serial/SerialPort.h"));
    EXPECT_FALSE(IncludeViolation("disasm/Disassemble.cpp", "zorkit/platform/core/CString.h"));
    EXPECT_FALSE(IncludeViolation("link/ZORComm.cpp", "zorkit/link/internal/ControlLaws.h"));
    EXPECT_FALSE(IncludeViolation("module/LibraryClasses.cpp", "zorkit/editor/TextBuf.h"));
    EXPECT_FALSE(IncludeViolation("sim/Monitor.cpp", "zorkit/disasm/Disassemble.h"));
    EXPECT_FALSE(IncludeViolation("tools/zorlink/main.cpp", "sim/VirtualBoard.h"));
    EXPECT_FALSE(IncludeViolation("platform/serial/SerialPort.cpp", "termios.h"));
}
