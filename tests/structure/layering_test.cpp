// The layering rules, and the tree against them (the build checks the tree too, before
// it compiles anything).
#include <gtest/gtest.h>

#include "checks/IncludeRules.h"

using zorkit::structure::CheckTree;
using zorkit::structure::IncludeViolation;

TEST(Layering, EveryIncludeOfTheTreeGoesTheAllowedWay)
{
    for (const zorkit::structure::COffence& o : CheckTree(ZORKIT_SOURCE_DIR))
        ADD_FAILURE() << o.where << ": " << o.line << "\n    " << o.reason;
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
    // A public header keeps its layer's internals out of a host's sight; tools stand apart.
    EXPECT_TRUE(IncludeViolation("link/ZORComm.h", "zorkit/link/internal/ControlLaws.h"));
    EXPECT_TRUE(IncludeViolation("platform/ui/Wnd.h", "zorkit/platform/ui/internal/Desktop.h"));
    EXPECT_TRUE(IncludeViolation("tools/zorstudio/ProgramListing.h", "tools/zordis/CodeTracer.h"));
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
    EXPECT_FALSE(IncludeViolation("link/internal/Worker.h", "zorkit/link/internal/ControlLaws.h"));
    EXPECT_FALSE(IncludeViolation("tools/zorstudio/Tour.cpp", "tools/common/IntelHex.h"));
    EXPECT_FALSE(IncludeViolation("tools/zorsim/PanelWindow.cpp", "tools/boardpanel/BoardPanel.h"));
    EXPECT_FALSE(IncludeViolation("module/LibraryClasses.cpp", "zorkit/editor/TextBuf.h"));
    EXPECT_FALSE(IncludeViolation("sim/Monitor.cpp", "zorkit/disasm/Disassemble.h"));
    EXPECT_FALSE(IncludeViolation("tools/zorlink/main.cpp", "sim/VirtualBoard.h"));
    EXPECT_FALSE(IncludeViolation("platform/serial/SerialPort.cpp", "termios.h"));
}
