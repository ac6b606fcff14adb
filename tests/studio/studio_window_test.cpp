// zorstudio's main window driven as a student would: keys and clicks injected into
// the headless window system, against the virtual board, with pictures of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/studio/PictureCheck.h"
#include "tests/studio/ScopedEnv.h"
#include "tests/studio/StudioWindowFixture.h"
#include "tests/support/ResetKey.h"
#include "tools/zorstudio/ui/ChangeColours.h"
#include "tools/common/Numbers.h"
#include "tools/zorstudio/ui/HexCell.h"
#include "tools/zorstudio/StudioSettings.h"
#include "tools/zorstudio/ui/ResetPromptDialog.h"
#include "tools/common/SerialDevices.h"
#include "zorkit/module/ResourceIds.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CExperimentPanel;
using zorstudio::CStudioWindow;
using tools::Hex;

constexpr COLORREF kBreakpointRed = RGB(255, 0, 0);

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces an edit control's text through the keyboard.
void TypeInto(CWnd& edit, const std::string& text)
{
    StudioWindowTest::ClickCentre(edit);
    CString old;
    edit.GetWindowText(old);
    StudioWindowTest::Key(VK_END);
    for (int i = 0; i < old.GetLength(); ++i)
        StudioWindowTest::Key(VK_BACK);
    InjectText(text);
    PumpPendingMessages();
}

struct CMemoryGridCheck {
    zorstudio::CMemoryGrid& grid;
    std::string Text(int row, int col) { return grid.GetItemText(row, col).str(); }
};

std::string PcText(CStudioWindow& window)
{
    const CCellID pc = zorstudio::CRegisterGrid::CellOf("PC");
    return window.Registers().GetItemText(pc.row, pc.col).str();
}

void ExpectGridShowsSnapshot(CStudioWindow& window, const zorstudio::CTargetSnapshot& now)
{
    for (const zorstudio::CRegisterField& field : zorstudio::RegisterLayout())
        EXPECT_EQ(window.Registers().GetItemText(zorstudio::CRegisterGrid::CellOf(field.name).row,
                                                 zorstudio::CRegisterGrid::CellOf(field.name).col).str(),
                  Hex(zorstudio::RegisterValue(now.registers, field), 2 * field.size))
            << field.name;
    for (int offset = 0; offset < 256; ++offset) {
        const CCellID cell = zorstudio::CMemoryGrid::CellOf(offset);
        ASSERT_EQ(window.Memory().GetItemText(cell.row, cell.col).str(), Hex(now.internalRam[std::size_t(offset)], 2))
            << "internal RAM " << Hex(unsigned(offset), 2) << "H";
    }
}

