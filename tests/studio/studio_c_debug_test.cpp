// A C program in the window as a student debugs it: built with sdcc, a breakpoint set
// by a click in the source margin, run, stepped by line into and out of a call, the
// call stack and the watches compared with the board's memory, a watch edited.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "tests/studio/StudioWindowFixture.h"
#include "tools/common/Numbers.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CSourceMargin;
using zorstudio::CStudioWindow;
using zorstudio::CWatchGrid;

class StudioCDebugTest : public StudioWindowTest {
protected:
    void SetUp() override
    {
        StudioWindowTest::SetUp();
        lab = scratch.Path() / "lab.c";
        std::filesystem::copy_file(std::filesystem::path(ZORKIT_TESTS_DIR) / "cdebug" / "programs" / "lab.c", lab);
    }

    std::string Message() { return window->StatusBar().PaneText(CStudioWindow::kMessagePane); }
    // The line (from 1) of lab.c that carries "/* @marker */".
    int LabLine(const std::string& marker)
    {
        for (int line = 0; line < window->Source().GetLineCount(); ++line)
            if (Line(window->Source(), line).find("/* @" + marker + " */") != std::string::npos)
                return line + 1;
        ADD_FAILURE() << "no line " << marker;
        return 0;
    }
    // Clicks the margin beside a line (from 1), scrolling the editor to it first.
    void ClickMargin(int line)
    {
        window->Editor().EnsureVisible(CPoint(0, line - 1));
        Settle();
        const CRect row = window->Margin().LineRect(line - 1);
        ASSERT_FALSE(row.IsRectEmpty()) << "line " << line << " is not shown";
        Click(window->Margin(), row.CenterPoint());
    }
    // Waits until the window shows a C stop after `stops` stops.
    void WaitForSourceStop(int stops)
    {
        ASSERT_TRUE(WaitFor([&] {
            return View().stopsHandled > stops && View().source && window->Idle() && !View().memoryPending;
        })) << Message();
        Settle();
    }
    void Step(UINT key, bool ctrl = false)
    {
        const int stops = View().stopsHandled;
        Key(key, ctrl);
        WaitForSourceStop(stops);
    }
    int CurrentLine() { return window->Margin().CurrentLine() + 1; }
    std::vector<std::string> CallStack()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < window->CallStack().Text().GetLineCount(); ++i)
            lines.push_back(Line(window->CallStack().Text(), i));
        return lines;
    }
    std::string Watch(const std::string& name, bool global = false)
    {
        const int row = window->Watches().RowOf(name, global);
        if (row < 0)
            return "<no watch " + name + ">";
        return window->Watches().GetItemText(row, CWatchGrid::kValueColumn).str();
    }
    // A global's address as the linker's map gives it.
    unsigned MapAddress(const std::string& symbol)
    {
        std::ifstream in(window->LastBuild().hexPath.parent_path() / "lab.map");
        const std::string text(std::istreambuf_iterator<char>(in), {});
        std::smatch m;
        EXPECT_TRUE(std::regex_search(text, m, std::regex("\\s([0-9A-F]{8})\\s+" + symbol + "\\s"))) << symbol;
        return m.empty() ? 0 : unsigned(std::stoul(m[1], nullptr, 16));
    }
    // Builds and downloads the program open in the editor.
    void BuildAndDownload()
    {
        Key('B', true);
        ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
        ClickButton(CStudioWindow::IdDownload);
        ASSERT_TRUE(WaitFor([&] { return window->Idle() && !window->Downloading(); })) << Message();
        ASSERT_TRUE(View().entry) << Message();
    }

    std::filesystem::path lab;
};

