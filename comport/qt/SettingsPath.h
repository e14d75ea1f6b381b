// Where the settings file lives.
#pragma once

#include <QString>

namespace stadix {

// "Commpara" in SettingsFolder() of the running program, the folder created when
// missing. Every reader and writer of the settings file takes its path from here.
QString SettingsFilePath();

// The folder of the settings file for a program in programFolder: that folder itself
// when it can be written, unless it is installedFolder, where the installed program
// lives (a package's /usr/bin, writable by root but shared by every user); otherwise the
// user's configuration folder of Stadix (~/.config/Stadix), the same for the window and
// stadix-cli.
QString SettingsFolder(const QString& programFolder, const QString& installedFolder);

} // namespace stadix
