// The archive on both backends: downloads merged without duplicates, a record that comes again
// with other bytes kept apart and counted, two writers at once, the faults, and quorvex-cli
// keeping every block of a download it is killed in the middle of.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <csignal>
#include <thread>

#include "ArchiveBackend.h"
#include "SimProcess.h"
#include "archive/ArchiveRegisters.h"
#include "logs/LogRecord.h"
#include "logs/ResultsFile.h"

namespace quorvex::test {
namespace {

const QString kEnglish = QStringLiteral("Angielski");
const std::string kScenarios = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/";

// Record n's bytes: a temperature of n tenths and a humidity of 40 % (packed decimal), as a
// logger sends them; `other` changes the humidity's last digit.
std::uint32_t RawRecord(int n, bool other = false) {
    const int t = n % 1000, h = other ? 401 : 400;
    const std::uint32_t tBcd = static_cast<std::uint32_t>((t / 100) << 8 | (t / 10 % 10) << 4 | t % 10);
    const std::uint32_t hBcd = static_cast<std::uint32_t>((h / 100) << 8 | (h / 10 % 10) << 4 | h % 10);
    return tBcd << 17 | hBcd << 4;
}

std::vector<std::uint32_t> Records(int first, int last, const std::vector<int>& changed = {}) {
    std::vector<std::uint32_t> out;
    for (int n = first; n <= last; ++n)
        out.push_back(RawRecord(n, std::find(changed.begin(), changed.end(), n) != changed.end()));
    return out;
}

const ArchiveLogKey kKey{QStringLiteral("00A1B2C3"), 3'636'000'000, 300};

ArchiveDownloadFacts Facts(const QDateTime& moment) {
    ArchiveDownloadFacts f = LocalDownloadFacts(QStringLiteral("test"), QStringLiteral("/dev/null"));
    f.moment = moment;
    f.loggerName = QStringLiteral("Chłodnia");
    f.loggerType = QStringLiteral("0201");
    f.announced = 150;
    return f;
}

TEST_P(ArchiveBackend, RepeatedDownloadsMergeAndOtherBytesAreKeptApart) {
    auto archive = Open();
    ASSERT_TRUE(archive);
    const QDateTime first = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    const auto a = archive->BeginDownload(kKey, Facts(first));
    ASSERT_TRUE(a);
    const auto recordsA = Records(1, 100);
    ASSERT_TRUE(archive->AddRecords(*a, 1, std::span(recordsA).first(60)));
    ASSERT_TRUE(archive->AddRecords(*a, 61, std::span(recordsA).subspan(60)));
    ASSERT_TRUE(archive->EndDownload(*a, ArchiveOutcome::Short));

    // The next download overlaps 51…100, three of them with other bytes, and brings 101…150.
    const auto b = archive->BeginDownload(kKey, Facts(first.addDays(1)));
    ASSERT_TRUE(b);
    const auto recordsB = Records(51, 150, {60, 70, 80});
    for (std::size_t at = 0; at < recordsB.size(); at += 25)
        ASSERT_TRUE(archive->AddRecords(*b, 51 + static_cast<int>(at), std::span(recordsB).subspan(at, 25)));
    ASSERT_TRUE(archive->EndDownload(*b, ArchiveOutcome::Complete));
    const auto differences = archive->Differences(*b);
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0].count, 3);
    EXPECT_EQ(differences[0].archivedDownload, first);
    EXPECT_TRUE(DifferenceTexts(differences)[0].In(kEnglish).startsWith(
        QStringLiteral("3 records differ from the archived download of 20")));
    EXPECT_TRUE(archive->Differences(*a).isEmpty());