TEST_F(StudioCDebugTest, BreakpointFromTheMarginRunStepsAndWatches)
{
    ASSERT_TRUE(window->OpenSource(lab));
    BuildAndDownload();
    EXPECT_FALSE(window->LastBuild().cdbPath.empty());
    EXPECT_EQ(*View().entry, 0x0100) << "the program starts above the jump from the timer's vector";
    const int call = LabLine("call"), add = LabLine("add"), record = LabLine("record");

    // The disassembly shows each C line above its instructions.
    bool headed = false;
    for (int i = 0; i < window->ListingText().GetLineCount(); ++i)
        headed = headed || Line(window->ListingText(), i).find("lab.c:" + std::to_string(call) + ": t += add(i, 2);") != std::string::npos;
    EXPECT_TRUE(headed) << "no heading for line " << call;

    ClickMargin(call);
    const auto callAddress = window->AddressOfSourceLine(call);
    ASSERT_TRUE(callAddress);
    EXPECT_TRUE(View().IsBreakpoint(*callAddress)) << Message();
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{call - 1}));
    {
        const CRect row = window->Margin().LineRect(call - 1);
        window->Margin().UpdateWindow();
        auto picture = CaptureWindow(window->Margin().m_hWnd, true);
        EXPECT_EQ(picture->GetPixel(6, row.CenterPoint().y), CSourceMargin::kBreakpoint) << "the red mark";
    }

    int stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    EXPECT_EQ(CurrentLine(), call);
    EXPECT_EQ(Message(), "stopped at lab.c:" + std::to_string(call) + " (" + tools::Hex(*callAddress, 4) + ")");
    {
        const CRect row = window->Margin().LineRect(call - 1);
        window->Margin().UpdateWindow();
        auto picture = CaptureWindow(window->Margin().m_hWnd, true);
        EXPECT_EQ(picture->GetPixel(CSourceMargin::kWidth - 2, row.top + 1), CSourceMargin::kCurrentLine)
            << "the current line's colour";
    }
    EXPECT_EQ(CallStack(), (std::vector<std::string>{"main  lab.c:" + std::to_string(call)}));
    EXPECT_EQ(Watch("i"), "0");
    EXPECT_EQ(Watch("t"), "0");
    EXPECT_EQ(Watch("word"), "{'h', 'i', 0, 0}");

    // Into the call: the callee's first line, its arguments, two frames.
    Step(VK_F11);
    EXPECT_EQ(CurrentLine(), add);
    EXPECT_EQ(CallStack(), (std::vector<std::string>{"add  lab.c:" + std::to_string(add),
                                                     "main  lab.c:" + std::to_string(call)}));
    EXPECT_EQ(Watch("a"), "0");
    EXPECT_EQ(Watch("b"), "2");
    // The caller's frame: its locals are watched when it is chosen.
    ClickTab("Call stack");
    {
        const CPoint frame = window->CallStack().TextToClient(CPoint(0, 1));
        Click(window->CallStack(), CPoint(frame.x + 4, frame.y + window->CallStack().GetLineHeight() / 2));
        ASSERT_TRUE(WaitFor([&] { return View().source && View().source->selected == 1; })) << Message();
        Settle();
        EXPECT_NE(window->Watches().RowOf("t", false), -1);
        // main keeps t and i in registers; the copies it pushed before the call hold them.
        EXPECT_EQ(Watch("t"), "0");
        EXPECT_EQ(Watch("i"), "0");
        EXPECT_EQ(window->Watches().RowOf("a", false), -1) << "add's arguments are not main's";
    }

    // Out of it, back on the line of the call; over the rest of the line and the loop's step.
    Step(VK_F11, true);
    EXPECT_EQ(CurrentLine(), call);
    EXPECT_EQ(CallStack().size(), 1u);
    Step(VK_F10);
    EXPECT_EQ(CurrentLine(), call - 1) << "the for line: i++ and the test";
    Step(VK_F10);
    EXPECT_EQ(CurrentLine(), call);
    EXPECT_EQ(Watch("i"), "1");
    EXPECT_EQ(Watch("t"), "2") << "add(0, 2)";

    // i := 2, edited in the watch, ends the loop after this pass.
    ClickTab("Watch");
    const int row = window->Watches().RowOf("i", false);
    ASSERT_GT(row, 0);
    CRect cell;
    ASSERT_TRUE(window->Watches().GetCellRect(row, CWatchGrid::kValueColumn, &cell));
    Click(window->Watches(), cell.CenterPoint());
    InjectText("2");
    PumpPendingMessages();
    Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return window->Idle() && Watch("i") == "2"; })) << Message();
    EXPECT_EQ(Message(), "i := 2, read back from the board");
    Step(VK_F10);
    Step(VK_F10);
    EXPECT_EQ(CurrentLine(), record) << "the loop ended at i = 3";
    EXPECT_EQ(Watch("t"), "6") << "2 + add(2, 2)";

    // Over fact(4) to the line after: the globals as the board's memory holds them.
    Step(VK_F10);
    Step(VK_F10);
    Step(VK_F10);
    Step(VK_F10);
    Step(VK_F10);
    ASSERT_EQ(CurrentLine(), LabLine("cursor"));
    sim::CVirtualBoard& board = Board();
    const auto recordBytes = board.ReadMemory(sim::MemorySpace::Internal, WORD(MapAddress("_record")), 7);
    const auto bigBytes = board.ReadMemory(sim::MemorySpace::Internal, WORD(MapAddress("_big")), 4);
    const std::int32_t big = std::int32_t(bigBytes[0] | bigBytes[1] << 8 | bigBytes[2] << 16 | std::uint32_t(bigBytes[3]) << 24);
    EXPECT_EQ(big, -70000);
    EXPECT_EQ(Watch("big", true), std::to_string(big));
    const int count = recordBytes[0] | recordBytes[1] << 8;
    const std::int32_t total = std::int32_t(recordBytes[3] | recordBytes[4] << 8 | recordBytes[5] << 16 | std::uint32_t(recordBytes[6]) << 24);
    EXPECT_EQ(count, 24);
    EXPECT_EQ(Watch("record", true),
              "{count = " + std::to_string(count) + ", tag = " + std::to_string(recordBytes[2]) + ", total = " +
                  std::to_string(total) + "}");
}

