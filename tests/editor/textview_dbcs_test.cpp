// Double-byte characters are whole on screen and in the text: painting, hit testing,
// measuring, word selection and every edit step over whole GBK characters, while
// positions stay bytes and the arrow keys keep their byte steps.
#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "tests/editor/EditPanes.h"

namespace {

using zorkit::InputKind;
using zorkit::test::EditPanes;
using zorkit::test::Sel;
using Lines = std::vector<std::string>;

const std::string kZhong = zorkit::GbkFromUtf8("中");

struct DoubleByteText : EditPanes {
    // The pixels of line 0 of the editor, as the user sees them.
    std::vector<COLORREF> LinePixels()
    {
        Editor().Invalidate(FALSE);
        Editor().UpdateWindow();
        auto picture = zorkit::CaptureWindow(Editor().m_hWnd, true);
        CRect client;
        Editor().GetClientRect(&client);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < Editor().GetLineHeight(); ++y)
            for (int x = Editor().GetMarginWidth(); x < client.right; ++x)
                pixels.push_back(picture->GetPixel(x, y));
        return pixels;
    }
    std::vector<COLORREF> PixelsWithSelection(CPoint start, CPoint end)
    {
        Editor().SetSelection(start, end);
        return LinePixels();
    }
    // A double click as the desktop makes it: two presses close in time and place.
    void DoubleClick(CPoint client)
    {
        zorkit::test::ClickAt(Editor(), client, 1000);
        zorkit::test::ClickAt(Editor(), client, 1100);
    }
};

TEST_F(DoubleByteText, ASelectionEndingInsideACharacterPaintsTheWholeCharacter)
{
    Show({kZhong + "a"});
    const auto plain = PixelsWithSelection(CPoint(0, 0), CPoint(0, 0));
    const auto whole = PixelsWithSelection(CPoint(0, 0), CPoint(3, 0));
    ASSERT_NE(whole, plain);
    EXPECT_EQ(PixelsWithSelection(CPoint(1, 0), CPoint(3, 0)), whole) << "from the character's second byte";
    const auto character = PixelsWithSelection(CPoint(0, 0), CPoint(2, 0));
    EXPECT_EQ(PixelsWithSelection(CPoint(0, 0), CPoint(1, 0)), character) << "to the character's second byte";
    EXPECT_EQ(PixelsWithSelection(CPoint(1, 0), CPoint(2, 0)), character) << "inside the character alone";
    EXPECT_NE(character, whole);
    EXPECT_EQ(PixelsWithSelection(CPoint(2, 0), CPoint(2, 0)), plain);
}

// 0x81 0x30 is no character: the font draws a lone lead byte and a digit, so the hit
// test, the measuring and the selection painting see two characters as well.
TEST_F(DoubleByteText, ALeadByteBeforeANonTrailByteIsTwoCharactersEverywhere)
{
    const std::string line = std::string("a\x81" "0b", 4);
    Show({line});
    CUIEditView& view = Editor();
    for (int x = 0; x <= 4; ++x) {
        const CPoint at = view.TextToClient(CPoint(x, 0));
        EXPECT_EQ(view.ClientToText(at + CSize(1, 2)), CPoint(x, 0)) << "just right of the edge before byte " << x;
    }
    EXPECT_LT(view.CalcTxtOffset(CPoint(2, 0)), view.CalcTxtOffset(CPoint(3, 0)));
    EXPECT_EQ(view.CalcTxtOffset(CPoint(3, 0)) - view.CalcTxtOffset(CPoint(2, 0)), view.CalcTxtExtent("0", 1).cx)
        << "the digit is measured on its own";
    const auto digit = PixelsWithSelection(CPoint(2, 0), CPoint(3, 0));
    EXPECT_NE(digit, PixelsWithSelection(CPoint(1, 0), CPoint(3, 0))) << "the lead byte can be selected alone";

    const std::string valid = zorkit::GbkFromUtf8("丂");  // 0x81 0x40
    ASSERT_EQ(valid, std::string("\x81\x40"));
    EXPECT_EQ(zorkit::NextGbkBoundary(valid.data(), 2, 0), 2);
    EXPECT_EQ(zorkit::NextGbkBoundary(line.data(), 4, 1), 2);
    EXPECT_EQ(zorkit::PrevGbkBoundary(line.data(), 4, 3), 2);
}

