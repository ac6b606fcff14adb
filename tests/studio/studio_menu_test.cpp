// zorstudio's menus, its Open and Save As prompts and the remembered line, driven by
// injected clicks and keys on the headless window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/studio/ScopedEnv.h"
#include "tests/studio/StudioWindowFixture.h"
#include "sim/VirtualBoard.h"
#include "tools/zorstudio/StudioSettings.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/PathPromptDialog.h"
#include "tools/zorstudio/ui/PortList.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CDropDownList;
using zorstudio::CStudioWindow;

constexpr COLORREF kBreakpointRed = RGB(255, 0, 0);

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string EditorText(CStudioWindow& window)
{
    std::string text;
    for (int line = 0; line < window.Source().GetLineCount(); ++line)
        text += StudioWindowTest::Line(window.Source(), line) + "\n";
    return text;
}

class StudioMenuTest : public StudioWindowTest {
protected:
    // Clicks the menu's title; the open menu's list.
    CDropDownList* OpenMenu(const std::string& title)
    {
        zorstudio::CMenuBar& bar = window->MenuBar();
        const auto menu = bar.MenuIndex(title);
        EXPECT_TRUE(menu) << title;
        if (!menu)
            return nullptr;
        Click(bar, bar.TitleRect(*menu).CenterPoint());
        return bar.OpenList();
    }
    // Clicks the title, then the item: what a student does to choose it.
    void Choose(const std::string& title, const std::string& item)
    {
        CDropDownList* list = OpenMenu(title);
        ASSERT_NE(list, nullptr) << title << " opens no menu";
        const auto index = list->IndexOf(item);
        ASSERT_TRUE(index) << title << " has no item " << item;
        Click(*list, list->ItemRect(*index).CenterPoint());
        EXPECT_EQ(window->MenuBar().OpenList(), nullptr) << "the menu closes on a choice";
    }
    // Replaces the prompt's path (selected as it opens) by typing, and presses Enter.
    static void TypePath(const std::filesystem::path& path)
    {
        InjectText(path.string());
        Key(VK_RETURN);
    }
    std::string Message() { return window->StatusBar().PaneText(CStudioWindow::kMessagePane); }
};

TEST_F(StudioMenuTest, MenuItemsRunTheCommandsOfTheirButtonsAndKeys)
{
    ASSERT_TRUE(window->OpenSource(sample));

    // Before a build there is nothing to download: the item is greyed, and choosing it
    // says why, as the button would.
    CDropDownList* build = OpenMenu("Build");
    ASSERT_NE(build, nullptr);
    const auto download = build->IndexOf("Download");
    ASSERT_TRUE(download);
    EXPECT_FALSE(build->Items()[*download].enabled);
    EXPECT_EQ(build->Items()[*build->IndexOf("Build")].key, "Ctrl+B");
    Click(*build, build->ItemRect(*download).CenterPoint());
    EXPECT_EQ(Message(), "nothing built to download");
    EXPECT_TRUE((*View().code).IsEmpty());

    Choose("Build", "Build");
    ASSERT_TRUE(window->LastBuild().ok) << Message();
    build = OpenMenu("Build");
    ASSERT_NE(build, nullptr);
    EXPECT_TRUE(build->Items()[*download].enabled) << "built: Download can run";
    Click(*build, build->ItemRect(*download).CenterPoint());
    ASSERT_GT(window->ListingText().GetLineCount(), 10) << Message();

    // Debug > Toggle Breakpoint (F9) on the listing line of 'done:' the cursor is on.
    const int doneSource = LineOfLabel(window->Source(), "done:");
    ASSERT_GE(doneSource, 0);
    const auto done = window->AddressOfSourceLine(doneSource + 1);
    ASSERT_TRUE(done);
    const int doneListing = window->ProgramListing().LineOf(*done);
    ASSERT_GE(doneListing, 0);
    ScrollIntoView(window->Listing(), doneListing);
    const CPoint text = window->Listing().TextToClient(CPoint(0, doneListing));
    Click(window->Listing(), CPoint(text.x + 4, text.y + 2));
    window->Tick();
    ASSERT_EQ(window->Listing().GetCursorPos().y, doneListing);
    CDropDownList* debug = OpenMenu("Debug");
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(debug->Items()[*debug->IndexOf("Toggle Breakpoint")].key, "F9");
    EXPECT_EQ(debug->Items()[*debug->IndexOf("Run to Cursor")].key, "Ctrl+F10");
    window->MenuBar().Close();
    Choose("Debug", "Toggle Breakpoint");
    EXPECT_TRUE(View().IsBreakpoint(*done)) << Message();
    EXPECT_TRUE(window->ListingText().GetLineFlags(doneListing) & LINEMARK_DOT);
    window->Listing().UpdateWindow();
    auto listing = CaptureWindow(window->Listing().m_hWnd, true);
    ASSERT_TRUE(listing);
    const CPoint marked = window->Listing().TextToClient(CPoint(0, doneListing));
    EXPECT_EQ(listing->GetPixel(listing->Width() - 30, marked.y + 1), kBreakpointRed) << "the breakpoint's line is red";
    const CPoint other = window->Listing().TextToClient(CPoint(0, doneListing - 1));
    EXPECT_NE(listing->GetPixel(listing->Width() - 30, other.y + 1), kBreakpointRed);

    // Debug > Run runs to it.
    const int stops = View().stopsHandled;
    Choose("Debug", "Run");
    ASSERT_TRUE(WaitFor([&] { return View().stopsHandled > stops; })) << Message();
    EXPECT_EQ(View().current.pc, *done);
    EXPECT_TRUE(window->ListingText().GetLineFlags(doneListing) & LINEMARK_ARROW);

    // Choosing it again clears it, as F9 would.
    Choose("Debug", "Toggle Breakpoint");
    EXPECT_FALSE(View().IsBreakpoint(*done));
    EXPECT_FALSE(window->ListingText().GetLineFlags(doneListing) & LINEMARK_DOT);
}

