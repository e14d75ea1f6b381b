// A GSI-16 file of 1,000,000 lines in 10,000 setups for the reduction benchmarks: a station
// block, then 99 shots in mm, gon to 1e-5 and heights. The shots measure a new point each,
// or the same 99 targets from every setup. Written a line at a time: a child process
// starts with the peak memory of this one.
#pragma once

#include "base/FileIO.h"
#include "bench/Process.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace bench {

inline std::string GsiBenchFile(bool sameTargets) {
    constexpr int kLines = 1000000;
    constexpr int kShotsPerSetup = 99;
    // A GSI-16 point id: the name with zeros before it.
    const auto pointId = [](char prefix, int number) {
        const std::string name = prefix + std::to_string(number);
        return std::string(16 - name.size(), '0') + name;
    };
    const std::string path = BenchFolder() + (sameTargets ? "/targets1m.gsi" : "/reduce1m.gsi");
    if (std::filesystem::exists(path))
        return path;
    stadix::AtomicFileWriter file(path);
    char line[160];
    for (int n = 1, setup = 0; n <= kLines; ++setup, ++n) {
        std::snprintf(
            line, sizeof line, "*11%04d+%s 84..10+%016d 85..10+%016d 86..10+%016d 88..10+%016d\r\n",
            n % 10000, pointId('S', setup).c_str(), 1000000 + setup * 50, 2000000, 50000, 1500);
        file.Write(line);
        for (int i = 0; i < kShotsPerSetup && n < kLines; ++i) {
            ++n;
            std::snprintf(line, sizeof line,
                          "*11%04d+%s 21.102+%016d 22.102+%016d 31..06+%016d 87..10+%016d\r\n",
                          n % 10000, pointId(sameTargets ? 'T' : 'P', sameTargets ? i : n).c_str(),
                          i * 3637 % 4000000, 10000000 - i % 50 * 1000, 10000 + i * 100, 1500);
            file.Write(line);
        }
    }
    file.Commit();
    return path;
}

} // namespace bench