TEST_F(StudioWindowTest, StudentSessionFromSourceToExportedExperiment)
{
    ASSERT_TRUE(window->OpenSource(sample));
    EXPECT_EQ(Line(window->Source(), 0).substr(0, 1), ";") << "the sample opens with its comment";

    // Ctrl+B assembles the editor's text.
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok) << window->LastBuild().output << window->StatusBar().PaneText(0);
    const CTextBuf& output = window->OutputText();
    EXPECT_NE(Line(output, output.GetLineCount() - 1).find("bytes of code"), std::string::npos);

    // The Download button sends it; the listing shows the code from the entry on.
    ClickButton(CStudioWindow::IdDownload);
    ASSERT_GT(window->ListingText().GetLineCount(), 10);
    EXPECT_EQ(Line(window->ListingText(), 0).substr(0, 4), "0100");

    // A click in the listing's margin at the instruction of 'done:' sets a breakpoint there.
    const int doneSource = LineOfLabel(window->Source(), "done:");
    ASSERT_GE(doneSource, 0);
    const auto doneAddress = window->AddressOfSourceLine(doneSource + 1);
    ASSERT_TRUE(doneAddress);
    const int doneListing = window->ProgramListing().LineOf(*doneAddress);
    ASSERT_GE(doneListing, 0);
    ScrollIntoView(window->Listing(), doneListing);
    Click(window->Listing(), MarginPoint(window->Listing(), doneListing));
    EXPECT_TRUE(View().IsBreakpoint(*doneAddress)) << window->StatusBar().PaneText(0);
    EXPECT_TRUE(window->ListingText().GetLineFlags(doneListing) & LINEMARK_DOT);
    {
        window->Listing().UpdateWindow();
        auto listing = CaptureWindow(window->Listing().m_hWnd, true);
        const CPoint text = window->Listing().TextToClient(CPoint(0, doneListing));
        EXPECT_EQ(listing->GetPixel(listing->Width() - 30, text.y + 1), kBreakpointRed)
            << "the breakpoint's line is red to the right edge";
        const CPoint other = window->Listing().TextToClient(CPoint(0, 0));
        EXPECT_NE(listing->GetPixel(listing->Width() - 30, other.y + 1), kBreakpointRed);
    }

    // F5 runs to it; the stop fills the registers, the memory and the listing's arrow.
    const int stops = View().stopsHandled;
    Key(VK_F5);
    ASSERT_TRUE(WaitFor([&] { return View().stopsHandled > stops; })) << window->StatusBar().PaneText(0);
    const zorstudio::CTargetSnapshot& now = View().current;
    ASSERT_TRUE(now.valid) << window->StatusBar().PaneText(0);
    ExpectGridShowsSnapshot(*window, now);
    const int pcLine = window->ProgramListing().LineOf(now.pc);
    for (int line = 0; line < window->ListingText().GetLineCount(); ++line)
        EXPECT_EQ((window->ListingText().GetLineFlags(line) & LINEMARK_ARROW) != 0, line == pcLine) << "line " << line;
    // The program ran to 'done:': the arrow is there, the table is sorted, and what the
    // run changed is highlighted against the board as it was after the download.
    EXPECT_EQ(now.pc, *doneAddress);
    EXPECT_EQ(pcLine, doneListing);
    EXPECT_TRUE(std::is_sorted(now.internalRam.begin() + 0x30, now.internalRam.begin() + 0x38));
    EXPECT_NE(now.internalRam[0x30], now.internalRam[0x37]);
    const CCellID pcCell = zorstudio::CRegisterGrid::CellOf("PC");
    EXPECT_EQ(window->Registers().GetItemBkColour(pcCell.row, pcCell.col), zorstudio::kChangedBack);
    EXPECT_EQ(window->Registers().GetItemFgColour(pcCell.row, pcCell.col), zorstudio::kChangedText);
    const CCellID table = zorstudio::CMemoryGrid::CellOf(0x30);
    EXPECT_EQ(window->Memory().GetItemBkColour(table.row, table.col), zorstudio::kChangedBack);
    const CCellID unused = zorstudio::CMemoryGrid::CellOf(0x70);
    EXPECT_NE(window->Memory().GetItemBkColour(unused.row, unused.col), zorstudio::kChangedBack);
    {
        window->Memory().UpdateWindow();
        auto memory = CaptureWindow(window->Memory().m_hWnd, true);
        CRect cellRect;
        ASSERT_TRUE(window->Memory().GetCellRect(table.row, table.col, &cellRect));
        EXPECT_EQ(memory->GetPixel(cellRect.left + 2, cellRect.top + 2), zorstudio::kChangedBack)
            << "the changed byte is painted highlighted";
    }

    // A memory cell edited in place goes to the board: 40H := 5A, read back from the board.
    const CCellID cell = zorstudio::CMemoryGrid::CellOf(0x40);
    CRect rect;
    ASSERT_TRUE(window->Memory().GetCellRect(cell.row, cell.col, &rect));
    Click(window->Memory(), rect.CenterPoint());
    // The first character opens the cell's editor, which takes the focus for the next.
    InjectText("5");
    PumpPendingMessages();
    InjectText("A");
    Key(VK_RETURN);
    EXPECT_EQ(window->Memory().GetItemText(cell.row, cell.col).str(), "5A");
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    EXPECT_EQ(View().current.internalRam[0x40], 0x5A) << "the board holds the edited byte";

    // A temperature run of 150 samples, started from the panel behind its tab, to its settling.
    ClickTab("Experiment");
    CExperimentPanel& panel = window->Panel();
    panel.SetExportDirectory(scratch.Path());
    TypeInto(*panel.GetDlgItem(CExperimentPanel::IdSamples), "150");
    TypeInto(*panel.GetDlgItem(CExperimentPanel::IdPeriod), "0");
    ClickCentre(*panel.GetDlgItem(CExperimentPanel::IdStart));
    // A run without a pause between samples may already be over when the click returns.
    ASSERT_NE(window->Panel().Record(), nullptr) << window->StatusBar().PaneText(0);
    ASSERT_EQ(window->Panel().Record()->Setup().samples, 150) << window->StatusBar().PaneText(0);
    ASSERT_TRUE(WaitFor([&] { return !panel.FiguresText().empty(); }, 120000));
    ASSERT_EQ(window->Panel().Record()->Samples().size(), 150u);
    EXPECT_NE(panel.FiguresText().find("settling time"), std::string::npos) << panel.FiguresText();
    ASSERT_NE(panel.GraphWindow(), nullptr);
    {
        panel.GraphWindow()->UpdateWindow();
        auto graph = CaptureWindow(panel.GraphWindow()->m_hWnd, true);
        ExpectReferenceLineAt(*graph, ReferenceRow(60, 200));
    }

    // Export: the picture, the printout and the samples.
    ClickCentre(*panel.GetDlgItem(CExperimentPanel::IdExportPng));
    ClickCentre(*panel.GetDlgItem(CExperimentPanel::IdExportPdf));
    ClickCentre(*panel.GetDlgItem(CExperimentPanel::IdExportCsv));
    EXPECT_EQ(FileText(scratch.Path() / "temperature.png").substr(1, 3), "PNG");
    EXPECT_EQ(FileText(scratch.Path() / "temperature.pdf").substr(0, 5), "%PDF-");
    const std::string csv = FileText(scratch.Path() / "temperature.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 151) << "a heading and a line a sample";

    // The whole window: the status line, the breakpoint's line and the panel's graph.
    window->UpdateWindow();
    auto picture = CaptureWindow(window->m_hWnd, true);
    ASSERT_TRUE(picture);
    WriteWindowPng(window->m_hWnd, (scratch.Path() / "window.png").string().c_str(), true);
    CRect listing;
    window->Listing().GetWindowRect(&listing);
    window->ScreenToClient(&listing);
    const CPoint doneText = window->Listing().TextToClient(CPoint(0, doneListing));
    EXPECT_EQ(picture->GetPixel(listing.right - 40, listing.top + doneText.y + 2), kBreakpointRed);
    CRect graph;
    panel.GraphWindow()->GetWindowRect(&graph);
    window->ScreenToClient(&graph);
    EXPECT_EQ(picture->GetPixel(graph.left + 100, graph.top + ReferenceRow(60, 200)), kReferenceRed);
}