TEST_F(StudioMenuTest, EscapeOrAClickElsewhereClosesAMenuAndRunsNothing)
{
    ASSERT_TRUE(window->OpenSource(sample));
    Key('B', true);
    ClickButton(CStudioWindow::IdDownload);
    ASSERT_GT(window->ListingText().GetLineCount(), 1);
    zorstudio::CMenuBar& bar = window->MenuBar();

    // The open menu's title is highlighted, its list lies over the views.
    CDropDownList* debug = OpenMenu("Debug");
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(bar.OpenMenu(), bar.MenuIndex("Debug"));
    bar.UpdateWindow();
    auto picture = CaptureWindow(bar.m_hWnd, true);
    ASSERT_TRUE(picture);
    const CRect title = bar.TitleRect(*bar.MenuIndex("Debug"));
    EXPECT_EQ(picture->GetPixel(title.left + 2, title.top + 2), GetSysColor(COLOR_HIGHLIGHT));
    const CRect other = bar.TitleRect(*bar.MenuIndex("File"));
    EXPECT_NE(picture->GetPixel(other.left + 2, other.top + 2), GetSysColor(COLOR_HIGHLIGHT));

    Key(VK_ESCAPE);
    EXPECT_EQ(bar.OpenList(), nullptr) << "Escape closes the menu";
    EXPECT_FALSE(bar.OpenMenu());

    // A click outside closes it and does nothing else: the margin click sets no breakpoint.
    ASSERT_NE(OpenMenu("Debug"), nullptr);
    Click(window->Listing(), MarginPoint(window->Listing(), 0));
    EXPECT_EQ(bar.OpenList(), nullptr) << "a click elsewhere closes the menu";
    EXPECT_FALSE(View().IsBreakpoint(window->ProgramListing().Lines()[0].address)) << "and is used up by that";
    // The next one is the listing's again (a line further down: not a double click).
    Click(window->Listing(), MarginPoint(window->Listing(), 1));
    EXPECT_TRUE(View().IsBreakpoint(window->ProgramListing().Lines()[1].address));

    // A second click on the title closes it; with one open, moving to another title opens that.
    ASSERT_NE(OpenMenu("File"), nullptr);
    ASSERT_EQ(OpenMenu("File"), nullptr);
    ASSERT_NE(OpenMenu("File"), nullptr);
    CPoint over = bar.TitleRect(*bar.MenuIndex("Line")).CenterPoint();
    bar.ClientToScreen(&over);
    InjectInput({InputKind::MouseMove, over});
    PumpPendingMessages();
    EXPECT_EQ(bar.OpenMenu(), bar.MenuIndex("Line"));
    Key(VK_ESCAPE);

    // Line > Port... shows the Port list, which Escape closes too.
    Choose("Line", "Port...");
    ASSERT_NE(window->Lines().PortListWindow(), nullptr);
    Key(VK_ESCAPE);
    EXPECT_EQ(window->Lines().PortListWindow(), nullptr);
}

