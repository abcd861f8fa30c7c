// What the archive's benchmarks share: a core application, a folder of the run's own and the
// saved 1,000,000-record results file they import.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

#include "LogBenchUtil.h"
#include "logs/ResultsFile.h"

namespace quorvex::bench {

constexpr int kFileRecords = 1'000'000;

inline void Application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_archive";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

inline QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// Made on first use, in the run's folder; a 5-minute interval.
inline const QString& MillionFile() {
    static const QString path = [] {
        const QString p = Folder().filePath(QStringLiteral("million.txt"));
        ResultsStore store;
        FillResults(store, kFileRecords, 300);
        SaveResultsFile(p, store);
        return p;
    }();
    return path;
}

}  // namespace quorvex::bench
