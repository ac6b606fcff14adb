#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/PrintDC.h"
#include "tests/support/TempDir.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(Printing, WritesOnePdfPagePerPage)
{
    TempDir scratch;
    const std::string path = scratch.File("print.pdf");
    {
        CPrintDC dc;
        ASSERT_TRUE(dc.Create(path.c_str()));
        EXPECT_TRUE(dc.IsPrinting());
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 1200);
        EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 14031);
        EXPECT_GT(dc.StartDoc("graph"), 0);
        for (int page = 0; page < 2; ++page) {
            EXPECT_GT(dc.StartPage(), 0);
            CPen pen(PS_DOT, 1, RGB(10, 50, 10));
            dc.SelectObject(&pen);
            dc.MoveTo(500, 500);
            dc.LineTo(10500, 500);
            CFont font;
            font.CreateFont(200, 0, 900, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0x10, "Arial");
            dc.SelectObject(&font);
            const std::string text = zorkit::GbkFromUtf8("幅度 amplitude");
            dc.TextOut(300, 6000, text.c_str(), int(text.size()));
            CBitmap image;
            image.CreateBitmap(4, 4, 1, 32, nullptr);
            CDC memory;
            memory.CreateCompatibleDC(&dc);
            memory.SelectObject(&image);
            dc.BitBlt(100, 100, 4, 4, &memory, 0, 0, SRCCOPY);
            EXPECT_GT(dc.EndPage(), 0);
        }
        EXPECT_GT(dc.EndDoc(), 0);
    }
    const std::string pdf = ReadFile(path);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos) << "two pages";
    EXPECT_NE(pdf.find("FontFile"), std::string::npos) << "fonts are embedded";
}

TEST(Printing, AnAttachedDCDrawsOnTheSamePage)
{
    TempDir scratch;
    const std::string path = scratch.File("attach.pdf");
    CPrintDC printer;
    ASSERT_TRUE(printer.Create(path.c_str()));
    CDC borrowed;
    ASSERT_TRUE(borrowed.Attach(printer.GetSafeHdc()));
    EXPECT_TRUE(borrowed.IsPrinting());
    EXPECT_FALSE(borrowed.Attach(printer.GetSafeHdc())) << "already attached";
    printer.StartRecording();
    borrowed.SetTextColor(RGB(1, 2, 3));
    borrowed.Rectangle(10, 10, 20, 20);
    EXPECT_EQ(printer.GetTextColor(), RGB(1, 2, 3));
    EXPECT_EQ(printer.GetRecordedCalls().size(), 1u);
    EXPECT_EQ(borrowed.Detach(), printer.GetSafeHdc());
    EXPECT_EQ(borrowed.GetSafeHdc(), nullptr);
    EXPECT_TRUE(printer.IsPrinting()) << "the printer's own DC lives on";
    EXPECT_GT(printer.EndDoc(), 0);
}

TEST(Printing, ScreenContextsRefuseDocumentsAndBadPathsFail)
{
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    EXPECT_FALSE(memory.IsPrinting());
    EXPECT_LT(memory.StartDoc("x"), 0);
    EXPECT_LT(memory.EndPage(), 0);
    CPrintDC dc;
    EXPECT_FALSE(dc.Create("/nonexistent-dir/out.pdf"));
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
}

}