TEST_F(StudioMenuTest, MenusOpenWithAltAndTheirItemsAreChosenWithArrowsAndEnter)
{
    ASSERT_TRUE(window->OpenSource(sample));
    const std::string before = EditorText(*window);
    window->Editor().SetFocus();
    InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, VK_MENU});
    Key('B');
    InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, VK_MENU});
    PumpPendingMessages();
    zorstudio::CMenuBar& bar = window->MenuBar();
    ASSERT_EQ(bar.OpenMenu(), bar.MenuIndex("Build"));

    // Left goes to File and wraps round to the last menu, Right comes back.
    Key(VK_LEFT);
    EXPECT_EQ(bar.OpenMenu(), bar.MenuIndex("File"));
    Key(VK_LEFT);
    EXPECT_EQ(bar.OpenMenu(), bar.MenuIndex("Line"));
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    ASSERT_EQ(bar.OpenMenu(), bar.MenuIndex("Build"));
    // Down highlights Build, Enter chooses it.
    Key(VK_DOWN);
    ASSERT_NE(bar.OpenList(), nullptr);
    EXPECT_EQ(bar.OpenList()->HotItem(), 0);
    Key(VK_RETURN);
    EXPECT_EQ(bar.OpenList(), nullptr);
    EXPECT_TRUE(window->LastBuild().ok) << Message();
    EXPECT_EQ(EditorText(*window), before) << "the keys went to the menu, not into the editor";
}

TEST_F(StudioMenuTest, OpenOfAMissingFileKeepsTheEditorTextAndSaysWhy)
{
    ASSERT_TRUE(window->OpenSource(sample));
    const std::string before = EditorText(*window);

    Choose("File", "Open...");
    zorstudio::CPathPromptDialog* prompt = window->PathPromptWindow();
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(prompt->IsWindowVisible());
    EXPECT_EQ(prompt->PathText(), (sample.parent_path() / "").string()) << "it starts in the source's folder";
    const std::filesystem::path missing = scratch.Path() / "no-such.asm";
    TypePath(missing);
    EXPECT_EQ(Message(), "cannot open " + missing.string() + ": No such file or directory");
    EXPECT_EQ(EditorText(*window), before) << "the editor keeps its text";
    EXPECT_EQ(window->SourcePath(), sample);
    ASSERT_EQ(window->PathPromptWindow(), prompt) << "the prompt stays for another path";

    // A folder is no source either.
    TypePath(scratch.Path());
    EXPECT_EQ(Message(), "cannot open " + scratch.Path().string() + ": it is a directory");
    EXPECT_EQ(EditorText(*window), before);

    // Another file opens; the build of the old one is forgotten.
    const std::filesystem::path other = scratch.Path() / "other.asm";
    std::ofstream(other) << "; another program\n\torg 0x0100\nstart:\tsjmp start\n";
    TypePath(other);
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(EditorText(*window), "; another program\n\torg 0x0100\nstart:\tsjmp start\n");
    EXPECT_EQ(window->SourcePath(), other);
    EXPECT_EQ(Message(), "opened " + other.string());
    EXPECT_FALSE(window->CanRun(CStudioWindow::IdDownload)) << "nothing of the new text is built";
}

TEST_F(StudioMenuTest, OpenWithUnsavedEditsAsksForASecondOpenAndEscapeCancels)
{
    ASSERT_TRUE(window->OpenSource(sample));
    ClickCentre(window->Editor());
    InjectText("; mine");
    PumpPendingMessages();
    ASSERT_TRUE(window->Source().IsModified());
    const std::string edited = EditorText(*window);
    ASSERT_NE(edited.find("; mine"), std::string::npos);

    Key('O', true);
    EXPECT_EQ(window->PathPromptWindow(), nullptr) << "the first Open only warns";
    EXPECT_EQ(Message(), "the source has unsaved edits: Save keeps them, Open again discards them");
    Choose("File", "Open...");
    ASSERT_NE(window->PathPromptWindow(), nullptr) << "asked again, it asks for the path";

    Key(VK_ESCAPE);
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(Message(), "cancelled");
    EXPECT_EQ(EditorText(*window), edited);

    // Exit is refused the same way; the window stays.
    Choose("File", "Exit");
    EXPECT_NE(window->m_hWnd, nullptr);
    EXPECT_EQ(Message(), "the source has unsaved edits: Save keeps them, Exit again discards them");
    // Another command in between: Exit warns again.
    Choose("Build", "Build");
    Choose("File", "Exit");
    EXPECT_NE(window->m_hWnd, nullptr);
    Choose("File", "Exit");
    EXPECT_EQ(window->m_hWnd, nullptr) << "asked twice in a row, Exit closes the window";
}

