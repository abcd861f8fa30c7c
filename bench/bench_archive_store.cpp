// The archive's own costs, on an SQLite file in a temporary folder:
//   BM_ReadFile1M / BM_ImportFile1M: a saved 1,000,000-record text file read alone, and
//     imported into a fresh archive (records_per_s; ratio_to_reading = import time / read time).
//   BM_InsertFloor1M: the floor an import can reach: the same file's records inserted into the
//     archive's own record table (its schema, its journal settings) by the shortest loop over
//     SQLite's C interface: one prepared statement, one transaction. BM_ImportFile1M reports
//     ratio_to_floor = import time / floor time.
//   BM_OpenYear: one logger's year of 5-minute records (105,120) loaded into the results store
//     and the table model from an archive of many loggers' years (aim ≤ 100 ms), with the
//     archive's bytes on disk per record (aim ≤ 32). The archive holds
//     QUORVEX_BENCH_ARCHIVE_RECORDS records (default 2,000,000; 10,000,000 for the full size),
//     generated once per run (a 10 M archive takes minutes to build).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>

#include <sqlite3.h>

#include "LogBenchUtil.h"
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsModel.h"
#include "logs/ResultsReader.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFileRecords = 1'000'000;
constexpr int kYear = 105'120;

void Application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_archive_store";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

const QString& MillionFile() {
    static const QString path = [] {
        const QString p = Folder().filePath(QStringLiteral("million.txt"));
        ResultsStore store;
        bench::FillResults(store, kFileRecords, 300);
        SaveResultsFile(p, store);
        return p;
    }();
    return path;
}

ArchiveLocation SqliteAt(const QString& path) {
    ArchiveLocation l;
    l.kind = ArchiveLocation::Kind::Sqlite;
    l.path = path;
    return l;
}

double readS = 0;

void BM_ReadFile1M(benchmark::State& state) {
    Application();
    const QString file = MillionFile();
    for (auto _ : state) {
        ResultsStore store;
        const auto start = Clock::now();
        if (!ReadResultsFile(file, store).ok) return state.SkipWithError("file not read");
        readS = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(readS);
        state.counters["records_per_s"] = kFileRecords / readS;
    }
}
BENCHMARK(BM_ReadFile1M)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

double floorS = 0;

// The archive's tables made as the archive makes them, so that the floor cannot drift from them.
bool Exec(sqlite3* db, const QString& sql) {
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

void BM_InsertFloor1M(benchmark::State& state) {
    Application();
    ResultsStore store;
    if (!ReadResultsFile(MillionFile(), store).ok) return state.SkipWithError("file not read");
    const bool humidity = store.HasHumidity();
    int run = 0;
    for (auto _ : state) {
        const QByteArray path = Folder().filePath(QStringLiteral("floor%1.sqlite").arg(run++)).toUtf8();
        sqlite3* db = nullptr;
        if (sqlite3_open(path.constData(), &db) != SQLITE_OK) return state.SkipWithError("not opened");
        bool ok = Exec(db, QStringLiteral("PRAGMA journal_mode=WAL")) &&
                  Exec(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
        for (const QString& sql : SchemaStatements(ArchiveDialect::Sqlite, 0)) ok = ok && Exec(db, sql);
        sqlite3_stmt* insert = nullptr;
        const char sql[] =
            "INSERT INTO record (log_id, number, download_id, raw, temperature, humidity, moment_s) "
            "VALUES (1, ?, 1, NULL, ?, ?, ?)";
        ok = ok && sqlite3_prepare_v2(db, sql, -1, &insert, nullptr) == SQLITE_OK;
        const auto start = Clock::now();
        ok = ok && Exec(db, QStringLiteral("BEGIN"));
        int number = 0;
        store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
            if (!ok) return;
            sqlite3_bind_int(insert, 1, ++number);
            sqlite3_bind_int(insert, 2, qRound(r.temperature * 10.0f));
            if (humidity)
                sqlite3_bind_int(insert, 3, qRound(r.humidity * 10.0f));
            else
                sqlite3_bind_null(insert, 3);
            sqlite3_bind_int64(insert, 4, MomentSeconds(r.time));
            ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
        });
        sqlite3_finalize(insert);
        ok = ok && Exec(db, QStringLiteral("COMMIT"));
        floorS = std::chrono::duration<double>(Clock::now() - start).count();
        sqlite3_close(db);
        if (!ok || number != kFileRecords) return state.SkipWithError("not inserted");
        state.SetIterationTime(floorS);
        state.counters["records_per_s"] = kFileRecords / floorS;
    }
}
BENCHMARK(BM_InsertFloor1M)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ImportFile1M(benchmark::State& state) {
    Application();
    const QString file = MillionFile();
    int run = 0;
    for (auto _ : state) {
        ArchiveText error;
        auto archive = Archive::Open(SqliteAt(Folder().filePath(QStringLiteral("import%1.sqlite").arg(run++))), error);
        if (!archive) return state.SkipWithError("archive not opened");
        const auto start = Clock::now();
        if (archive->Import(file, LocalDownloadFacts(QStringLiteral("bench"), file)) != kFileRecords)
            return state.SkipWithError("file not imported");
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(s);
        state.counters["records_per_s"] = kFileRecords / s;
        if (readS > 0) state.counters["ratio_to_reading"] = s / readS;
        if (floorS > 0) state.counters["ratio_to_floor"] = s / floorS;
    }
}
BENCHMARK(BM_ImportFile1M)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Loggers' years of records, one download each, committed in blocks as downloads are.
struct YearArchive {
    std::unique_ptr<Archive> archive;
    std::int64_t log = 0;
    qint64 records = 0;
    double buildS = 0;
    qint64 bytes = 0;
};

