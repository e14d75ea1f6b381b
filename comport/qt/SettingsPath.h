// Where the settings file lives.
#pragma once

#include <QString>

namespace stadix {

// "Commpara" in the user's configuration folder of Stadix (~/.config/Stadix), the folder
// created when missing: the same file for the window and stadix-cli, however and from
// wherever the program was started. Every reader and writer of the settings file takes
// its path from here.
QString SettingsFilePath();

} // namespace stadix
