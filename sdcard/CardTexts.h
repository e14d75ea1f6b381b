// The messages of the card exchange that the window and stadix-cli both show.
#pragma once

#include <cstddef>
#include <string>

namespace stadix::cardtext {

inline constexpr char kCannotImport[] = "Cannot import data from this file！";
inline constexpr char kNoRecord[] = "No record in the file";
// "The selected record area is not formatted or is faulty", with its caption "Hint".
inline constexpr char kStoreNotFormatted[] = "选取的记录区未格式化或存在错误!";
inline constexpr char kStoreNotFormattedCaption[] = "提示";
inline constexpr char kCannotExport[] = "Cannot export data to this file";
inline constexpr char kFileFull[] = "The file is full";
inline constexpr char kJobExists[] = "JOB already exists. Creation failed!";
inline constexpr char kCreationFailed[] = "Creation failed!";
inline constexpr char kMessageCaption[] = "Message";
inline constexpr char kWarningCaption[] = "Warning";

// "Total exported coord.data:" and the count.
inline std::string ExportedText(std::size_t count) {
    return "Total exported coord.data:" + std::to_string(count);
}

// "The file is full.Total exported coord.data:" and the count.
inline std::string FullExportedText(std::size_t count) {
    return "The file is full." + ExportedText(count);
}

} // namespace stadix::cardtext