TEST_F(StudioCDebugTest, BreakpointsStayThroughARebuildWhereTheirLineHasCode)
{
    ASSERT_TRUE(window->OpenSource(lab));
    BuildAndDownload();
    const int call = LabLine("call");
    ClickMargin(call);
    ASSERT_EQ(View().breakpoints.size(), 1u) << Message();

    // A rebuild keeps it on its line.
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
    ASSERT_TRUE(WaitFor([&] { return window->Idle(); }));
    Settle();
    EXPECT_EQ(View().breakpoints, (std::set<WORD>{*window->AddressOfSourceLine(call)}));
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{call - 1}));

    // A line that lost its code loses its breakpoint; a margin click on a line without
    // code says so.
    ClickMargin(2);
    EXPECT_EQ(Message(), "line 2 has no code");
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, call - 1));
    Key(VK_HOME);
    for (const char c : std::string("//"))
        InjectText(std::string(1, c));
    PumpPendingMessages();
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
    ASSERT_TRUE(WaitFor([&] { return window->Idle(); }));
    EXPECT_TRUE(View().breakpoints.empty());
    EXPECT_TRUE(window->Margin().BreakpointLines().empty());
    EXPECT_TRUE(window->Source().IsModified()) << "a build does not save the editor's text";
}

TEST_F(StudioCDebugTest, ABreakpointMovesWithItsLineWhenLinesAreTypedOrJoinedAbove)
{
    ASSERT_TRUE(window->OpenSource(lab));
    BuildAndDownload();
    const int call = LabLine("call");
    ClickMargin(call);
    const auto address = window->AddressOfSourceLine(call);
    ASSERT_TRUE(address);
    ASSERT_EQ(View().breakpoints, (std::set<WORD>{*address})) << Message();

    // Two comment lines typed at the end of the line above: the mark goes down with its line.
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, call - 2));
    Key(VK_END);
    for (const char* typed : {"/* one */", "/* two */"}) {
        Key(VK_RETURN);
        InjectText(typed);
        PumpPendingMessages();
    }
    ASSERT_NE(Line(window->Source(), call + 1).find("t += add(i, 2);"), std::string::npos) << Line(window->Source(), call + 1);
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{call + 1}));
    EXPECT_EQ(window->AddressOfSourceLine(call + 2), address) << "the line's code until the rebuild";
    EXPECT_FALSE(window->AddressOfSourceLine(call)) << "a typed line has no code yet";
    // A backspace at the start of the third line joins it to the second: one line fewer above.
    window->Editor().SetCursorPos(CPoint(0, 2));
    Key(VK_BACK);
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{call}));

    // The rebuild keeps the breakpoint on its line; the run stops there.
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
    ASSERT_TRUE(WaitFor([&] { return window->Idle(); }));
    Settle();
    const auto moved = window->AddressOfSourceLine(call + 1);
    ASSERT_TRUE(moved);
    EXPECT_EQ(View().breakpoints, (std::set<WORD>{*moved}));
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{call}));
    BuildAndDownload();
    const int stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    EXPECT_EQ(CurrentLine(), call + 1);
    EXPECT_EQ(Message(), "stopped at lab.c:" + std::to_string(call + 1) + " (" + tools::Hex(*moved, 4) + ")");

    // The marked line selected whole and deleted: its mark goes, and the rebuild sets none.
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, call));
    InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, VK_SHIFT});
    Key(VK_DOWN);
    InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, VK_SHIFT});
    Key(VK_DELETE);
    ASSERT_EQ(Line(window->Source(), call).find("t += add"), std::string::npos) << Line(window->Source(), call);
    EXPECT_TRUE(window->Margin().BreakpointLines().empty());
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output;
    ASSERT_TRUE(WaitFor([&] { return window->Idle(); }));
    EXPECT_TRUE(View().breakpoints.empty());
}

