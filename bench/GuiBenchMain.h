// The common start of the benchmarks that drive the real windows: a headless
// application and a temporary folder for the files they open and write.
#pragma once

#include <QString>

// A path in the benchmark run's temporary folder.
QString BenchFilePath(const QString& name);
