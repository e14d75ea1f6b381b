// A full job store of the largest kind for the card benchmarks: 51840 records of every
// observation kind in 17 jobs (16 of 3072 records, one of 2688), written to a file in
// a temporary folder of the run.
#pragma once

#include "base/FileIO.h"
#include "bench/Process.h"
#include "tests/support/CardImages.h"
#include "tests/support/RawRecordBuilder.h"

#include <string>

namespace bench {

inline std::string FullJobStoreFile() {
    const stadix::JobStoreLayout& largest = stadix::kJobStoreLayouts[3];
    stadix::test::JobStoreImage image(largest);
    const std::uint8_t kinds[] = {stadix::kTypeStn, stadix::kTypeDist, stadix::kTypeAng,
                                  stadix::kTypeCrd, stadix::kTypeBkb,  stadix::kTypeBs};
    int cluster = 0;
    for (int job = 0; job < 17; ++job) {
        image.AddJob(job, "JOB" + std::to_string(job));
        const int records = job < 16 ? 3072 : 2688;
        for (int i = 0; i < records; ++i) {
            const stadix::RawRecord record =
                stadix::test::RawRecordBuilder(kinds[i % 6], true)
                    .Bytes(1, "P" + std::to_string(i))
                    .Bytes(10, "CODE")
                    .Float(19, 1.5f)
                    .UInt32(27, static_cast<std::uint32_t>(i * 997 % 1296000))
                    .Coordinate(29, 5000 + i, static_cast<std::int16_t>(i % 1000))
                    .Build();
            image.Put(job, cluster + i / 48, i % 48 / 6, i % 6, record);
        }
        cluster += records / 48;
    }
    const std::string path = BenchFolder() + "/FULL.TSD";
    stadix::WriteFileAtomically(path, image.Bytes());
    return path;
}

} // namespace bench