// The stepper turns the way the panel's direction button says: counter-clockwise
// steps are 0x55 on the wire, clockwise ones 0xAA. A step run has no samples, and
// the panel says so instead of showing settling figures.
TEST_F(StudioWindowTest, TheStepperTurnsTheWayThePanelSays)
{
    ClickTab("Experiment");
    CExperimentPanel& panel = window->Panel();
    CWnd& kind = *panel.GetDlgItem(CExperimentPanel::IdKind);
    CWnd& direction = *panel.GetDlgItem(CExperimentPanel::IdDirection);
    EXPECT_FALSE(direction.IsWindowVisible()) << "a temperature run has no direction";
    for (int click = 0; click < 3 && panel.Kind() != zorstudio::ExperimentKind::Stepper; ++click)
        ClickCentre(kind);
    ASSERT_EQ(panel.Kind(), zorstudio::ExperimentKind::Stepper);
    ASSERT_TRUE(direction.IsWindowVisible());
    CString text;
    direction.GetWindowText(text);
    EXPECT_EQ(text.str(), "clockwise");
    ClickCentre(direction);
    direction.GetWindowText(text);
    EXPECT_EQ(text.str(), "counter-clockwise");
    EXPECT_FALSE(panel.Clockwise());

    TypeInto(*panel.GetDlgItem(CExperimentPanel::IdSamples), "12");
    TypeInto(*panel.GetDlgItem(CExperimentPanel::IdPeriod), "0");
    auto stepperRun = [&](BYTE step, BYTE otherWay) {
        Board().WireLog().Clear();
        ClickCentre(*panel.GetDlgItem(CExperimentPanel::IdStart));
        // The run may be over already; its record shows that this run, not the last, started.
        ASSERT_NE(window->Panel().Record(), nullptr) << window->StatusBar().PaneText(0);
        ASSERT_EQ(window->Panel().Record()->Setup().clockwise, step == 0xAA) << window->StatusBar().PaneText(0);
        ASSERT_TRUE(WaitFor([&] { return !panel.FiguresText().empty(); }, 60000));
        EXPECT_EQ(panel.FiguresText(), "stepper run: 12 periods, no samples to plot");
        EXPECT_EQ(window->StatusBar().PaneText(0), panel.FiguresText());
        EXPECT_EQ(panel.GraphWindow(), nullptr) << "no graph for a run without samples";
        const std::vector<BYTE> received = Board().WireLog().Received();
        EXPECT_EQ(std::count(received.begin(), received.end(), step), 12) << "a step a period";
        EXPECT_EQ(std::count(received.begin(), received.end(), otherWay), 0);
    };
    {
        SCOPED_TRACE("counter-clockwise");
        stepperRun(0x55, 0xAA);
    }
    ClickCentre(direction);
    EXPECT_TRUE(panel.Clockwise());
    {
        SCOPED_TRACE("clockwise");
        stepperRun(0xAA, 0x55);
    }
    ClickCentre(kind);
    EXPECT_FALSE(direction.IsWindowVisible()) << "hidden again for the temperature";
}

