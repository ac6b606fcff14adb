#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "tests/support/ClipboardText.h"

namespace {

using zorkit::test::PutClipboardText;
using zorkit::test::ClipboardText;

// Stands for the desktop's clipboard.
struct FakeDesktop : zorkit::ClipboardBridge {
    std::optional<std::string> text;
    std::optional<std::string> ReadUtf8() override { return text; }
    void WriteUtf8(const std::string& utf8) override { text = utf8; }
};

TEST(Clipboard, TextRoundTripsAsGbkBytesWithTheirNul)
{
    std::string gbk = zorkit::GbkFromUtf8("第1行\r\nline 2");
    ASSERT_TRUE(PutClipboardText(gbk));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(ClipboardText(), gbk);
}

TEST(Clipboard, OnlyOneOpenerAtATimeAndDataOnlyAfterEmptying)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "already open";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 2);
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr) << "not emptied first";
    GlobalFree(block);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr) << "closed";
}

TEST(Clipboard, BridgeCarriesTextToAndFromTheDesktopInUtf8)
{
    auto desktop = std::make_shared<FakeDesktop>();
    zorkit::SetClipboardBridge(desktop);
    ASSERT_TRUE(PutClipboardText(zorkit::GbkFromUtf8("中文")));
    EXPECT_EQ(desktop->text, std::optional<std::string>("中文"));
    desktop->text = "从桌面";
    EXPECT_EQ(ClipboardText(), zorkit::GbkFromUtf8("从桌面"));
    desktop->text.reset();
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    zorkit::SetClipboardBridge(nullptr);
}

}
