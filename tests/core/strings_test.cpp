// CString over GBK bytes, the GBK crossings, string resources and message boxes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Resources.h"

TEST(CStringTest, FormatAndSlicesClampInsteadOfOverrunning)
{
    CString s;
    s.Format("%02XH %s %d", 0x0A, "x", -3);
    EXPECT_EQ(s, "0AH x -3");
    s.Format("%s", std::string(5000, 'a').c_str());
    EXPECT_EQ(s.GetLength(), 5000);
    CString t("abcdef");
    EXPECT_EQ(t.Left(99), "abcdef");
    EXPECT_EQ(t.Right(2), "ef");
    EXPECT_EQ(t.Mid(4), "ef");
    EXPECT_EQ(t.Mid(10, 3), "");
    EXPECT_EQ(t.Mid(-1, 2), "ab");
    EXPECT_EQ(t.Find('d'), 3);
    EXPECT_EQ(t.Find("zz"), -1);
    CString u("a-b-c");
    EXPECT_EQ(u.Replace("-", "--"), 2);
    EXPECT_EQ(u, "a--b--c");
}

TEST(CStringTest, BufferAccessTakesTheLengthUpToTheFirstNul)
{
    CString s;
    char* buffer = s.GetBuffer(16);
    std::snprintf(buffer, 16, "COM%d", 3);
    s.ReleaseBuffer();
    EXPECT_EQ(s, "COM3");
    EXPECT_EQ(s.GetLength(), 4);
}

TEST(GbkTest, ChineseTextRoundTripsAndBadBytesBecomeQuestionMarks)
{
    std::string gbk = zorkit::GbkFromUtf8("复位成功!");
    EXPECT_EQ(gbk, "\xB8\xB4\xCE\xBB\xB3\xC9\xB9\xA6!");
    EXPECT_EQ(zorkit::Utf8FromGbk(gbk), "复位成功!");
    EXPECT_EQ(zorkit::CodePointsFromGbk(gbk), U"复位成功!");
    EXPECT_EQ(zorkit::Utf8FromGbk("a\xFF" "b"), "a?b");
    EXPECT_EQ(zorkit::Utf8FromGbk("\xB8"), "?") << "a lead byte cut off at the end";
    EXPECT_TRUE(zorkit::IsGbkLeadByte(0xB8));
    EXPECT_FALSE(zorkit::IsGbkLeadByte('A'));
}

TEST(ResourcesTest, LibraryStringsAreRegisteredAtLoad)
{
    CString text;
    ASSERT_TRUE(text.LoadString(111));
    CString message;
    message.Format(text, 2);
    EXPECT_EQ(zorkit::Utf8FromGbk(message.str()), "无法正确打开串口设备，请检查串口2是否正被其他应用程序使用！");
    ASSERT_TRUE(text.LoadString(59187));
    EXPECT_EQ(zorkit::Utf8FromGbk(text.str()), "======行，======列");
    EXPECT_FALSE(text.LoadString(4242));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(MessageBoxTest, HeadlessBoxesAreRecordedAndAnswerTheirDefaultButton)
{
    zorkit::SetMessageBoxEcho(false);
    zorkit::ClearRecordedMessageBoxes();
    EXPECT_EQ(AfxMessageBox("plain"), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "ask", "caption", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox(111, MB_OKCANCEL), IDOK);
    auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].caption, "caption");
    EXPECT_EQ(boxes[1].type & MB_ICONMASK, MB_ICONQUESTION);
    EXPECT_NE(boxes[2].text.find("%d"), std::string::npos) << "a resource box shows the string as it stands";

    UINT beeped = 1;
    zorkit::SetBeepHook([&](UINT type) { beeped = type; });
    zorkit::SetMessageBoxPresenter([](const zorkit::MessageBoxRecord&) { return IDCANCEL; });
    MessageBeep(0);
    EXPECT_EQ(beeped, 0u);
    EXPECT_EQ(AfxMessageBox("shown", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(zorkit::RecordedMessageBoxes().back().answer, IDCANCEL);
    zorkit::SetMessageBoxPresenter(nullptr);
    zorkit::SetBeepHook(nullptr);
}

TEST(MessageBoxTest, TheRecordKeepsOnlyTheLatestBoxes)
{
    zorkit::SetMessageBoxEcho(false);
    zorkit::ClearRecordedMessageBoxes();
    const int shown = int(zorkit::kRecordedMessageBoxLimit) + 40;
    for (int i = 0; i < shown; ++i)
        AfxMessageBox(std::to_string(i).c_str());
    const auto boxes = zorkit::RecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), zorkit::kRecordedMessageBoxLimit);
    EXPECT_EQ(boxes.front().text, "40") << "the oldest boxes go first";
    EXPECT_EQ(boxes.back().text, std::to_string(shown - 1));
    zorkit::ClearRecordedMessageBoxes();
}

// Stepping back from any boundary, by the short look-back, lands where a walk from the
// start of the text would; stepping forward from there comes back.
TEST(GbkTest, StepsBackAndForthOverCharacterBoundariesOfAnyBytes)
{
    std::mt19937 random(936);
    for (int round = 0; round < 500; ++round) {
        std::string text(std::size_t(random() % 40), '\0');
        for (char& c : text)  // mostly lead-range bytes, to make long ambiguous runs
            c = char(random() % 4 == 0 ? random() % 0x81 : 0x81 + random() % 0x7F);
        const int length = int(text.size());
        std::vector<int> boundaries{0};
        for (int i = 0; i < length;)
            boundaries.push_back(i = zorkit::NextGbkBoundary(text.data(), length, i));
        for (std::size_t k = 1; k < boundaries.size(); ++k) {
            const int back = zorkit::PrevGbkBoundary(text.data(), length, boundaries[k]);
            ASSERT_EQ(back, boundaries[k - 1]) << "text of " << length << " bytes, boundary " << boundaries[k];
            ASSERT_EQ(zorkit::NextGbkBoundary(text.data(), length, back), boundaries[k]);
            for (int inside = boundaries[k - 1]; inside < boundaries[k]; ++inside)
                ASSERT_EQ(zorkit::GbkCharacterStart(text.data(), length, inside), boundaries[k - 1]);
        }
    }
    const std::string chinese = zorkit::GbkFromUtf8("中a");  // D6 D0 61
    EXPECT_EQ(zorkit::NextGbkBoundary(chinese.data(), 3, 0), 2);
    EXPECT_EQ(zorkit::PrevGbkBoundary(chinese.data(), 3, 2), 0);
    EXPECT_EQ(zorkit::NextGbkBoundary("\xD6", 1, 0), 1) << "a lead byte at the end stands alone";
    EXPECT_EQ(zorkit::PrevGbkBoundary("ab", 2, 0), 0);
    EXPECT_EQ(zorkit::NextGbkBoundary("\x81" "0", 2, 0), 1) << "a lead byte before a byte that cannot trail it";
    EXPECT_EQ(zorkit::NextGbkBoundary("\x81\x7F", 2, 0), 1);
    EXPECT_EQ(zorkit::NextGbkBoundary("\x81@", 2, 0), 2);
}