TEST_F(StudioWindowTest, DoubleClickOnAnAssemblerErrorGoesToItsLine)
{
    ASSERT_TRUE(window->OpenSource(sample));
    // A line the assembler cannot read, typed into the editor at line 3.
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, 2));
    InjectText("bogus r9\r");
    PumpPendingMessages();
    ClickButton(CStudioWindow::IdBuild);
    ASSERT_FALSE(window->LastBuild().ok);
    ASSERT_FALSE(window->LastBuild().messages.empty());
    EXPECT_EQ(window->LastBuild().messages.front().line, 3) << window->LastBuild().output;

    // Ctrl+S keeps the edit in the file, its lines ending as they did.
    Key('S', true);
    const std::string saved = FileText(sample);
    EXPECT_NE(saved.find("\n;\nbogus r9\n; The table"), std::string::npos) << saved.substr(0, 200);
    EXPECT_EQ(saved.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), window->Source().GetLineCount());

    window->Editor().SetCursorPos(CPoint(0, 20));
    const CPoint message = window->Output().TextToClient(CPoint(2, 0));
    Click(window->Output(), CPoint(message.x + 2, message.y + 2), true);
    EXPECT_EQ(window->Editor().GetCursorPos(), CPoint(0, 2));
    EXPECT_EQ(CWnd::GetFocus(), &window->Editor());
    window->Tick();
    EXPECT_EQ(window->StatusBar().PaneText(CStudioWindow::kCaretPane), GbkFromUtf8("3 行，1 列"));
}

TEST_F(StudioWindowTest, ResetPromptShowsThePortAndEscapeCancelsIt)
{
    ClickButton(CStudioWindow::IdReset);
    ASSERT_NE(window->Lines().ResetPromptWindow(), nullptr);
    EXPECT_TRUE(window->Lines().ResetPromptWindow()->IsWindowVisible());
    CString shown;
    window->Lines().ResetPromptWindow()->GetDlgItem(int(IDC_PORT_AND_BAUD))->GetWindowText(shown);
    ASSERT_TRUE(View().resetPrompt);
    EXPECT_EQ(shown.str(), View().resetPrompt->gbk);
    EXPECT_NE(zorkit::Utf8FromGbk(shown.str()).find("9600"), std::string::npos);

    Key(VK_ESCAPE);
    EXPECT_EQ(window->Lines().ResetPromptWindow(), nullptr);
    EXPECT_EQ(View().state, zorstudio::LinkState::Unconnected);
    window->Tick();
    const CTextBuf& log = window->LogText();
    EXPECT_EQ(Line(log, 0), "link: unconnected, virtual board at 9600 baud") << "the log view starts with the link's state";
    EXPECT_NE(Line(log, log.GetLineCount() - 1), "") << "then the log's lines";

    // The reset key on the board while the prompt waits ends it as well.
    ClickButton(CStudioWindow::IdReset);
    ASSERT_NE(window->Lines().ResetPromptWindow(), nullptr);
    ASSERT_TRUE(PressResetUntilAnswered(Board(), 5));
    ASSERT_TRUE(WaitFor([&] { return window->Lines().ResetPromptWindow() == nullptr; }));
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected);
}

