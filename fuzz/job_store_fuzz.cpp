// Job stores with arbitrary table bytes, cut to arbitrary lengths, and arbitrary files
// taken for job stores: recognised, listed, every job read, then made up to their kind's
// size, appended to and a job created. Nothing may crash, and the file may never grow.
#include "fuzz/CardFuzzFile.h"
#include "sdcard/JobStore.h"
#include "tests/support/CardImages.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::size_t kKeptClusters = 6;

// A sound store of each kind with two jobs and the known list, cut after a few clusters.
std::string SoundStore(int kind) {
    const stadix::JobStoreLayout& layout = stadix::kJobStoreLayouts[kind];
    stadix::RawRecord record{};
    record[0] = stadix::kTypePt;
    stadix::test::JobStoreImage image(layout);
    image.AddJob(2, "TWO").AddJob(0, "ZERO").Fill(2, 0, 60, record).Fill(0, 2, 10, record);
    image.Fill(layout.jobs, 3, 5, record);
    return image.Bytes().substr(0, stadix::jobstore::kDataOffset +
                                       kKeptClusters * stadix::jobstore::kClusterSize);
}

void ReadEveryJob(stadix::JobStore& store) {
    store.JobListItems();
    stadix::RawRecord record;
    for (int item = 0; item <= store.DirectoryLength(); ++item) {
        const int job = store.JobOfListItem(item);
        if (!store.JobProblem(job).empty())
            continue;
        for (int index = 0; index < store.JobRecordCount(job); ++index)
            store.ReadJobRecord(job, index, record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::string, 5> sound = {SoundStore(0), SoundStore(1), SoundStore(2),
                                                     SoundStore(3), SoundStore(4)};
    if (size < 3)
        return 0;
    // The first byte picks the kind of store, or takes the rest of the input as the file.
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] < 0xF0) {
        bytes =
            fuzz::Patched(sound[data[0] % 5], stadix::jobstore::kDataOffset, data + 3, size - 3);
        bytes.resize(std::min<std::size_t>(bytes.size(), (data[1] << 8 | data[2]) * 2));
    }
    const std::string path = fuzz::WriteCardFile(bytes, "DATA.TSD");

    stadix::JobStore store;
    if (stadix::OpenCardJobStore(store, path, stadix::CardAccess::ReadOnly) !=
        stadix::StoreOpening::Opened)
        return 0;
    ReadEveryJob(store);

    // Only a store of its kind's full size is written to: the rest is added as the
    // instrument formats it, free.
    bytes.resize(std::max<std::size_t>(bytes.size(), store.Layout().FileSize()), '\xFF');
    fuzz::WriteCardFile(bytes, "DATA.TSD");
    stadix::OpenCardJobStore(store, path, stadix::CardAccess::ReadWrite);
    const stadix::RawRecord record{};
    for (int n = 0; n < 50; ++n)
        store.AddJobRecord(n % 2 == 0 ? 0 : store.KnownCoordinatesJob(), record);
    const int created = store.CreateJob("FUZZ");
    if (created != stadix::jobstore::kNoNewJob)
        store.AddJobRecord(created, record);
    ReadEveryJob(store);
    store.CloseJobStore();
    if (fuzz::FileSize(path) != bytes.size())
        __builtin_trap();
    return 0;
}
