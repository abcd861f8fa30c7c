// The archive's own costs, on an SQLite file in a temporary folder:
//   BM_ReadFile1M / BM_ImportFile1M: a saved 1,000,000-record text file read alone, and
//     imported into a fresh archive (records_per_s; ratio_to_reading = import time / read time).
//   BM_InsertFloor1M: the floor an import can reach: the same file's records inserted into the
//     archive's own record table (its schema, its journal settings) by the shortest loop over
//     SQLite's C interface: one prepared statement, one transaction. BM_ImportFile1M reports
//     ratio_to_floor = import time / floor time.
//   BM_OpenYear: one logger's year of 5-minute records (105,120) loaded into the results store
//     and the table model from a site's archive (aim ≤ 100 ms), with the archive's bytes on disk
//     per record (aim ≤ 32). BM_ArchiveList: the archive's list of loggers, logs and downloads
//     (aim ≤ 300 ms). BM_StudyRead: 50 loggers' 30 days at one minute (aim ≤ 1.5 s). The archive
//     holds QUORVEX_BENCH_ARCHIVE_RECORDS records (default 2,000,000; 10,000,000 for the full
//     size), generated once per run (SiteArchive) or kept in QUORVEX_BENCH_ARCHIVE_FILE.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>

#include <sqlite3.h>

#include "ArchiveBenchUtil.h"
#include "LogBenchUtil.h"
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsModel.h"
#include "logs/ResultsReader.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kYear = 105'120;

using bench::Application;
using bench::Folder;
using bench::kFileRecords;
using bench::MillionFile;
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

// An archive as a site's years fill it: loggers at one-minute saves whose 30-day logs each came in
// three downloads (each closed with its change-log entry and fingerprint), three logs a logger,
// beside a tenth of loggers at five minutes holding a year each. Built through the archive's own
// download path (BeginDownload, AddRecords in 10,000-record blocks, EndDownload), as a download
// fills it. QUORVEX_BENCH_ARCHIVE_FILE keeps it at that path and reuses it on the next run.
constexpr int kMonth = 43'200;  // 30 days at one minute
constexpr int kStudyLoggers = 50;

struct SiteArchive {
    std::unique_ptr<Archive> archive;
    std::int64_t year = 0;            // one logger's year
    std::vector<std::int64_t> study;  // one month of each of up to 50 one-minute loggers
    qint64 records = 0;
    double buildS = 0;
    qint64 bytes = 0;
};

std::uint32_t RawRecord(int i) {
    const int t = i % 400, h = i % 1000;
    return static_cast<std::uint32_t>((t / 100) << 8 | (t / 10 % 10) << 4 | t % 10) << 17 |
           static_cast<std::uint32_t>((h / 100) << 8 | (h / 10 % 10) << 4 | h % 10) << 4;
}