TEST_F(DoubleByteText, ADoubleClickSelectsWholeCharactersOfAnyTrailByte)
{
    const std::string gao = zorkit::GbkFromUtf8("皜");   // 0xB0 0x80
    const std::string kao = zorkit::GbkFromUtf8("丂");   // 0x81 0x40
    ASSERT_EQ(gao, std::string("\xB0\x80"));
    Show({"x " + gao + " y", "x " + kao + kZhong + " y"});
    DoubleClick(Editor().TextToClient(CPoint(2, 0)) + CSize(2, 3));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(2, 0), CPoint(4, 0)));
    DoubleClick(Editor().TextToClient(CPoint(2, 1)) + CSize(2, 3));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(2, 1), CPoint(6, 1))) << "a lead byte below 0xA1 starts a word too";
    DoubleClick(Editor().TextToClient(CPoint(4, 1)) + CSize(2, 3));
    EXPECT_EQ(Selection(Editor()), Sel(CPoint(2, 1), CPoint(6, 1)));
}

TEST_F(DoubleByteText, BackspaceAndDeleteRemoveWholeCharacters)
{
    Show({"a" + kZhong, kZhong + "b" + kZhong});
    Key(VK_END);
    Key(VK_BACK);
    EXPECT_EQ(Text(), (Lines{"a", kZhong + "b" + kZhong}));
    EXPECT_EQ(Cursor(), CPoint(1, 0));
    Key(VK_DOWN);
    Key(VK_HOME);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), (Lines{"a", "b" + kZhong}));
    Key(VK_END);
    Key(VK_LEFT);
    ASSERT_EQ(Cursor(), CPoint(2, 1)) << "the arrow keys keep their byte steps";
    Key(VK_BACK);
    EXPECT_EQ(Text(), (Lines{"a", "b"})) << "inside a character, Backspace takes the character";
    EXPECT_EQ(Cursor(), CPoint(1, 1));
    Type("中");
    Key(VK_LEFT);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), (Lines{"a", "b"})) << "and so does Delete";
}

TEST_F(DoubleByteText, TextGoesInAtTheCharacterBoundaryAndTypedCharactersStayWhole)
{
    Show({kZhong + "b"});
    Key(VK_RIGHT);
    ASSERT_EQ(Cursor(), CPoint(1, 0));
    Type("x");
    EXPECT_EQ(Text(), Lines{kZhong + "xb"}) << "after the character the cursor stands in";
    EXPECT_EQ(Cursor(), CPoint(3, 0));

    Key(VK_HOME);
    Key(VK_RIGHT);
    zorkit::test::SetClipboardText("pq");
    Command(Editor(), ID_EDIT_PASTE);
    EXPECT_EQ(Text(), Lines{kZhong + "pqxb"});
    EXPECT_EQ(Cursor(), CPoint(4, 0));

    // The first byte of a typed double-byte character would pair with the 'x' after it.
    Type("国");
    EXPECT_EQ(Text(), Lines{kZhong + "pq" + zorkit::GbkFromUtf8("国") + "xb"});
    EXPECT_EQ(Cursor(), CPoint(6, 0));
}

TEST_F(DoubleByteText, ASelectionInsideACharacterIsCutWhole)
{
    Show({"a" + kZhong + "b"});
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT, {VK_SHIFT});
    ASSERT_EQ(Selection(Editor()), Sel(CPoint(2, 0), CPoint(3, 0)));
    Command(Editor(), ID_EDIT_COPY);
    EXPECT_EQ(zorkit::test::ClipboardText(), kZhong) << "what is painted selected is copied";
    Command(Editor(), ID_EDIT_CUT);
    EXPECT_EQ(Text(), Lines{"ab"});
    EXPECT_EQ(Cursor(), CPoint(1, 0));
    Key(VK_END);
    Type("中");
    Key(VK_LEFT, {VK_SHIFT});
    Type("z");
    EXPECT_EQ(Text(), Lines{"abz"}) << "typing over half a character replaces all of it";
}

}
