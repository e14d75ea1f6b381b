#include "sdcard/CardExchange.h"

#include "base/FileIO.h"
#include "tests/support/CardImages.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

// Picks job 0 and answers every other question no.
class JobZero : public CardExchangeQuestions {
    bool ChooseImportOptions(ImportChoices&) override { return false; }
    std::optional<int> ChooseJob(JobStore&, bool) override { return 0; }
    bool CreateRecordFile(const std::string&) override { return false; }
    bool WritePtsFile(const std::string&, bool) override { return false; }
    void ShowWork(const std::string&) override {}
};

using CardExchangeTest = test::TempFolderTest;

// Each refusal says why and leaves the card as it was; the damaged job (it counts a record
// its clusters do not hold) is refused before the export would set the job's byte order.
TEST_F(CardExchangeTest, RefusalsSayWhyAndLeaveTheCard) {
    const std::tuple<const char*, std::string, std::string, std::string> refused[] = {
        {"EMPTY.TSR", test::RecordFileImage().Bytes(), "", "No record in the file"},
        {"BAD.TSD", std::string(20000, '\0'), "提示", "选取的记录区未格式化或存在错误!"},
        {"BAD.TSR", "not a record file", "Warning", "Cannot import data from this file！"},
        {"D.TSD", test::JobStoreImage(kJobStoreLayouts[0]).AddJob(0, "J").Word16(1033, 1).Bytes(),
         "Warning", "Cannot export data to this file"}};
    JobZero answers;
    Job job;
    for (const auto& [name, bytes, caption, message] : refused) {
        WriteFileAtomically(Path(name), bytes);
        const CardResult result =
            name == std::string("D.TSD")
                ? CardExchange().Export(Path(name), CardFileKind::JobStore, answers, job)
                : CardExchange().Import(Path(name), answers, job);
        EXPECT_EQ(std::make_tuple(name, result.end, result.caption, result.message),
                  std::make_tuple(name, CardResult::End::Refused, caption, message));
        EXPECT_EQ(ReadFileBytes(Path(name)), bytes) << name;
    }
    EXPECT_EQ(job.cardByteOrder, CardByteOrder::BigEndian);
}

} // namespace
} // namespace stadix
