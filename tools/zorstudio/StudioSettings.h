// What zorstudio remembers between runs: the last serial device and baud rate, in
// $XDG_CONFIG_HOME/zorkit/zorstudio.conf (~/.config/zorkit/ without it), one
// "key=value" a line. A missing or unreadable file, or a bad value, gives the default.
#pragma once

#include <string>

#include "tools/zorstudio/BoardLine.h"

namespace zorstudio {

// The settings file's path from the environment.
std::string SettingsPath();
CLineChoice LoadLineChoice(const std::string& path = SettingsPath());
// Replaces the file whole, creating its directory; false when it cannot be written.
bool SaveLineChoice(const CLineChoice& choice, const std::string& path = SettingsPath());

}
