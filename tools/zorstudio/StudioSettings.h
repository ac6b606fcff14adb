// What zorstudio remembers between runs: the last serial device and baud rate, and
// the layout of the main window's panes, in $XDG_CONFIG_HOME/zorkit/zorstudio.conf
// (~/.config/zorkit/ without it), one "key=value" a line. A missing or unreadable
// file, or a bad value, gives the default. Saving one part keeps the others' lines.
#pragma once

#include <string>

#include "tools/zorstudio/BoardLine.h"
#include "tools/zorstudio/PaneLayout.h"

namespace zorstudio {

// The settings file's path from the environment.
std::string SettingsPath();
CLineChoice LoadLineChoice(const std::string& path = SettingsPath());
// Replaces the file, creating its directory; false when it cannot be written.
bool SaveLineChoice(const CLineChoice& choice, const std::string& path = SettingsPath());
CLayoutSizes LoadLayoutSizes(const std::string& path = SettingsPath());
bool SaveLayoutSizes(const CLayoutSizes& sizes, const std::string& path = SettingsPath());

}
