// The stable name of a USB serial adapter, found in a directory of symbolic links
// laid out as udev lays out /dev/serial/by-id (relative links to ../../ttyUSBn).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tools/common/SerialDevices.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(StableSerialNameTest, AUsbAdapterIsFoundUnderItsByIdNameAndOtherDevicesAreNot)
{
    TempDir root;
    const fs::path dev = root.Path() / "dev";
    const fs::path byId = dev / "serial" / "by-id";
    fs::create_directories(byId);
    for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM3", "ttyS0", "ttyUSBx"})
        root.Write(std::string("dev/") + node, "");
    fs::create_symlink("../../ttyUSB0", byId / "usb-Maker_Adapter_A-if00-port0");
    fs::create_symlink("../../ttyUSB1", byId / "usb-Maker_Adapter_B-if00-port0");
    fs::create_symlink("../../ttyUSB1", byId / "usb-Maker_Adapter_B-if00");
    fs::create_symlink("../../ttyUSB10", byId / "usb-Maker_Adapter_C-if00-port0");
    fs::create_symlink("../../ttyACM3", byId / "usb-Maker_Board-if00");
    fs::create_symlink("../../ttyS0", byId / "odd-name-for-ttyS0");
    fs::create_symlink("../../ttyUSBx", byId / "odd-name-for-ttyUSBx");
    fs::create_symlink("../../ttyUSB9", byId / "usb-Unplugged-if00-port0");

    auto stable = [&](const char* node) { return StableSerialName((dev / node).string(), byId.string()); };
    EXPECT_EQ(stable("ttyUSB0"), (byId / "usb-Maker_Adapter_A-if00-port0").string());
    EXPECT_EQ(stable("ttyUSB1"), (byId / "usb-Maker_Adapter_B-if00").string()) << "the first of two names, in name order";
    EXPECT_EQ(stable("ttyUSB10"), (byId / "usb-Maker_Adapter_C-if00-port0").string()) << "not taken for ttyUSB1";
    EXPECT_EQ(stable("ttyACM3"), (byId / "usb-Maker_Board-if00").string());
    EXPECT_EQ(stable("ttyS0"), "") << "a built-in port keeps its number";
    EXPECT_EQ(stable("ttyUSBx"), "") << "not a ttyUSB number";
    EXPECT_EQ(stable("ttyUSB7"), "") << "a device that is not there";
    EXPECT_EQ(StableSerialName((dev / "ttyUSB0").string(), (root.Path() / "absent").string()), "");
    // A by-id name given as the device is already stable; so is any other path.
    EXPECT_EQ(StableSerialName((byId / "usb-Maker_Adapter_A-if00-port0").string(), byId.string()), "");
}

TEST(StableSerialNameTest, TheByIdDirectoryIsTheSystemsUnlessTheEnvironmentNamesAnother)
{
    const char* saved = std::getenv("ZORKIT_SERIAL_BY_ID_DIR");
    const std::string before = saved ? saved : "";
    ::unsetenv("ZORKIT_SERIAL_BY_ID_DIR");
    EXPECT_EQ(SerialByIdDirectory(), "/dev/serial/by-id");
    ::setenv("ZORKIT_SERIAL_BY_ID_DIR", "/tmp/farm/by-id", 1);
    EXPECT_EQ(SerialByIdDirectory(), "/tmp/farm/by-id");
    ::setenv("ZORKIT_SERIAL_BY_ID_DIR", "", 1);
    EXPECT_EQ(SerialByIdDirectory(), "/dev/serial/by-id");
    if (saved)
        ::setenv("ZORKIT_SERIAL_BY_ID_DIR", before.c_str(), 1);
    else
        ::unsetenv("ZORKIT_SERIAL_BY_ID_DIR");
}