TEST_F(StudioMenuTest, SaveAsWritesTheFileAndLaterSavesGoThere)
{
    ASSERT_TRUE(window->OpenSource(sample));
    const std::string original = FileText(sample);
    ClickCentre(window->Editor());
    window->Editor().SetCursorPos(CPoint(0, 0));
    InjectText("; first");
    Key(VK_RETURN);

    Choose("File", "Save As...");
    ASSERT_NE(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(window->PathPromptWindow()->PathText(), sample.string()) << "it starts at the source's own path";
    // A path that cannot be written leaves everything as it was.
    const std::filesystem::path unwritable = scratch.Path() / "no-dir" / "copy.asm";
    TypePath(unwritable);
    EXPECT_EQ(Message().rfind("cannot save " + unwritable.string(), 0), 0u) << Message();
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    EXPECT_EQ(window->SourcePath(), sample);
    ASSERT_NE(window->PathPromptWindow(), nullptr);

    const std::filesystem::path copy = scratch.Path() / "copy.asm";
    window->PathPromptWindow()->PathField()->SendMessage(EM_SETSEL, 0, -1);
    TypePath(copy);
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(Message(), "saved " + copy.string());
    EXPECT_EQ(FileText(copy), EditorText(*window));
    EXPECT_EQ(FileText(copy).rfind("; first\n", 0), 0u);
    EXPECT_EQ(window->SourcePath(), copy);
    EXPECT_FALSE(window->Source().IsModified());
    EXPECT_EQ(FileText(sample), original) << "the old file is left as it was";

    // Save (Ctrl+S) now writes the new file.
    window->Editor().SetCursorPos(CPoint(0, 0));
    ClickCentre(window->Editor());
    window->Editor().SetCursorPos(CPoint(0, 0));
    InjectText("; second");
    Key(VK_RETURN);
    Key('S', true);
    EXPECT_EQ(FileText(copy).rfind("; second\n; first\n", 0), 0u) << FileText(copy).substr(0, 40);
    EXPECT_EQ(FileText(sample), original);
    Choose("File", "Save");
    EXPECT_EQ(Message(), "saved " + copy.string());
}

TEST_F(StudioMenuTest, PromptsStillShownGoWithTheWindow)
{
    Choose("File", "Open...");
    ASSERT_NE(window->PathPromptWindow(), nullptr);
    ClickButton(CStudioWindow::IdReset);
    ASSERT_NE(window->Lines().ResetPromptWindow(), nullptr);
    // Owned windows go before their owner hears of it: the window must not reach for them.
    window->DestroyWindow();
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(window->Lines().ResetPromptWindow(), nullptr);
}

TEST_F(StudioMenuTest, ThePortListOffersTheDeviceUsedLastFirst)
{
    ScopedEnv config("XDG_CONFIG_HOME", scratch.Path().string().c_str());
    const std::string gone = (scratch.Path() / "ttyGone").string();
    ASSERT_TRUE(zorstudio::SaveLineChoice({gone, 4800}));

    Choose("Line", "Port...");
    zorstudio::CPortList* list = window->Lines().PortListWindow();
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->Entries().size(), 2u);
    EXPECT_EQ(list->Entries()[0].choice.device, gone);
    EXPECT_EQ(list->Entries()[0].choice.baud, 4800) << "at the baud rate it was used at";
    EXPECT_EQ(list->Items()[0].label, "last used: " + gone + " at 4800 baud");
    EXPECT_TRUE(list->Entries()[1].choice.IsVirtual());

    // One click tries it; this one is gone, which the message line says, and it stays
    // remembered.
    Click(*list, list->ItemRect(0).CenterPoint());
    EXPECT_EQ(window->Lines().PortListWindow(), nullptr);
    EXPECT_EQ(Message(), "cannot open the serial device " + gone);
    EXPECT_EQ(zorstudio::LoadLineChoice().device, gone);

    // Back on the virtual board (the second entry), which is remembered instead: no
    // "last used" entry then.
    Choose("Line", "Port...");
    list = window->Lines().PortListWindow();
    ASSERT_NE(list, nullptr);
    Click(*list, list->ItemRect(1).CenterPoint());
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected) << Message();
    Choose("Line", "Port...");
    ASSERT_NE(window->Lines().PortListWindow(), nullptr);
    EXPECT_TRUE(window->Lines().PortListWindow()->Entries()[0].choice.IsVirtual());
    EXPECT_EQ(window->Lines().PortListWindow()->Items()[0].label, "virtual board");
}

