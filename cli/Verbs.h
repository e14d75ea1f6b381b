// The verbs of stadix-cli: each takes the words after the verb and returns the exit
// code, or throws Failure.
#pragma once

#include "cli/CliSupport.h"

#include <string>
#include <vector>

namespace cli {

extern const char* const kExportUsage;
int RunExport(const std::vector<std::string>& words);

} // namespace cli
