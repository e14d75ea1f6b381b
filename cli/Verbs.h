// The verbs of stadix-cli: each takes the words after the verb and returns the exit
// code, or throws Failure.
#pragma once

#include "cli/CliSupport.h"

#include <string>
#include <vector>

namespace cli {

extern const char* const kExportUsage;
int RunExport(const std::vector<std::string>& words);

extern const char* const kImportUsage;
int RunImport(const std::vector<std::string>& words);

extern const char* const kConvertUsage;
int RunConvert(const std::vector<std::string>& words);

extern const char* const kReduceUsage;
int RunReduce(const std::vector<std::string>& words);

extern const char* const kCardJobsUsage;
int RunCardJobs(const std::vector<std::string>& words);

extern const char* const kCardImportUsage;
int RunCardImport(const std::vector<std::string>& words);

extern const char* const kCardExportUsage;
int RunCardExport(const std::vector<std::string>& words);

extern const char* const kReceiveUsage;
int RunReceive(const std::vector<std::string>& words);

extern const char* const kSendUsage;
int RunSend(const std::vector<std::string>& words);

extern const char* const kPortsUsage;
int RunPorts(const std::vector<std::string>& words);

} // namespace cli
