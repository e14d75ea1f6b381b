// What the window remembers from one run to the next, in the user's settings: the
// record texts' encoding, the window's place and the files opened or saved last.
#pragma once

#include "app/RecentFiles.h"

#include <QSettings>
#include <QString>

#include <string>

QSettings RememberedSettings();
inline const char* const kEncodingKey = "RecordTextEncoding";
inline const char* const kGeometryKey = "WindowGeometry";

stadix::RecentFiles LoadRecentFiles();
// Puts the file first in File > Recent Files.
void RememberRecentFile(const std::string& path);
// A file that cannot be found leaves the list.
void ForgetRecentFile(const QString& path);
