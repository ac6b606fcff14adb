#include "tools/zorstudio/ui/StudioCommands.h"

#include <algorithm>

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
        {W::IdOpen, "File", "Open...", false, nullptr, 'O', true, [](W& w) { w.OpenFile(); }, nullptr},
        {W::IdSave, "File", "Save", false, "Save ^S", 'S', true, [](W& w) { w.Save(); }, nullptr},
        {W::IdSaveAs, "File", "Save As...", false, nullptr, 0, false, [](W& w) { w.SaveAs(); }, nullptr},
        {W::IdExit, "File", "Exit", true, nullptr, 0, false, [](W& w) { w.Exit(); }, nullptr},
        {W::IdBuild, "Build", "Build", false, "Build ^B", 'B', true, [](W& w) { w.Build(); }, nullptr},
        {W::IdDownload, "Build", "Download", false, "Download", 0, false, [](W& w) { w.Download(); }, Built},
        {W::IdCancel, "Build", "Cancel Download", false, "Cancel", VK_ESCAPE, false, [](W& w) { w.CancelDownload(); },
         [](const W& w) { return w.Downloading(); }},
        {W::IdRun, "Debug", "Run", false, "Run F5", VK_F5, false, [](W& w) { w.Run(); }, Downloaded},
        {W::IdStepOver, "Debug", "Step Over", false, "Step F10", VK_F10, false, [](W& w) { w.StepOver(); }, Downloaded},
        {W::IdStepInto, "Debug", "Step Into", false, "Trace F11", VK_F11, false, [](W& w) { w.StepInto(); }, Downloaded},
        {W::IdStepOut, "Debug", "Step Out", false, nullptr, VK_F11, true, [](W& w) { w.StepOut(); }, Downloaded},
        {W::IdBreakpoint, "Debug", "Toggle Breakpoint", false, "Break F9", VK_F9, false,
         [](W& w) { w.ToggleBreakpointAtCursor(); }, HasCode},
        {W::IdRunToCursor, "Debug", "Run to Cursor", false, "To cursor", VK_F10, true, [](W& w) { w.RunToCursor(); },
         Downloaded},
        {W::IdCopyRun, "Debug", "Copy-Run", true, "Copy-run", 0, false, [](W& w) { w.ToggleCopyRun(); }, Downloaded},
        {W::IdReset, "Debug", "Reset", false, "Reset", 0, false, [](W& w) { w.AwaitReset(); }, nullptr},
        {W::IdConnect, "Debug", "Connect", false, "Connect", 0, false, [](W& w) { w.Connect(); }, nullptr},
        {W::IdPort, "Line", "Port...", false, "Port", 0, false, [](W& w) { w.ChoosePort(); }, nullptr},
        {W::IdDevicePath, "Line", "Device path...", false, nullptr, 0, false, [](W& w) { w.ChooseDevicePath(); }, nullptr},
        {W::IdBaudRate, "Line", "Baud rate...", false, nullptr, 0, false, [](W& w) { w.ChooseBaudRate(); }, nullptr},
        {W::IdMemoryPage, nullptr, nullptr, false, "XDATA", 0, false, [](W& w) { w.ToggleMemoryPage(); }, nullptr},
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
        if (menus.empty() || menus.back().title != command.menu)
            menus.push_back({command.menu, {}});
        if (command.ruleBefore)
            menus.back().commands.push_back({0, ""});
        menus.back().commands.push_back({command.id, command.item, KeyText(command)});
    }
    return menus;
}

}