    EXPECT_EQ(archive->ArchivedThrough(kKey), 150);
    const auto logs = archive->Logs(kKey.serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    EXPECT_EQ(logs->at(0).archived, 150);
    ASSERT_EQ(logs->at(0).downloads.size(), 2);
    EXPECT_EQ(logs->at(0).downloads[0].outcome, ArchiveOutcome::Short);
    EXPECT_EQ(logs->at(0).downloads[1].first, 51);
    EXPECT_EQ(logs->at(0).downloads[1].last, 150);

    // The first bytes stay: record 60 reads as the first download brought it.
    ResultsStore store;
    ASSERT_TRUE(archive->LoadRecords(logs->at(0).id, store));
    ASSERT_EQ(store.Count(), 150);
    EXPECT_FLOAT_EQ(store[59].humidity, 40.0f);
    EXPECT_FLOAT_EQ(store[149].temperature, 15.0f);
    EXPECT_NEAR(store[1].time - store[0].time, 300.0 / 86400.0, 1e-9);
    // A time range is a range of records.
    ASSERT_TRUE(archive->LoadRecords(logs->at(0).id, store, store[9].time, store[19].time));
    EXPECT_EQ(store.Count(), 11);

    // A saved file goes in as a log of its own, once however often it is imported; a file
    // that is not a results file is refused with its line.
    ASSERT_TRUE(archive->LoadRecords(logs->at(0).id, store));
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    ASSERT_TRUE(SaveResultsFile(saved, store).ok);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(archive->Import(saved, LocalDownloadFacts(QStringLiteral("test"), saved)), 150);
    const auto both = archive->Logs(kKey.serial);
    ASSERT_TRUE(both && both->size() == 2);
    const ArchiveLogRow& imported = both->at(0).sourceFile.isEmpty() ? both->at(1) : both->at(0);
    EXPECT_EQ(imported.sourceFile, QStringLiteral("saved.txt"));
    EXPECT_EQ(imported.archived, 150);
    EXPECT_EQ(archive->ArchivedThrough(kKey), 150);
    ResultsStore back;
    ASSERT_TRUE(archive->LoadRecords(imported.id, back));
    ASSERT_EQ(back.Count(), 150);
    EXPECT_FLOAT_EQ(back[149].temperature, 15.0f);
    EXPECT_DOUBLE_EQ(back[149].time, store[149].time);
    // The list spans each log from its first record to its last, by number or by moment.
    for (const ArchiveLogRow& row : *both) {
        EXPECT_NEAR(row.firstRecord, store[0].time, 1e-6) << row.sourceFile.toStdString();
        EXPECT_NEAR(row.lastRecord, store[149].time, 1e-6) << row.sourceFile.toStdString();
    }
    // Each import's change-log fingerprint is that of the records it reads back as.
    EXPECT_EQ(archive->ChangedRecord(imported.id), 0);
    QFile bad(dir.filePath(QStringLiteral("bad.txt")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a results file\r\n");
    bad.close();
    EXPECT_FALSE(archive->Import(bad.fileName(), LocalDownloadFacts(QStringLiteral("test"), bad.fileName())));
    EXPECT_TRUE(archive->LastError().numbered.contains(QStringLiteral("bad.txt")));
}

TEST_P(ArchiveBackend, TwoWritersAtOnceKeepEveryRecordOnce) {
    ASSERT_TRUE(Open());
    constexpr int kCount = 2000, kBlock = 40;
    std::atomic<int> failures{0};
    const auto writer = [&](bool backwards) {
        ArchiveText error;
        auto archive = Archive::Open(Location(), error);
        if (!archive) return void(++failures);
        const auto id = archive->BeginDownload(kKey, Facts(QDateTime::currentDateTimeUtc()));
        if (!id) return void(++failures);
        const auto all = Records(1, kCount);
        for (int b = 0; b < kCount / kBlock; ++b) {
            const int block = backwards ? kCount / kBlock - 1 - b : b;
            if (!archive->AddRecords(*id, block * kBlock + 1, std::span(all).subspan(block * kBlock, kBlock)))
                ++failures;
        }
        if (!archive->EndDownload(*id, ArchiveOutcome::Complete) || !archive->Differences(*id).isEmpty()) ++failures;
    };
    std::thread one(writer, false), two(writer, true);
    one.join();
    two.join();
    EXPECT_EQ(failures, 0);
    auto archive = Open();
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->ArchivedThrough(kKey), kCount);
    const auto logs = archive->Logs(kKey.serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    EXPECT_EQ(logs->at(0).archived, kCount);
    EXPECT_EQ(logs->at(0).downloads.size(), 2);
}

// The list counts a log's records however they came in: closed downloads, one still open in
// another program, one closed by a program that keeps no count (as an older version does), and
// an archive made before the counts were kept.
TEST_P(ArchiveBackend, TheListCountsEveryRecordHoweverItCameIn) {
    auto archive = Open();
    ASSERT_TRUE(archive);
    const auto archived = [&] {
        const auto logs = archive->Logs(kKey.serial);
        return logs && logs->size() == 1 ? logs->at(0).archived : -1;
    };
    const QDateTime first = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    const auto a = archive->BeginDownload(kKey, Facts(first));
    ASSERT_TRUE(a && archive->AddRecords(*a, 1, Records(1, 100)));
    ASSERT_TRUE(archive->EndDownload(*a, ArchiveOutcome::Complete));
    EXPECT_EQ(archived(), 100);

    auto other = Open();
    ASSERT_TRUE(other);
    const auto b = other->BeginDownload(kKey, Facts(first.addDays(1)));
    ASSERT_TRUE(b && other->AddRecords(*b, 91, Records(91, 150)));
    EXPECT_EQ(archived(), 150);
    // Closed by its change-log entry alone.
    ChangeEntry closed = LocalChange(ChangeKind::Download, QStringLiteral("older"), kKey.serial);
    closed.download = *b;
    closed.firstRecord = 91;
    closed.lastRecord = 150;
    ASSERT_TRUE(other->AppendChange(closed));
    EXPECT_EQ(archived(), 150);
    ASSERT_TRUE(other->AddRecords(*b, 151, Records(151, 160)));
    EXPECT_EQ(archived(), 160);
    other.reset();

    archive.reset();
    {
        QSqlDatabase raw = Raw(QStringLiteral("older"));
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE log_tally")));
        ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM schema_version WHERE version >= 4")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
    archive = Open();
    ASSERT_TRUE(archive);
    EXPECT_EQ(archived(), 160);
    const auto c = archive->BeginDownload(kKey, Facts(first.addDays(2)));
    ASSERT_TRUE(c && archive->AddRecords(*c, 1, Records(1, 170)));
    ASSERT_TRUE(archive->EndDownload(*c, ArchiveOutcome::Complete));
    EXPECT_EQ(archived(), 170);
    EXPECT_EQ(archive->ArchivedThrough(kKey), 170);
}

// A record another writer archives while a block of them is on its way in (PostgreSQL: after
// they were looked up, so that the server's bulk path refuses the block) is kept as that writer
// brought it, the block's own goes beside it, and every other record of the block goes in.
TEST_P(ArchiveBackend, ARecordArchivedMeanwhileLeavesTheRestOfABlockIn) {
    auto other = Open();
    ASSERT_TRUE(other);
    const QDateTime first = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    const auto before = other->BeginDownload(kKey, Facts(first));
    ASSERT_TRUE(before);
    const auto logs = other->Logs(kKey.serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    constexpr int kCount = 1000, kMeanwhile = 300;
    const std::uint32_t value = RawRecord(kMeanwhile, true);
    const DecodedRecord decoded = DecodeLogRecord(value);
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    {
        QSqlDatabase raw = Raw(QStringLiteral("meanwhile"));
        QSqlQuery q(raw);
        ASSERT_TRUE(
            q.exec(GetParam() == Backend::Sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")));
        ASSERT_TRUE(
            q.prepare(QStringLiteral("INSERT INTO record (log_id, number, download_id, raw, temperature, "
                                     "humidity, moment_s) VALUES (?, ?, ?, ?, ?, ?, NULL)")));
        for (const QVariant& v :
             {QVariant(static_cast<qint64>(logs->at(0).id)), QVariant(kMeanwhile),
              QVariant(static_cast<qint64>(*before)), QVariant(QByteArray(bytes, 4)),
              QVariant(qRound(decoded.temperature * 10.0f)), QVariant(qRound(decoded.humidity * 10.0f))})
            q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
        // The block goes in meanwhile, from a writer of its own; it waits for this one's commit.
        std::atomic<bool> added{false};
        std::optional<std::int64_t> download;
        QList<ArchiveDifference> differences;
        std::thread writer([&] {
            ArchiveText error;
            auto archive = Archive::Open(Location(), error);
            if (!archive) return;
            download = archive->BeginDownload(kKey, Facts(first.addDays(1)));
            const auto all = Records(1, kCount);
            added = download && archive->AddRecords(*download, 1, all) &&
                    archive->EndDownload(*download, ArchiveOutcome::Complete);
            if (added) differences = archive->Differences(*download);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_TRUE(QSqlQuery(raw).exec(QStringLiteral("COMMIT")));
        writer.join();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("meanwhile"));
        ASSERT_TRUE(added);
        ASSERT_EQ(differences.size(), 1);
        EXPECT_EQ(differences[0].count, 1);
        EXPECT_EQ(differences[0].archivedDownload, first);
    }
    auto archive = Open();
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->ArchivedThrough(kKey), kCount);
    EXPECT_EQ(archive->Logs(kKey.serial)->at(0).archived, kCount);
    EXPECT_EQ(archive->RecordBytes(logs->at(0).id, kMeanwhile), QByteArray(bytes, 4));
}

TEST_P(ArchiveBackend, FaultsNameTheArchiveAndChangeNothing) {
    const bool lite = GetParam() == Backend::Sqlite;
    // Locked past the time-out: refused with the time-out named, accepted once free again.
    {
        auto archive = Open(300);
        ASSERT_TRUE(archive);
        const auto id = archive->BeginDownload(kKey, Facts(QDateTime::currentDateTimeUtc()));
        ASSERT_TRUE(id);
        {
            QSqlDatabase locker = Raw(QStringLiteral("locker"));
            QSqlQuery q(locker);
            ASSERT_TRUE(q.exec(lite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN")));
            if (!lite) {
                ASSERT_TRUE(q.exec(QStringLiteral("LOCK TABLE record IN ACCESS EXCLUSIVE MODE")));
            }
            EXPECT_FALSE(archive->AddRecords(*id, 1, Records(1, 10)));
            EXPECT_TRUE(archive->LastError().numbered.startsWith(QStringLiteral("[2303]")));
            EXPECT_EQ(archive->LastError().args.value(0), archive->Location().Display());
            q.exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        EXPECT_TRUE(archive->AddRecords(*id, 1, Records(1, 10)));
        EXPECT_EQ(archive->ArchivedThrough(kKey), 10);
    }

    QFile corrupt(dir.filePath(QStringLiteral("corrupt.sqlite")));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    const QByteArray garbage(8192, 'x');
    corrupt.write(garbage);
    corrupt.close();
    QFile plainFile(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    const QString server = qEnvironmentVariable("QUORVEX_TEST_PG");
    const QString socket = Location().host;
    const struct {
        Backend backend;
        QString where;
        const char* id;
        QString named;
    } cases[] = {
        {Backend::Sqlite, corrupt.fileName(), "[2302]", corrupt.fileName()},
        {Backend::Sqlite, dir.filePath(QStringLiteral("file/archive.sqlite")), "[2300]",
         dir.filePath(QStringLiteral("file/archive.sqlite"))},
        {Backend::Postgres, QStringLiteral("postgresql://nobody@127.0.0.1:1/none"), "[2300]",
         QStringLiteral("nobody@127.0.0.1:1/none")},
        {Backend::Postgres, QStringLiteral("postgresql://me:secret@db/quorvex"), "[2301]",
         QStringLiteral("postgresql://me@db/quorvex")},
        {Backend::Postgres, QStringLiteral("postgresql://no_such_role@/%1?host=%2").arg(database, socket), "[2300]",
         QStringLiteral("no_such_role@%1").arg(socket)},
    };
    for (const auto& c : cases) {
        if (c.backend != GetParam()) continue;
        SCOPED_TRACE(c.where.toStdString());
        ArchiveText error;
        const auto location = ParseArchiveLocation(c.where, error);
        if (location) {
            EXPECT_FALSE(Archive::Open(*location, error, 2000));
        }
        EXPECT_TRUE(error.numbered.startsWith(QLatin1String(c.id))) << error.numbered.toStdString();
        EXPECT_TRUE(error.In(kEnglish).contains(c.named)) << error.In(kEnglish).toStdString();
    }
    // The damaged file is left as it was.
    ASSERT_TRUE(corrupt.open(QIODevice::ReadOnly));
    EXPECT_EQ(corrupt.readAll(), garbage);
}

// quorvex-cli against the simulator, with the archive named on its command line.
class CliArchive : public ArchiveBackend {
protected:
    CliRun Run(const SimProcess* sim, QStringList args, const QString& archive = {}) {
        Begin(sim, std::move(args), archive);
        return End();
    }
    void Begin(const SimProcess* sim, QStringList args, const QString& archive = {}) {
        if (sim) args << QStringLiteral("--port") << QString::fromStdString(sim->LinkPath());
        args << QStringLiteral("--settings") << dir.filePath(QStringLiteral("quorvex.INI"))
             << QStringLiteral("--archive") << (archive.isEmpty() ? where : archive);
        cli.setReadChannel(QProcess::StandardError);
        cli.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"), args);
        ASSERT_TRUE(cli.waitForStarted());
    }
    CliRun End() {
        EXPECT_TRUE(cli.waitForFinished(120000));  // only catches a hang
        CliRun run{cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                   QString::fromUtf8(cli.readAllStandardOutput()),
                   err + QString::fromUtf8(cli.readAllStandardError()),
                   {}};
        run.said = run.out + run.err;
        return run;
    }
    QProcess cli;
    QString err;
};

TEST_P(CliArchive, DownloadKeepsEveryBlockThroughAKillAndStartAsksFirst) {
    // A paced line: time enough to kill the program in the middle of the download.
    SimProcess sim(
        {"--scenario", kScenarios + "temperature.ini", "--clock", "2015-03-30 12:00:00", "--records", "1500"});
    ASSERT_TRUE(sim.Running());
    const QStringList fast{QStringLiteral("download"), QStringLiteral("--fast")};
    Begin(&sim, fast + QStringList{QStringLiteral("-o"), dir.filePath(QStringLiteral("cut.txt"))});
    while (!err.contains(QStringLiteral("records (10%)")) && cli.waitForReadyRead(60000))
        err += QString::fromUtf8(cli.readAllStandardError());
    ::kill(static_cast<pid_t>(cli.processId()), SIGKILL);
    End();
    auto archive = Open();
    ASSERT_TRUE(archive);
    auto loggers = archive->Loggers();
    ASSERT_TRUE(loggers && loggers->size() == 1) << err.toStdString();
    const QString serial = loggers->at(0).serial;
    auto logs = archive->Logs(serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    const int kept = logs->at(0).archived;
    EXPECT_GE(kept, 150);
    EXPECT_LT(kept, 1500);
    EXPECT_EQ(archive->ArchivedThrough(logs->at(0).key), kept);
    EXPECT_EQ(logs->at(0).downloads.at(0).outcome, ArchiveOutcome::Stopped);

    // Downloading again adds the rest, once; the archive gives back the very file.
    err.clear();
    const QString whole = dir.filePath(QStringLiteral("whole.txt")), back = dir.filePath(QStringLiteral("back.txt"));
    const CliRun again = Run(&sim, fast + QStringList{QStringLiteral("-o"), whole});
    ASSERT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_FALSE(again.err.contains(QStringLiteral("differ"))) << again.err.toStdString();
    logs = archive->Logs(serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    EXPECT_EQ(logs->at(0).archived, 1500);
    EXPECT_EQ(logs->at(0).downloads.at(1).outcome, ArchiveOutcome::Complete);
    const CliRun exported = Run(nullptr, {QStringLiteral("archive"), QStringLiteral("export"),
                                          QStringLiteral("--serial"), serial, QStringLiteral("-o"), back});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    QFile a(whole), b(back);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    const CliRun list = Run(nullptr, {QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("--json")});
    const QJsonArray listed = QJsonDocument::fromJson(list.out.toUtf8())[QStringLiteral("loggers")].toArray();
    ASSERT_EQ(listed.size(), 1) << list.out.toStdString();
    EXPECT_EQ(listed[0][QStringLiteral("logs")][0][QStringLiteral("archived")].toInt(), 1500);

    // Start erases the logger's log: refused while the archive lacks records of it.
    SimProcess waiting({"--no-pacing"});  // 250 records, started from the computer
    ASSERT_TRUE(waiting.Running());
    const QStringList start{QStringLiteral("start")};
    const struct {
        QStringList args;
        QString archive;
        int code;
        const char* said;
    } steps[] = {
        {start, {}, 1, "The logger holds 250 records not in the archive"},
        {start, QStringLiteral("none"), 1, "The logger holds 250 records not in the archive"},
        {fast, {}, 0, "250 records written"},
        {start, {}, 0, "Recording started"},
    };
    for (const auto& s : steps) {
        err.clear();
        const CliRun r = Run(&waiting, s.args, s.archive);
        EXPECT_EQ(r.code, s.code) << r.err.toStdString();
        EXPECT_TRUE(r.said.contains(QLatin1String(s.said))) << r.said.toStdString();
    }
    SimProcess discarding({"--no-pacing"});
    ASSERT_TRUE(discarding.Running());
    EXPECT_EQ(Run(&discarding, {QStringLiteral("start"), QStringLiteral("--discard")}).code, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, ArchiveBackend, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, CliArchive, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
}  // namespace quorvex::test
