// zorstudio's commands in one table: each with its menu item, its button, its key,
// what it runs and when it can run. The menus, the button row, the keys and the
// greying of menu items are all made from it.
#pragma once

#include <string>
#include <vector>

#include "tools/zorstudio/ui/MenuBar.h"

namespace zorstudio {

class CStudioWindow;

struct CStudioCommand {
    UINT id;
    const char* menu;     // the menu's title; null: in no menu
    const char* item;     // the menu item's text
    bool ruleBefore;      // a rule above the item
    const char* button;   // the button's text; null: no button
    UINT key;             // 0: no key
    bool ctrl;            // with Ctrl
    void (*run)(CStudioWindow& window);
    // Null: always.
    bool (*enabled)(const CStudioWindow& window);
};

// In menu order; the buttons stand in the order of their ids.
const std::vector<CStudioCommand>& StudioCommands();
const CStudioCommand* FindStudioCommand(UINT id);
// The command of a key press; null when the key has none.
const CStudioCommand* StudioCommandOfKey(UINT key, bool ctrl);
// "Ctrl+F10", "F5", "Esc"; empty for no key.
std::string KeyText(const CStudioCommand& command);
std::vector<CMenu> StudioMenus();

}