bool AddLog(Archive& archive, const ArchiveLogKey& key, int count, int downloads, int day) {
    std::vector<std::uint32_t> raw(10'000);
    const int per = (count + downloads - 1) / downloads;
    for (int k = 0, first = 1; first <= count; ++k) {
        ArchiveDownloadFacts facts = LocalDownloadFacts(QStringLiteral("bench"), QStringLiteral("/dev/ttyUSB0"));
        facts.moment = QDateTime(QDate(2024, 1, 1).addDays(day + k * 10), QTime(8, 0), Qt::UTC);
        facts.loggerType = QStringLiteral("0201");
        facts.loggerName = QStringLiteral("Room %1").arg(key.serial.right(3));
        const int last = qMin(count, first + per - 1);
        facts.announced = last;
        const auto id = archive.BeginDownload(key, facts);
        if (!id) return false;
        for (int block = first; block <= last; block += static_cast<int>(raw.size())) {
            const int n = qMin(static_cast<int>(raw.size()), last - block + 1);
            for (int i = 0; i < n; ++i) raw[static_cast<std::size_t>(i)] = RawRecord(block + i);
            if (!archive.AddRecords(*id, block, std::span(raw).first(static_cast<std::size_t>(n)))) return false;
        }
        if (!archive.EndDownload(*id, ArchiveOutcome::Complete)) return false;
        first = last + 1;
    }
    return true;
}

SiteArchive& Built() {
    static SiteArchive built = [] {
        SiteArchive y;
        bool ok = false;
        const qint64 wanted = qEnvironmentVariable("QUORVEX_BENCH_ARCHIVE_RECORDS").toLongLong(&ok);
        const qint64 total = ok && wanted >= 2 * kYear ? wanted : 2'000'000;
        const QString kept = qEnvironmentVariable("QUORVEX_BENCH_ARCHIVE_FILE");
        const QString path = kept.isEmpty() ? Folder().filePath(QStringLiteral("site.sqlite")) : kept;
        const bool reuse = !kept.isEmpty() && QFileInfo::exists(kept);
        ArchiveText error;
        y.archive = Archive::Open(SqliteAt(path), error);
        if (!y.archive) return y;
        const int years = static_cast<int>(qMax<qint64>(1, total / 10 / kYear));
        const int months = static_cast<int>((total - qint64{years} * kYear + kMonth - 1) / kMonth);
        const int loggers = (months + 2) / 3;
        const std::int64_t start = 3'900'000'000;
        const auto serial = [](int g) { return QStringLiteral("%1").arg(20'000'000 + g); };
        const auto start_ = Clock::now();
        for (int g = 0; g < years && !reuse; ++g)
            if (!AddLog(*y.archive, {serial(g), start + g, 300}, kYear, 4, g % 30)) return y;
        for (int m = 0; m < months && !reuse; ++m)
            if (!AddLog(*y.archive, {serial(years + m / 3), start + std::int64_t{m % 3} * kMonth * 60, 60}, kMonth, 3,
                        (m % 3) * 30))
                return y;
        if (!reuse) y.buildS = std::chrono::duration<double>(Clock::now() - start_).count();
        y.records = qint64{years} * kYear + qint64{months} * kMonth;
        // Re-opening folds the write-ahead log into the file, which is then all there is.
        y.archive.reset();
        y.archive = Archive::Open(SqliteAt(path), error);
        if (!y.archive) return y;
        y.bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
        y.year = y.archive->FindLog({serial(years / 2), start + years / 2, 300}).value_or(0);
        for (int g = 0; g < qMin(kStudyLoggers, loggers); ++g)
            y.study.push_back(y.archive->FindLog({serial(years + g), start + kMonth * 60, 60}).value_or(0));
        return y;
    }();
    return built;
}

void BM_OpenYear(benchmark::State& state) {
    Application();
    SiteArchive& y = Built();
    if (!y.archive || y.year == 0) return state.SkipWithError("archive not built");
    ResultsStore store;
    ResultsModel model(store);
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!y.archive->LoadRecords(y.year, store) || store.Count() != kYear)
            return state.SkipWithError(y.archive->LastError().numbered.toUtf8().constData());
        model.SyncRows();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["archive_records"] = static_cast<double>(y.records);
    state.counters["bytes_per_record"] = static_cast<double>(y.bytes) / static_cast<double>(y.records);
    if (y.buildS > 0) state.counters["build_records_per_s"] = static_cast<double>(y.records) / y.buildS;
}
BENCHMARK(BM_OpenYear)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// What `quorvex-cli archive list` reads: every logger, and every log of each with its downloads
// (aim ≤ 300 ms).
void BM_ArchiveList(benchmark::State& state) {
    Application();
    SiteArchive& y = Built();
    if (!y.archive) return state.SkipWithError("archive not built");
    qint64 logs = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto loggers = y.archive->Loggers();
        if (!loggers) return state.SkipWithError("loggers not listed");
        logs = 0;
        for (const ArchiveLoggerRow& g : *loggers) {
            const auto rows = y.archive->Logs(g.serial);
            if (!rows) return state.SkipWithError("logs not listed");
            logs += rows->size();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["loggers"] = static_cast<double>(loggers->size());
    }
    state.counters["logs"] = static_cast<double>(logs);
}
BENCHMARK(BM_ArchiveList)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// A study: 30 days at one minute of 50 loggers (2,160,000 records) read as the program reads
// archived records, into a results store each (aim ≤ 1.5 s).
void BM_StudyRead(benchmark::State& state) {
    Application();
    SiteArchive& y = Built();
    if (!y.archive || y.study.empty()) return state.SkipWithError("archive not built");
    qint64 records = 0;
    for (auto _ : state) {
        std::vector<ResultsStore> stores(y.study.size());
        const auto start = Clock::now();
        records = 0;
        for (std::size_t i = 0; i < y.study.size(); ++i) {
            if (!y.archive->LoadRecords(y.study[i], stores[i]) || stores[i].Count() != kMonth)
                return state.SkipWithError("not loaded");
            records += stores[i].Count();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_StudyRead)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