TEST_F(StudioCDebugTest, BreakpointsOfASourceEditedAndLeftFollowItsEditsThroughTheRebuild)
{
    std::ofstream(scratch.Path() / "main.c") << "int twice(int);\nint r;\nvoid main(void)\n{\n    r = twice(4);\n"
                                                 "    r = twice(r);\n    while (1)\n        ;\n}\n";
    std::ofstream(scratch.Path() / "helper.c") << "int twice(int x)\n{\n    int y = x + 1;\n    y = y * 2;\n"
                                                   "    return y - 2;\n}\n";
    std::ofstream(scratch.Path() / "two.zpj") << "source main.c\nsource helper.c\n";
    ASSERT_TRUE(window->OpenSource(scratch.Path() / "two.zpj"));
    BuildAndDownload();
    ClickMargin(5);
    int stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    // Into the helper: the window shows its source, and a breakpoint goes on "y = y * 2;".
    Step(VK_F11);
    ASSERT_EQ(window->SourcePath(), scratch.Path() / "helper.c") << Message();
    ClickMargin(4);
    ASSERT_EQ(View().breakpoints.size(), 2u) << Message();

    // A line typed above and saved; on to the breakpoint, and out to main, whose
    // source is shown.
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, 0));
    InjectText("/* doubles */");
    Key(VK_RETURN);
    PumpPendingMessages();
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{4}));
    Key('S', true);
    ASSERT_FALSE(window->Source().IsModified()) << Message();
    const auto sayLine = [&] { return "stopped on line " + std::to_string(CurrentLine()) + ": " + Message(); };
    stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    EXPECT_NE(Line(window->Source(), CurrentLine() - 1).find("y = y * 2;"), std::string::npos) << sayLine();
    Step(VK_F11, true);
    ASSERT_EQ(window->SourcePath(), scratch.Path() / "main.c") << Message();

    // The second call stops in the helper again, before a rebuild: its mark and the
    // current line are on the line edited, not on the number it had.
    stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    ASSERT_EQ(window->SourcePath(), scratch.Path() / "helper.c") << Message();
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{4}));
    EXPECT_NE(Line(window->Source(), CurrentLine() - 1).find("y = y * 2;"), std::string::npos) << sayLine();

    // Rebuilt while main is shown: the helper's breakpoint is on its line's new code.
    Step(VK_F11, true);
    ASSERT_EQ(window->SourcePath(), scratch.Path() / "main.c") << Message();
    BuildAndDownload();
    stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    EXPECT_EQ(window->SourcePath(), scratch.Path() / "main.c") << Message();
    stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    ASSERT_EQ(window->SourcePath(), scratch.Path() / "helper.c") << Message();
    EXPECT_NE(Line(window->Source(), CurrentLine() - 1).find("y = y * 2;"), std::string::npos) << sayLine();
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{4}));
}

TEST_F(StudioCDebugTest, ABreakpointOnAGlobalsInitialiserStopsBeforeMainAndStepsOnToIt)
{
    const auto program = scratch.Path() / "start.c";
    std::ofstream(program) << "int limit = 40;\nunsigned char start = 3;\nunsigned char r;\n\nvoid main(void)\n{\n"
                              "    r = start + 1;\n    while (1)\n        ;\n}\n";
    ASSERT_TRUE(window->OpenSource(program));
    BuildAndDownload();
    ClickMargin(1);
    const auto address = window->AddressOfSourceLine(1);
    ASSERT_TRUE(address) << Message();
    EXPECT_EQ(View().breakpoints, (std::set<WORD>{*address})) << Message();
    EXPECT_EQ(window->Margin().BreakpointLines(), (std::set<int>{0}));

    // The startup runs the initialiser before main: no function owns the frame.
    int stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    EXPECT_EQ(CurrentLine(), 1);
    EXPECT_EQ(Message(), "stopped at start.c:1 (" + tools::Hex(*address, 4) + ")");
    EXPECT_EQ(CallStack(), (std::vector<std::string>{"??  start.c:1"}));
    {
        const CRect row = window->Margin().LineRect(0);
        window->Margin().UpdateWindow();
        auto picture = CaptureWindow(window->Margin().m_hWnd, true);
        EXPECT_EQ(picture->GetPixel(CSourceMargin::kWidth - 2, row.top + 1), CSourceMargin::kCurrentLine)
            << "the current line's colour";
    }
    EXPECT_EQ(Watch("limit", true), "0") << "its line has not run yet";
    EXPECT_EQ(window->Watches().RowOf("r", false), -1) << "no function's locals";

    // Over it to the next initialiser, then to main's first line.
    Step(VK_F10);
    EXPECT_EQ(CurrentLine(), 2);
    EXPECT_EQ(CallStack(), (std::vector<std::string>{"??  start.c:2"}));
    EXPECT_EQ(Watch("limit", true), "40");
    Step(VK_F10);
    EXPECT_EQ(CurrentLine(), 7);
    EXPECT_EQ(CallStack(), (std::vector<std::string>{"main  start.c:7"}));
    EXPECT_EQ(Watch("start", true), "3");
    EXPECT_EQ(Message().rfind("stopped at start.c:7 (", 0), 0u) << Message();
}

