#include "tools/zorstudio/ui/StudioCommands.h"

#include <algorithm>

#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/ui/Keys.h"

namespace zorstudio {
namespace {

using W = CStudioWindow;

bool Built(const W& w) { return w.LastBuild().ok && !w.Downloading(); }
bool Downloaded(const W& w) { return w.View().entry.has_value(); }
// At a line of the built source, or of the listing of what was downloaded.
bool HasCode(const W& w) { return w.LastBuild().ok || !w.ProgramListing().Lines().empty(); }

}

const std::vector<CStudioCommand>& StudioCommands()
{
    static const std::vector<CStudioCommand> commands = {
        {W::IdOpen, N_("File"), N_("Open..."), false, nullptr, 'O', true, [](W& w) { w.Files().OpenFile(); }, nullptr},
        {W::IdSave, N_("File"), N_("Save"), false, N_("Save ^S"), 'S', true, [](W& w) { w.Files().Save(); }, nullptr},
        {W::IdSaveAs, N_("File"), N_("Save As..."), false, nullptr, 0, false, [](W& w) { w.Files().SaveAs(); }, nullptr},
        {W::IdExit, N_("File"), N_("Exit"), true, nullptr, 0, false, [](W& w) { w.Exit(); }, nullptr},
        {W::IdBuild, N_("Build"), N_("Build"), false, N_("Build ^B"), 'B', true, [](W& w) { w.Build(); }, nullptr},
        {W::IdDownload, N_("Build"), N_("Download"), false, N_("Download"), 0, false, [](W& w) { w.Download(); }, Built},
        {W::IdCancel, N_("Build"), N_("Cancel Download"), false, N_("Cancel"), VK_ESCAPE, false, [](W& w) { w.CancelDownload(); },
         [](const W& w) { return w.Downloading(); }},
        {W::IdRun, N_("Debug"), N_("Run"), false, N_("Run F5"), VK_F5, false, [](W& w) { w.Run(); }, Downloaded},
        {W::IdStepOver, N_("Debug"), N_("Step Over"), false, N_("Step F10"), VK_F10, false, [](W& w) { w.SourceDebugger().StepOver(); }, Downloaded},
        {W::IdStepInto, N_("Debug"), N_("Step Into"), false, N_("Trace F11"), VK_F11, false, [](W& w) { w.SourceDebugger().StepInto(); }, Downloaded},
        {W::IdStepOut, N_("Debug"), N_("Step Out"), false, nullptr, VK_F11, true, [](W& w) { w.SourceDebugger().StepOut(); }, Downloaded},
        {W::IdBreakpoint, N_("Debug"), N_("Toggle Breakpoint"), false, N_("Break F9"), VK_F9, false,
         [](W& w) { w.ToggleBreakpointAtCursor(); }, HasCode},
        {W::IdRunToCursor, N_("Debug"), N_("Run to Cursor"), false, N_("To cursor"), VK_F10, true, [](W& w) { w.RunToCursor(); },
         Downloaded},
        {W::IdCopyRun, N_("Debug"), N_("Copy-Run"), true, N_("Copy-run"), 0, false, [](W& w) { w.ToggleCopyRun(); }, Downloaded},
        {W::IdReset, N_("Debug"), N_("Reset"), false, N_("Reset"), 0, false, [](W& w) { w.Lines().AwaitReset(); }, nullptr},
        {W::IdConnect, N_("Debug"), N_("Connect"), false, N_("Connect"), 0, false, [](W& w) { w.Lines().Connect(); }, nullptr},
        {W::IdPort, N_("Line"), N_("Port..."), false, N_("Port"), 0, false, [](W& w) { w.Lines().ChoosePort(); }, nullptr},
        {W::IdDevicePath, N_("Line"), N_("Device path..."), false, nullptr, 0, false, [](W& w) { w.Lines().ChooseDevicePath(); }, nullptr},
        {W::IdBaudRate, N_("Line"), N_("Baud rate..."), false, nullptr, 0, false, [](W& w) { w.Lines().ChooseBaudRate(); }, nullptr},
        {W::IdMemoryPage, nullptr, nullptr, false, N_("XDATA"), 0, false, [](W& w) { w.MemoryPages().TogglePage(); }, nullptr},
    };
    return commands;
}

const CStudioCommand* FindStudioCommand(UINT id)
{
    const auto& commands = StudioCommands();
    const auto it = std::find_if(commands.begin(), commands.end(), [id](const CStudioCommand& c) { return c.id == id; });
    return it == commands.end() ? nullptr : &*it;
}

const CStudioCommand* StudioCommandOfKey(UINT key, bool ctrl)
{
    const auto& commands = StudioCommands();
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [&](const CStudioCommand& c) { return c.key == key && c.ctrl == ctrl; });
    return it == commands.end() ? nullptr : &*it;
}

std::string KeyText(const CStudioCommand& command)
{
    std::string name;
    if (command.key >= VK_F1 && command.key <= VK_F12)
        name = "F" + std::to_string(command.key - VK_F1 + 1);
    else if (command.key == VK_ESCAPE)
        name = "Esc";
    else if (command.key)
        name = std::string(1, char(command.key));
    return command.ctrl && !name.empty() ? "Ctrl+" + name : name;
}

std::vector<CMenu> StudioMenus()
{
    std::vector<CMenu> menus;
    for (const CStudioCommand& command : StudioCommands()) {
        if (!command.menu)
            continue;
        const std::string title = TrGbk(command.menu);
        if (menus.empty() || menus.back().title != title)
            menus.push_back({title, {}, command.menu[0]});
        if (command.ruleBefore)
            menus.back().commands.push_back({0, ""});
        menus.back().commands.push_back({command.id, TrGbk(command.item), KeyText(command)});
    }
    return menus;
}

}