YearArchive& Built() {
    static YearArchive built = [] {
        YearArchive y;
        bool ok = false;
        const qint64 wanted = qEnvironmentVariable("QUORVEX_BENCH_ARCHIVE_RECORDS").toLongLong(&ok);
        const qint64 total = ok && wanted >= kYear ? wanted : 2'000'000;
        const QString path = Folder().filePath(QStringLiteral("years.sqlite"));
        ArchiveText error;
        y.archive = Archive::Open(SqliteAt(path), error);
        if (!y.archive) return y;
        std::vector<std::uint32_t> raw(10'000);
        const auto start = Clock::now();
        const int loggers = static_cast<int>((total + kYear - 1) / kYear);
        for (int g = 0; g < loggers; ++g) {
            const ArchiveLogKey key{QStringLiteral("%1").arg(g, 8, 10, QChar(u'0')), 3'600'000'000 + g, 300};
            ArchiveDownloadFacts facts = LocalDownloadFacts(QStringLiteral("bench"), QStringLiteral("/dev/null"));
            facts.loggerType = QStringLiteral("0201");
            const auto id = y.archive->BeginDownload(key, facts);
            if (!id) return y;
            const int count = static_cast<int>(qMin<qint64>(kYear, total - y.records));
            for (int first = 1; first <= count; first += static_cast<int>(raw.size())) {
                const int n = qMin(static_cast<int>(raw.size()), count - first + 1);
                for (int i = 0; i < n; ++i) {
                    const int t = (first + i) % 400, h = (first + i) % 1000;
                    raw[static_cast<std::size_t>(i)] =
                        static_cast<std::uint32_t>((t / 100) << 8 | (t / 10 % 10) << 4 | t % 10) << 17 |
                        static_cast<std::uint32_t>((h / 100) << 8 | (h / 10 % 10) << 4 | h % 10) << 4;
                }
                if (!y.archive->AddRecords(*id, first, std::span(raw).first(static_cast<std::size_t>(n)))) return y;
            }
            y.archive->EndDownload(*id, ArchiveOutcome::Complete);
            y.records += count;
            if (g == loggers / 2) y.log = y.archive->Logs(key.serial)->at(0).id;
        }
        y.buildS = std::chrono::duration<double>(Clock::now() - start).count();
        // Re-opening folds the write-ahead log into the file, which is then all there is.
        y.archive.reset();
        y.archive = Archive::Open(SqliteAt(path), error);
        y.bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
        return y;
    }();
    return built;
}

void BM_OpenYear(benchmark::State& state) {
    Application();
    YearArchive& y = Built();
    if (!y.archive || y.log == 0) return state.SkipWithError("archive not built");
    ResultsStore store;
    ResultsModel model(store);
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!y.archive->LoadRecords(y.log, store) || store.Count() != kYear) return state.SkipWithError("not loaded");
        model.SyncRows();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["archive_records"] = static_cast<double>(y.records);
    state.counters["bytes_per_record"] = static_cast<double>(y.bytes) / static_cast<double>(y.records);
    state.counters["build_records_per_s"] = static_cast<double>(y.records) / y.buildS;
}
BENCHMARK(BM_OpenYear)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