TEST_F(StudioCDebugTest, AProjectsMessageOpensItsFileAtTheLine)
{
    std::ofstream(scratch.Path() / "main.c") << "int twice(int);\nint r;\nvoid main(void)\n{\n    r = twice(4);\n}\n";
    std::ofstream(scratch.Path() / "helper.c") << "int twice(int x)\n{\n    return x + ;\n}\n";
    std::ofstream(scratch.Path() / "two.zpj") << "source main.c\nsource helper.c\n";
    ASSERT_TRUE(window->OpenSource(scratch.Path() / "two.zpj"));
    EXPECT_EQ(window->SourcePath(), scratch.Path() / "main.c") << "a project shows its first source";
    Key('B', true);
    ASSERT_FALSE(window->LastBuild().ok);
    ASSERT_FALSE(window->LastBuild().messages.empty());
    EXPECT_EQ(window->LastBuild().messages.front().line, 3) << window->LastBuild().output;
    EXPECT_NE(Line(window->OutputText(), 0).find("helper.c:3:"), std::string::npos) << Line(window->OutputText(), 0);

    const CPoint first = window->Output().TextToClient(CPoint(0, 0));
    Click(window->Output(), CPoint(first.x + 8, first.y + window->Output().GetLineHeight() / 2), true);
    EXPECT_EQ(window->SourcePath(), scratch.Path() / "helper.c");
    EXPECT_EQ(window->Editor().GetCursorPos().y, 2);
    EXPECT_EQ(window->Files().ProjectPath(), scratch.Path() / "two.zpj") << "the program is still the project";
}


// zorstudio started in Chinese: the C debugger's own messages reach the status line
// in Chinese like the window's.
class StudioCDebugInChineseTest : public StudioCDebugTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(zorstudio::LoadTranslation()) << "the build's zh_CN catalogue";
        StudioCDebugTest::SetUp();
    }
    void TearDown() override
    {
        StudioCDebugTest::TearDown();
        ScopedEnv english("LC_ALL", "C");
        zorstudio::LoadTranslation();
    }
    std::string ShownMessage() { return Utf8FromGbk(Message()); }

    ScopedEnv m_language{"LANGUAGE", nullptr}, m_all{"LC_ALL", nullptr}, m_messages{"LC_MESSAGES", nullptr},
        m_lang{"LANG", "zh_CN.UTF-8"};
};

TEST_F(StudioCDebugInChineseTest, TheDebuggersRefusalsAreShownInChinese)
{
    ASSERT_TRUE(window->OpenSource(lab));
    BuildAndDownload();
    const int call = LabLine("call");
    ClickMargin(call);
    const int stops = View().stopsHandled;
    Key(VK_F5);
    WaitForSourceStop(stops);
    ASSERT_EQ(CurrentLine(), call);

    // main has no caller to step out to.
    Key(VK_F11, true);
    EXPECT_NE(ShownMessage().find("最外层的函数没有可返回的调用者"), std::string::npos) << ShownMessage();
    EXPECT_EQ(CurrentLine(), call);

    // A watch given a word instead of a number keeps the board's value.
    ClickTab(zorstudio::TrGbk("Watch"));
    const int row = window->Watches().RowOf("i", false);
    ASSERT_GT(row, 0);
    CRect cell;
    ASSERT_TRUE(window->Watches().GetCellRect(row, CWatchGrid::kValueColumn, &cell));
    Click(window->Watches(), cell.CenterPoint());
    DeliverText("x1");
    Key(VK_RETURN);
    EXPECT_EQ(ShownMessage(), "不是数字：x1");
    EXPECT_EQ(Watch("i"), "0");
}

}
}
