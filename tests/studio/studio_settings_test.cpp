#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/studio/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/StudioSettings.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CLineChoice;
using zorstudio::LoadLineChoice;
using zorstudio::SaveLineChoice;

TEST(StudioSettings, PathFollowsXdgConfigHomeElseHome)
{
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(zorstudio::SettingsPath(), "/tmp/cfg/zorkit/zorstudio.conf");
    }
    ScopedEnv home("HOME", "/home/student");
    {
        ScopedEnv config("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(zorstudio::SettingsPath(), "/home/student/.config/zorkit/zorstudio.conf");
    }
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(zorstudio::SettingsPath(), "/home/student/.config/zorkit/zorstudio.conf") << "a relative path is ignored";
}

TEST(StudioSettings, TheLastDeviceAndBaudComeBack)
{
    TempDir scratch;
    const std::string path = (scratch.Path() / "made" / "zorkit" / "zorstudio.conf").string();
    ASSERT_TRUE(SaveLineChoice({"/dev/ttyUSB0", 2400}, path)) << "the directory is made";
    CLineChoice choice = LoadLineChoice(path);
    EXPECT_EQ(choice.device, "/dev/ttyUSB0");
    EXPECT_EQ(choice.baud, 2400);
    ASSERT_TRUE(SaveLineChoice({"", 9600}, path));
    EXPECT_TRUE(LoadLineChoice(path).IsVirtual());
    EXPECT_EQ(scratch.EntryCount(), 1) << "no temporary left behind";
}

TEST(StudioSettings, MissingOrBadFilesGiveDefaults)
{
    TempDir scratch;
    CLineChoice missing = LoadLineChoice(scratch.File("none.conf"));
    EXPECT_TRUE(missing.IsVirtual());
    EXPECT_EQ(missing.baud, 9600);

    const std::string bad = scratch.Write("bad.conf", "device=/dev/ttyS1\nbaud=9601\ngarbage\n\xff\xfe=\n");
    CLineChoice partly = LoadLineChoice(bad);
    EXPECT_EQ(partly.device, "/dev/ttyS1") << "a good value stays";
    EXPECT_EQ(partly.baud, 9600) << "a rate the board does not have is the default";
    EXPECT_EQ(LoadLineChoice(scratch.Write("text.conf", "baud=fast\n")).baud, 9600);
    EXPECT_EQ(LoadLineChoice(scratch.Write("huge.conf", "baud=96000000000000000000\n")).baud, 9600);
    EXPECT_TRUE(LoadLineChoice(scratch.Path().string()).IsVirtual()) << "a directory is no file";
}

TEST(StudioSettings, AFailedSaveKeepsTheOldFile)
{
    TempDir scratch;
    const std::string path = scratch.File("zorstudio.conf");
    ASSERT_TRUE(SaveLineChoice({"/dev/ttyUSB1", 4800}, path));
    EXPECT_FALSE(SaveLineChoice({"/dev/tty\nUSB2", 4800}, path)) << "a device name with a line end cannot be kept";
    EXPECT_FALSE(SaveLineChoice({"/dev/ttyUSB2", 1234}, path));
    EXPECT_EQ(LoadLineChoice(path).device, "/dev/ttyUSB1");
    EXPECT_FALSE(SaveLineChoice({"/dev/ttyUSB2", 9600}, "/proc/zorkit-denied/zorstudio.conf"));
}

TEST(StudioSettings, TheLayoutAndTheLineAreKeptApartInOneFile)
{
    TempDir scratch;
    const std::string path = scratch.File("zorstudio.conf");
    ASSERT_TRUE(SaveLineChoice({"/dev/ttyUSB0", 4800}, path));
    zorstudio::CLayoutSizes sizes;
    sizes.listingWidth = 412, sizes.rightWidth = 300, sizes.registerHeight = 150, sizes.dockHeight = 220;
    sizes.tallHeight = 380, sizes.dockTab = zorstudio::Pane::Experiment;
    ASSERT_TRUE(zorstudio::SaveLayoutSizes(sizes, path));
    EXPECT_TRUE(zorstudio::LoadLayoutSizes(path) == sizes);
    EXPECT_EQ(LoadLineChoice(path).device, "/dev/ttyUSB0") << "the layout's save keeps the line";
    ASSERT_TRUE(SaveLineChoice({"/dev/ttyUSB1", 2400}, path));
    EXPECT_TRUE(zorstudio::LoadLayoutSizes(path) == sizes) << "the line's save keeps the layout";
    EXPECT_EQ(TempDir::Read(path).rfind("device=/dev/ttyUSB1\nbaud=2400\n", 0), 0u) << "lines keep their places";

    // Nothing sensible: the panes' own sizes and the first tab.
    const std::string bad = scratch.Write("bad.conf", "layout.listing=-5\nlayout.dock=wide\nlayout.right=99999\n"
                                                      "layout.tab=nowhere\nlayout.registers=120\n");
    const zorstudio::CLayoutSizes loaded = zorstudio::LoadLayoutSizes(bad);
    EXPECT_EQ(loaded.listingWidth, 0);
    EXPECT_EQ(loaded.dockHeight, 0);
    EXPECT_EQ(loaded.rightWidth, 0) << "no screen is that wide";
    EXPECT_EQ(loaded.registerHeight, 120) << "a good value stays";
    EXPECT_EQ(loaded.dockTab, zorstudio::Pane::Output);
}

}
}
