// Where the settings file lives.
#pragma once

#include <QString>

namespace stadix {

// "Commpara" beside the executable when that folder can be written, otherwise in the
// user's configuration folder of the application (created when missing). Every reader
// and writer of the settings file takes its path from here.
QString SettingsFilePath();

} // namespace stadix