TEST_F(StudioMenuTest, ABaudRateAndATypedDeviceReopenTheLineAndAreRemembered)
{
    ScopedEnv config("XDG_CONFIG_HOME", scratch.Path().string().c_str());

    // The rates the link can set, the one in use marked; another reopens the line at it.
    Choose("Line", "Baud rate...");
    zorstudio::CBaudList* rates = window->Lines().BaudListWindow();
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(window->Lines().PortListWindow(), nullptr) << "one list under the Port button at a time";
    ASSERT_EQ(rates->Items().size(), 5u);
    const auto at9600 = rates->IndexOf("9600 baud");
    const auto at4800 = rates->IndexOf("4800 baud");
    ASSERT_TRUE(at9600 && at4800);
    EXPECT_EQ(rates->Items()[*at9600].key, "in use");
    EXPECT_EQ(rates->Items()[*at4800].key, "");
    Click(*rates, rates->ItemRect(*at4800).CenterPoint());
    EXPECT_EQ(window->Lines().BaudListWindow(), nullptr) << "the list closes on a choice";
    EXPECT_EQ(View().line.baud, 4800);
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected) << Message();
    EXPECT_EQ(zorstudio::LoadLineChoice().baud, 4800);

    // A device the Port list does not show is typed; it opens at the rate chosen.
    sim::CVirtualBoard other;
    ASSERT_TRUE(other.Start()) << other.LastError();
    Choose("Line", "Device path...");
    zorstudio::CPathPromptDialog* prompt = window->PathPromptWindow();
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->PathText(), "/dev/") << "on the virtual board it starts where devices are";
    const std::filesystem::path missing = scratch.Path() / "ttyMissing";
    TypePath(missing);
    EXPECT_EQ(Message(), "cannot open the serial device " + missing.string());
    ASSERT_EQ(window->PathPromptWindow(), prompt) << "the prompt stays for another path";
    TypePath(other.SlavePath());
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(View().line.device, other.SlavePath());
    EXPECT_EQ(View().line.baud, 4800);
    EXPECT_EQ(View().state, zorstudio::LinkState::Connected) << Message();
    EXPECT_EQ(Message(), "connected to " + other.SlavePath() + " at 4800 baud");
    EXPECT_EQ(zorstudio::LoadLineChoice().device, other.SlavePath());

    // Baud rate... keeps the device; Device path... starts at it.
    Choose("Line", "Baud rate...");
    rates = window->Lines().BaudListWindow();
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(rates->Items()[*at4800].key, "in use");
    Click(*rates, rates->ItemRect(*rates->IndexOf("2400 baud")).CenterPoint());
    EXPECT_EQ(View().line.device, other.SlavePath());
    EXPECT_EQ(View().line.baud, 2400);
    Choose("Line", "Device path...");
    ASSERT_NE(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(window->PathPromptWindow()->PathText(), other.SlavePath());
    Key(VK_ESCAPE);
    EXPECT_EQ(window->PathPromptWindow(), nullptr);
    EXPECT_EQ(View().line.device, other.SlavePath()) << "Escape leaves the line as it was";
}

// zorstudio started in Chinese: a save the system refuses says why in Chinese.
class StudioMenuInChineseTest : public StudioMenuTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(zorstudio::LoadTranslation()) << "the build's zh_CN catalogue";
        StudioMenuTest::SetUp();
    }
    void TearDown() override
    {
        StudioMenuTest::TearDown();
        ScopedEnv english("LC_ALL", "C");
        zorstudio::LoadTranslation();
    }

    ScopedEnv m_language{"LANGUAGE", nullptr}, m_all{"LC_ALL", nullptr}, m_messages{"LC_MESSAGES", nullptr},
        m_lang{"LANG", "zh_CN.UTF-8"};
};

TEST_F(StudioMenuInChineseTest, ASaveIntoADirectoryThatWentAwaySaysWhyInChinese)
{
    // The source on a stick that is pulled out while it is being edited.
    const std::filesystem::path stick = scratch.Path() / "stick";
    std::filesystem::create_directory(stick);
    const std::filesystem::path source = stick / "sort.asm";
    std::filesystem::copy_file(sample, source);
    ASSERT_TRUE(window->OpenSource(source));
    ClickCentre(window->Editor());
    window->Editor().SetCursorPos(CPoint(0, 0));
    InjectText("; edited");
    Key(VK_RETURN);
    std::filesystem::remove_all(stick);

    Key('S', true);
    EXPECT_EQ(Utf8FromGbk(Message()), "无法保存 " + source.string() + "：没有那个文件或目录");
    EXPECT_TRUE(window->Source().IsModified()) << "the edits are still unsaved";
}

}
}
