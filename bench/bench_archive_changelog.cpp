// Checking the change log: BM_VerifyChangeLog1M walks a 1,000,000-entry change log on an SQLite
// file from its first entry (every hash recomputed from the row, the head compared), as
// quorvex-cli audit --verify does; aim under 2 s. The entries are register writes, chained as
// the archive chains them, written once per run in one transaction.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/Archive.h"

namespace quorvex {
namespace {

constexpr int kEntries = 1'000'000;

void Application() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_archive_changelog";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

const QString& MillionLog() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("changes.sqlite"));
        ArchiveLocation l;
        l.kind = ArchiveLocation::Kind::Sqlite;
        l.path = p;
        ArchiveText error;
        Archive::Open(l, error);  // the tables
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
            db.setDatabaseName(p);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("BEGIN"));
            q.prepare(QStringLiteral(
                "INSERT INTO change_log (seq, moment, username, host, program, serial, kind, subject, before_value, "
                "after_value, confirmed, download_id, first_record, last_record, fingerprint, details, hash) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            ChangeEntry e =
                LocalChange(ChangeKind::RegisterWrite, QStringLiteral("quorvex 4.6"), QStringLiteral("00012345"));
            e.subject = QStringLiteral("Temperatura. Górny próg");
            e.details = QStringLiteral("register 20; sent 8,0");
            QString previous;
            for (int n = 1; n <= kEntries; ++n) {
                e.sequence = n;
                e.moment = e.moment.addMSecs(1500);
                e.before = QString::number(n % 40) + QStringLiteral(",0");
                e.after = QString::number(n % 40 + 1) + QStringLiteral(",0");
                e.confirmed = 1;
                e.hash = ChainHash(previous, CanonicalChange(e));
                previous = e.hash;
                for (const QVariant& v :
                     {QVariant(qint64{n}), QVariant(ChangeMomentText(e.moment)), QVariant(e.user), QVariant(e.host),
                      QVariant(e.program), QVariant(e.serial), QVariant(ChangeKindName(e.kind)), QVariant(e.subject),
                      QVariant(e.before), QVariant(e.after), QVariant(e.confirmed), QVariant(qint64{0}), QVariant(0),
                      QVariant(-1), QVariant(QStringLiteral("")), QVariant(e.details), QVariant(e.hash)})
                    q.addBindValue(v);
                q.exec();
            }
            q.prepare(QStringLiteral("UPDATE change_head SET seq = ?, hash = ? WHERE id = 1"));
            q.addBindValue(qint64{kEntries});
            q.addBindValue(previous);
            q.exec();
            q.exec(QStringLiteral("COMMIT"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        return p;
    }();
    return path;
}

void BM_VerifyChangeLog1M(benchmark::State& state) {
    Application();
    ArchiveLocation l;
    l.kind = ArchiveLocation::Kind::Sqlite;
    l.path = MillionLog();
    ArchiveText error;
    auto archive = Archive::Open(l, error);
    for (auto _ : state) {
        const auto check = archive->CheckChanges();
        if (!check || !check->Intact() || check->entries != kEntries) state.SkipWithError("the chain does not hold");
    }
    state.counters["entries_per_s"] = benchmark::Counter(kEntries, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_VerifyChangeLog1M)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