TEST_F(StudioWindowTest, APulledAdapterIsShownAndItsReturnBringsTheResetPrompt)
{
    sim::CVirtualBoard board;
    ASSERT_TRUE(board.Start()) << board.LastError();
    const std::filesystem::path adapter = scratch.Path() / "usb-adapter-port0";
    std::filesystem::create_symlink(board.SlavePath(), adapter);
    ASSERT_TRUE(OnBoard([&](zorstudio::CDebugSession& s) { return s.Open({adapter.string(), 9600}); })) << window->StatusBar().PaneText(0);
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Connect(); })) << window->StatusBar().PaneText(0);

    board.HangUp();
    std::filesystem::remove(adapter);
    ASSERT_TRUE(WaitFor([&] { return View().state == zorstudio::LinkState::AdapterGone; }))
        << "the window's timer notices the hang-up of an idle line";
    window->Tick();
    EXPECT_EQ(window->StatusBar().PaneText(CStudioWindow::kMessagePane),
              "the serial adapter is gone: " + adapter.string() + " was unplugged or switched off");
    EXPECT_EQ(window->StatusBar().PaneText(CStudioWindow::kLinkPane), "link: the serial adapter is gone");
    EXPECT_EQ(window->Lines().ResetPromptWindow(), nullptr);

    ASSERT_TRUE(board.Start()) << board.LastError();
    std::filesystem::create_symlink(board.SlavePath(), adapter);
    ASSERT_TRUE(WaitFor([&] { return window->Lines().ResetPromptWindow() != nullptr; })) << "the device is reopened";
    ASSERT_TRUE(PressResetUntilAnswered(board, 10));
    ASSERT_TRUE(WaitFor([&] { return window->Lines().ResetPromptWindow() == nullptr; }));
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected);
    EXPECT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
}

TEST_F(StudioWindowTest, F9InTheEditorSetsABreakpointAtTheSourceLine)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ASSERT_TRUE(window->LastBuild().ok);
    ClickButton(CStudioWindow::IdDownload);
    const int loopSource = LineOfLabel(window->Source(), "done:");
    const auto address = window->AddressOfSourceLine(loopSource + 1);
    ASSERT_TRUE(address);
    window->Editor().SetFocus();
    window->Editor().SetCursorPos(CPoint(0, loopSource));
    window->Tick();
    Key(VK_F9);
    EXPECT_TRUE(View().IsBreakpoint(*address));
    EXPECT_TRUE(window->ListingText().GetLineFlags(window->ProgramListing().LineOf(*address)) & LINEMARK_DOT);
    Key(VK_F9);
    EXPECT_FALSE(View().IsBreakpoint(*address));
    EXPECT_FALSE(window->ListingText().GetLineFlags(window->ProgramListing().LineOf(*address)) & LINEMARK_DOT);
}

