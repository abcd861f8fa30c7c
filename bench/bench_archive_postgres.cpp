// An import into an archive on PostgreSQL against the server's own floor. The server is named
// by QUORVEX_BENCH_PG ("postgresql://user@/postgres?host=/tmp/…", as the archive tests'
// QUORVEX_TEST_PG); without it both benchmarks skip, saying so. Each run makes a database of its
// own on that server.
//   BM_PgCopyFloor1M: psql's \copy of a saved 1,000,000-record file's records, as COPY text,
//     into the archive's record table made by the archive's own schema statements.
//   BM_PgImportFile1M: the same file imported into a fresh archive (records_per_s;
//     ratio_to_floor = import time / floor time).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <chrono>

#include "ArchiveBenchUtil.h"
#include "LogBenchUtil.h"
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsReader.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

using bench::Application;
using bench::Folder;
using bench::kFileRecords;
using bench::MillionFile;
// The server's URL for a new database of this run's own (empty, with `why` set, when none).
QString FreshDatabase(std::string& why) {
    const QString server = qEnvironmentVariable("QUORVEX_BENCH_PG");
    if (server.isEmpty()) {
        why = "QUORVEX_BENCH_PG is not set: no PostgreSQL server to measure on";
        return {};
    }
    ArchiveText error;
    const auto admin = ParseArchiveLocation(server, error);
    if (!admin) {
        why = "QUORVEX_BENCH_PG is no PostgreSQL URL";
        return {};
    }
    const QString database = QStringLiteral("b_") + QUuid::createUuid().toString(QUuid::Id128).left(20);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-admin"));
        db.setDatabaseName(admin->database);
        db.setUserName(admin->user);
        db.setHostName(admin->host);
        if (admin->port > 0) db.setPort(admin->port);
        ok = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + database);
        if (!ok) why = "database not created: " + db.lastError().text().toStdString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
    if (!ok) return {};
    QString url = server;
    url.replace(QStringLiteral("/") + admin->database, QStringLiteral("/") + database);
    return url;
}

double floorS = 0;

void BM_PgCopyFloor1M(benchmark::State& state) {
    Application();
    ResultsStore store;
    if (!ReadResultsFile(MillionFile(), store).ok) return state.SkipWithError("file not read");
    const bool humidity = store.HasHumidity();
    // The rows as the archive keeps an imported file's: one log, one download, no raw bytes.
    const QString rows = Folder().filePath(QStringLiteral("million.copy"));
    {
        QByteArray text;
        int number = 0;
        store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
            text += "1\t" + QByteArray::number(++number) + "\t1\t\\N\t" +
                    QByteArray::number(qRound(r.temperature * 10.0f)) + '\t' +
                    (humidity ? QByteArray::number(qRound(r.humidity * 10.0f)) : QByteArray("\\N")) + '\t' +
                    QByteArray::number(static_cast<qint64>(MomentSeconds(r.time))) + '\n';
        });
        QFile f(rows);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return state.SkipWithError("rows not saved");
    }
    for (auto _ : state) {
        std::string why;
        const QString url = FreshDatabase(why);
        if (url.isEmpty()) return state.SkipWithError(why.c_str());
        // The archive's tables made as the archive makes them, so that the floor cannot drift from them.
        QProcess psql;
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                    QStringLiteral("-d"), url, QStringLiteral("-c"),
                    SchemaStatements(ArchiveDialect::Postgres, 0).join(QStringLiteral(";\n"))});
        if (!psql.waitForFinished(-1) || psql.exitCode() != 0) return state.SkipWithError("schema not made");
        const auto start = Clock::now();
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                    QStringLiteral("-d"), url, QStringLiteral("-c"),
                    QStringLiteral("\\copy record (log_id, number, download_id, raw, temperature, humidity, moment_s) "
                                   "FROM '%1'")
                        .arg(rows)});
        if (!psql.waitForFinished(-1) || psql.exitCode() != 0)
            return state.SkipWithError(("\\copy failed: " + psql.readAllStandardError().toStdString()).c_str());
        floorS = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(floorS);
        state.counters["records_per_s"] = kFileRecords / floorS;
    }
}
BENCHMARK(BM_PgCopyFloor1M)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PgImportFile1M(benchmark::State& state) {
    Application();
    const QString file = MillionFile();
    for (auto _ : state) {
        std::string why;
        const QString url = FreshDatabase(why);
        if (url.isEmpty()) return state.SkipWithError(why.c_str());
        ArchiveText error;
        const auto location = ParseArchiveLocation(url, error);
        if (!location) return state.SkipWithError("no location");
        auto archive = Archive::Open(*location, error);
        if (!archive) return state.SkipWithError("archive not opened");
        const auto start = Clock::now();
        if (archive->Import(file, LocalDownloadFacts(QStringLiteral("bench"), file)) != kFileRecords)
            return state.SkipWithError("file not imported");
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(s);
        state.counters["records_per_s"] = kFileRecords / s;
        if (floorS > 0) state.counters["ratio_to_floor"] = s / floorS;
    }
}
BENCHMARK(BM_PgImportFile1M)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