TEST_F(StudioWindowTest, TraceStepAndRunToCursorMoveTheArrowThroughTheListing)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    const auto& lines = window->ProgramListing().Lines();
    ASSERT_GT(lines.size(), 5u);
    auto pcText = [&] { return PcText(*window); };
    auto arrowLine = [&] {
        for (int line = 0; line < window->ListingText().GetLineCount(); ++line)
            if (window->ListingText().GetLineFlags(line) & LINEMARK_ARROW)
                return line;
        return -1;
    };
    auto waitForStop = [&](int before) {
        return WaitFor([&] { return View().stopsHandled > before; });
    };

    // A breakpoint on the second instruction, and F5 to it.
    Click(window->Listing(), MarginPoint(window->Listing(), 1));
    int stops = View().stopsHandled;
    Key(VK_F5);
    ASSERT_TRUE(waitForStop(stops)) << window->StatusBar().PaneText(0);
    EXPECT_EQ(pcText(), Hex(lines[1].address, 4));
    EXPECT_EQ(arrowLine(), 1);

    // F11 traces one instruction and shows it at once.
    Key(VK_F11);
    EXPECT_EQ(pcText(), Hex(lines[2].address, 4)) << window->StatusBar().PaneText(0);
    EXPECT_EQ(arrowLine(), 2);

    // F10 steps over the next one; its stop is reported.
    stops = View().stopsHandled;
    Key(VK_F10);
    ASSERT_TRUE(waitForStop(stops)) << window->StatusBar().PaneText(0);
    EXPECT_EQ(pcText(), Hex(lines[3].address, 4));
    EXPECT_EQ(arrowLine(), 3);

    // Ctrl+F10 with the listing's cursor two lines further on.
    const CPoint target = window->Listing().TextToClient(CPoint(0, 5));
    Click(window->Listing(), CPoint(target.x + 4, target.y + 2));
    stops = View().stopsHandled;
    Key(VK_F10, true);
    ASSERT_TRUE(waitForStop(stops)) << window->StatusBar().PaneText(0);
    EXPECT_EQ(pcText(), Hex(lines[5].address, 4));
    EXPECT_EQ(arrowLine(), 5);
}

TEST_F(StudioWindowTest, TheMemoryGridShowsAndWritesTheExternalPage)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    ClickButton(CStudioWindow::IdMemoryPage);
    ASSERT_EQ(window->MemoryPages().Page(), zorstudio::MemoryKind::External);
    CMemoryGridCheck grid{window->Memory()};
    EXPECT_EQ(grid.Text(1, 0), "0000");
    EXPECT_EQ(grid.Text(8, 0), "0070") << "the page holds 128 bytes";
    EXPECT_EQ(grid.Text(9, 0), "");
    EXPECT_EQ(grid.Text(9, 1), "") << "no cells past the page";

    const CCellID cell = zorstudio::CMemoryGrid::CellOf(0x05);
    CRect rect;
    ASSERT_TRUE(window->Memory().GetCellRect(cell.row, cell.col, &rect));
    Click(window->Memory(), rect.CenterPoint());
    InjectText("C");
    PumpPendingMessages();
    InjectText("3");
    Key(VK_RETURN);
    EXPECT_EQ(grid.Text(cell.row, cell.col), "C3") << window->StatusBar().PaneText(0);
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    EXPECT_EQ(View().current.external[5], 0xC3) << "the board's external memory holds the byte";
    EXPECT_NE(View().current.internalRam[5], 0xC3) << "not the internal RAM";

    // A byte typed past the page goes nowhere.
    const CCellID past = zorstudio::CMemoryGrid::CellOf(0x90);
    ASSERT_TRUE(window->Memory().GetCellRect(past.row, past.col, &rect));
    Click(window->Memory(), rect.CenterPoint());
    InjectText("7");
    Key(VK_RETURN);
    EXPECT_EQ(grid.Text(past.row, past.col), "");

    ClickButton(CStudioWindow::IdMemoryPage);
    EXPECT_EQ(window->MemoryPages().Page(), zorstudio::MemoryKind::Internal);
    EXPECT_EQ(grid.Text(1, 0), "00");
    EXPECT_EQ(grid.Text(16, 0), "F0");
}

TEST_F(StudioWindowTest, EveryRegisterIsInViewAndEditableWithoutScrolling)
{
    window->UpdateWindow();
    zorstudio::CRegisterGrid& grid = window->Registers();
    for (const zorstudio::CRegisterField& field : zorstudio::RegisterLayout()) {
        const CCellID value = zorstudio::CRegisterGrid::CellOf(field.name);
        EXPECT_TRUE(grid.IsCellVisible(value)) << field.name;
        EXPECT_TRUE(grid.IsCellVisible(value.row, value.col - 1)) << field.name << "'s name";
        EXPECT_EQ(grid.GetItemText(value.row, value.col - 1).str(), field.name);
    }
    EXPECT_EQ(grid.GetScrollPos(SB_VERT), 0);

    // TH0, last of them, is edited in place and read back from the board.
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    window->ShowStop();
    const CCellID th0 = zorstudio::CRegisterGrid::CellOf("TH0");
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(th0.row, th0.col, &rect));
    Click(grid, rect.CenterPoint());
    InjectText("4");
    PumpPendingMessages();
    InjectText("2");
    Key(VK_RETURN);
    EXPECT_EQ(grid.GetItemText(th0.row, th0.col).str(), "42") << window->StatusBar().PaneText(0);
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    EXPECT_EQ(zorstudio::RegisterValue(View().current.registers, *zorstudio::FindRegister("TH0")), 0x42u);
}

TEST_F(StudioWindowTest, ThePageFieldChoosesTheExternalPageShownAndWritten)
{
    using zorstudio::MemoryKind;
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    const BYTE lowByteBefore = View().current.external[5];
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.WriteMemory(MemoryKind::External, 0x8012, 0x77); })) << window->StatusBar().PaneText(0);

    CWnd& field = *window->GetDlgItem(CStudioWindow::IdExternalPage);
    TypeInto(field, "8000h");
    Key(VK_RETURN);
    ASSERT_EQ(window->MemoryPages().Page(), MemoryKind::External);
    CMemoryGridCheck grid{window->Memory()};
    EXPECT_EQ(grid.Text(1, 0), "8000") << window->StatusBar().PaneText(0);
    EXPECT_EQ(grid.Text(8, 0), "8070");
    const CCellID planted = zorstudio::CMemoryGrid::CellOf(0x12);
    EXPECT_EQ(grid.Text(planted.row, planted.col), "77") << "the byte already on the board at 8012H";
    CString shown;
    field.GetWindowText(shown);
    EXPECT_EQ(shown.str(), "8000");

    const CCellID cell = zorstudio::CMemoryGrid::CellOf(0x05);
    CRect rect;
    ASSERT_TRUE(window->Memory().GetCellRect(cell.row, cell.col, &rect));
    Click(window->Memory(), rect.CenterPoint());
    InjectText("C");
    PumpPendingMessages();
    InjectText("3");
    Key(VK_RETURN);
    EXPECT_EQ(grid.Text(cell.row, cell.col), "C3") << window->StatusBar().PaneText(0);
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    EXPECT_EQ(View().current.externalAddress, 0x8000);
    EXPECT_EQ(View().current.external[5], 0xC3) << "the byte went to 8005H";
    OnBoard([](zorstudio::CDebugSession& s) { s.SetExternalPage(0); return true; });
    ASSERT_TRUE(OnBoard([](zorstudio::CDebugSession& s) { return s.Refresh(); })) << window->StatusBar().PaneText(0);
    EXPECT_EQ(View().current.external[5], lowByteBefore) << "not to 0005H";

    // An address that is none leaves the page as it was.
    ASSERT_TRUE(window->MemoryPages().ShowExternalPage(0x8000));
    TypeInto(field, "G000");
    Key(VK_RETURN);
    EXPECT_EQ(window->StatusBar().PaneText(0), "the external page starts at a hexadecimal address, 0000 to FFFF");
    EXPECT_EQ(grid.Text(1, 0), "8000");
}

TEST_F(StudioWindowTest, CopyRunReportsEveryStopUntilItIsTurnedOff)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    const auto done = window->AddressOfSourceLine(LineOfLabel(window->Source(), "done:") + 1);
    ASSERT_TRUE(done);
    ASSERT_TRUE(window->ToggleBreakpoint(*done));
    auto arrowLine = [&] {
        for (int line = 0; line < window->ListingText().GetLineCount(); ++line)
            if (window->ListingText().GetLineFlags(line) & LINEMARK_ARROW)
                return line;
        return -1;
    };

    // Each stop is reported while the program restarts; the board is not read meanwhile,
    // so the arrow shows no line.
    const int stops = View().stopsHandled;
    ClickButton(CStudioWindow::IdCopyRun);
    ASSERT_EQ(window->StatusBar().PaneText(0), "copy-run: the program restarts at every stop");
    for (int stop = 1; stop <= 3; ++stop) {
        ASSERT_TRUE(WaitFor([&] { return View().stopsHandled >= stops + stop; })) << "stop " << stop;
        EXPECT_EQ(window->StatusBar().PaneText(0), "copy-run: stop " + std::to_string(stop) + ", restarted at 0100");
        EXPECT_EQ(arrowLine(), -1);
    }
    EXPECT_EQ(View().state, zorstudio::LinkState::Running);

    // Turned off, the program runs to its next stop, which is read and shown as any other.
    ClickButton(CStudioWindow::IdCopyRun);
    const int last = View().stopsHandled;
    ASSERT_TRUE(WaitFor([&] { return View().stopsHandled > last; }));
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected);
    EXPECT_EQ(window->StatusBar().PaneText(0), "stopped at " + Hex(*done, 4));
    EXPECT_EQ(arrowLine(), window->ProgramListing().LineOf(*done));
    EXPECT_EQ(PcText(*window), Hex(*done, 4));
}

TEST_F(StudioWindowTest, PortListsTheLinesAndTheChosenOneIsReopenedAndRemembered)
{
    ScopedEnv config("XDG_CONFIG_HOME", scratch.Path().string().c_str());
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    ASSERT_FALSE((*View().code).IsEmpty());
    ASSERT_NE(PcText(*window), "");

    ClickButton(CStudioWindow::IdPort);
    zorstudio::CPortList* list = window->Lines().PortListWindow();
    ASSERT_NE(list, nullptr);
    // The virtual board, then the devices as zorlink ports finds them.
    const CSerialDeviceList devices = FindSerialDevices();
    ASSERT_EQ(list->Entries().size(), devices.devices.size() + 1);
    EXPECT_TRUE(list->Entries()[0].choice.IsVirtual());
    for (std::size_t i = 0; i < devices.devices.size(); ++i)
        EXPECT_EQ(list->Entries()[i + 1].choice.device, devices.devices[i].path);
    EXPECT_EQ(list->Items()[0].label, "virtual board") << "no device was used before: nothing is offered as the last";

    // The session starts over on a new board: the old one's program is gone, and the
    // new board answers.
    Click(*list, list->ItemRect(0).CenterPoint());
    EXPECT_EQ(window->Lines().PortListWindow(), nullptr) << "the list closes on a choice";
    EXPECT_TRUE((*View().code).IsEmpty());
    EXPECT_EQ(window->ListingText().GetLineCount(), 1);
    EXPECT_EQ(window->ListingText().GetLineLength(0), 0);
    EXPECT_EQ(PcText(*window), "") << "no registers read from the new board yet";
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected) << window->StatusBar().PaneText(0);
    EXPECT_EQ(window->StatusBar().PaneText(0), "connected to the virtual board");
    EXPECT_FALSE(window->Run()) << "no program on the new board";

    const std::filesystem::path settings = scratch.Path() / "zorkit" / "zorstudio.conf";
    ASSERT_TRUE(std::filesystem::exists(settings));
    EXPECT_EQ(FileText(settings), "device=\nbaud=9600\n");
    EXPECT_TRUE(zorstudio::LoadLineChoice().IsVirtual());

    // Port again toggles the list.
    ClickButton(CStudioWindow::IdPort);
    ASSERT_NE(window->Lines().PortListWindow(), nullptr);
    ClickButton(CStudioWindow::IdPort);
    EXPECT_EQ(window->Lines().PortListWindow(), nullptr);
}

TEST(HexCellTest, TakesTheFormsAStudentTypesAndRefusesTheRest)
{
    EXPECT_EQ(zorstudio::ParseHexCell("3F", 0xFF), 0x3Fu);
    EXPECT_EQ(zorstudio::ParseHexCell(" 3fh ", 0xFF), 0x3Fu);
    EXPECT_EQ(zorstudio::ParseHexCell("0x1234", 0xFFFF), 0x1234u);
    EXPECT_FALSE(zorstudio::ParseHexCell("100", 0xFF)) << "too large for a byte";
    EXPECT_FALSE(zorstudio::ParseHexCell("0x", 0xFF));
    EXPECT_FALSE(zorstudio::ParseHexCell("", 0xFF));
    EXPECT_FALSE(zorstudio::ParseHexCell("G1", 0xFF));
    EXPECT_FALSE(zorstudio::ParseHexCell("FFFFFFFFFFFFFFFFFFFF", 0xFFFF)) << "no overflow into a small value";
    EXPECT_EQ(Hex(0x5A, 2), "5A");
    EXPECT_EQ(Hex(0x131, 4), "0131");
}

}
}
