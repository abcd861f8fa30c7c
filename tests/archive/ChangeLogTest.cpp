// The change log on both backends: each way of tampering with it (or with the records a
// download brought) outside the program is caught at the first entry that no longer holds, by
// the archive and by quorvex-cli audit --verify; two appenders at once make one chain.
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <thread>

#include "ArchiveBackend.h"
#include "logs/ResultsFile.h"
#include "sign/FileSigner.h"

namespace quorvex::test {
namespace {

// Record n as a logger sends it: n tenths of a degree and 40 % (packed decimal).
std::vector<std::uint32_t> Records(int count) {
    std::vector<std::uint32_t> out;
    for (int n = 1; n <= count; ++n) {
        const std::uint32_t t = static_cast<std::uint32_t>((n / 100 % 10) << 8 | (n / 10 % 10) << 4 | n % 10);
        out.push_back(t << 17 | 0x400u << 4);
    }
    return out;
}

ChangeEntry Write(int n) {
    ChangeEntry e = LocalChange(ChangeKind::RegisterWrite, QStringLiteral("test"), QStringLiteral("00A1B2C3"));
    e.subject = QStringLiteral("Temperatura. Górny próg");
    e.before = QString::number(n) + QStringLiteral(",0");
    e.after = QString::number(n + 1) + QStringLiteral(",0");
    e.confirmed = n % 2;
    e.details = QStringLiteral("register 20\n: ünïcode");
    return e;
}

class ChangeLog : public ArchiveBackend {
protected:
    // A fresh archive of its own (file or database) for case `name`: entry 1 a download of 40
    // records, entries 2…5 register writes.
    QString Fill(const QString& name) {
        QString at = dir.filePath(name + QStringLiteral(".sqlite"));
        if (GetParam() == Backend::Postgres) {
            ArchiveText error;
            const auto admin = ParseArchiveLocation(qEnvironmentVariable("QUORVEX_TEST_PG"), error);
            const QString db = database + u'_' + name;
            EXPECT_TRUE(Admin(*admin, QStringLiteral("CREATE DATABASE ") + db));
            at = QString(where).replace(QStringLiteral("/") + database, QStringLiteral("/") + db);
        }
        ArchiveText error;
        auto archive = Archive::Open(*ParseArchiveLocation(at, error), error);
        EXPECT_TRUE(archive) << error.In(QStringLiteral("Angielski")).toStdString();
        if (!archive) return at;
        ArchiveDownloadFacts facts = LocalDownloadFacts(QStringLiteral("test"), QStringLiteral("/dev/null"));
        facts.loggerType = QStringLiteral("0201");
        const auto id = archive->BeginDownload({QStringLiteral("00A1B2C3"), 3'636'000'000, 300}, facts);
        EXPECT_TRUE(id && archive->AddRecords(*id, 1, Records(40)) &&
                    archive->EndDownload(*id, ArchiveOutcome::Complete));
        for (int n = 2; n <= 5; ++n) {
            ChangeEntry e = Write(n);
            EXPECT_TRUE(archive->AppendChange(e));
            EXPECT_EQ(e.sequence, n);
        }
        return at;
    }
    bool Tamper(const QString& at, const QStringList& statements) {
        ArchiveText error;
        const ArchiveLocation l = *ParseArchiveLocation(at, error);
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(
                GetParam() == Backend::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), "tamper");
            db.setDatabaseName(GetParam() == Backend::Sqlite ? l.path : l.database);
            db.setUserName(l.user);
            db.setHostName(l.host);
            if (l.port > 0) db.setPort(l.port);
            ok = db.open();
            for (const QString& sql : statements) {
                QSqlQuery q(db);
                if (!q.exec(sql)) {
                    ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
                    ok = false;
                }
            }
        }
        QSqlDatabase::removeDatabase("tamper");
        return ok;
    }
    static QProcess::ExitStatus Audit(const QString& at, QStringList args, int& code, QString& said) {
        QProcess cli;
        cli.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"),
                  QStringList{QStringLiteral("audit")} + args +
                      QStringList{QStringLiteral("--archive"), at, QStringLiteral("--language"), QStringLiteral("en")});
        cli.waitForFinished(60000);  // only catches a hang
        code = cli.exitCode();
        said = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
        return cli.exitStatus();
    }
};

TEST_P(ChangeLog, EachTamperingIsCaughtAtTheFirstEntryThatNoLongerHolds) {
    const struct {
        const char* name;
        QStringList sql;
        ChangeLogCheck::Fault fault;
        int at;
    } cases[] = {
        {"intact", {}, ChangeLogCheck::Fault::None, 0},
        {"changed",
         {QStringLiteral("UPDATE change_log SET after_value = '99,0' WHERE seq = 3")},
         ChangeLogCheck::Fault::Changed,
         3},
        {"removed", {QStringLiteral("DELETE FROM change_log WHERE seq = 2")}, ChangeLogCheck::Fault::Changed, 2},
        {"removed_last", {QStringLiteral("DELETE FROM change_log WHERE seq = 5")}, ChangeLogCheck::Fault::Changed, 5},
        {"reordered",
         {QStringLiteral("UPDATE change_log SET seq = 0 WHERE seq = 3"),
          QStringLiteral("UPDATE change_log SET seq = 3 WHERE seq = 4"),
          QStringLiteral("UPDATE change_log SET seq = 4 WHERE seq = 0")},
         ChangeLogCheck::Fault::Changed,
         3},
        {"record_edited",
         {QStringLiteral("UPDATE record SET raw = (SELECT raw FROM record WHERE number = 30) WHERE number = 10")},
         ChangeLogCheck::Fault::Records,
         1},
        {"record_removed", {QStringLiteral("DELETE FROM record WHERE number = 40")}, ChangeLogCheck::Fault::Records, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString at = Fill(QString::fromLatin1(c.name));
        ASSERT_TRUE(Tamper(at, c.sql));
        ArchiveText error;
        auto archive = Archive::Open(*ParseArchiveLocation(at, error), error);
        ASSERT_TRUE(archive);
        const auto check = archive->CheckChanges();
        ASSERT_TRUE(check);
        EXPECT_EQ(check->fault, c.fault);
        EXPECT_EQ(check->brokenAt, c.at);
        archive.reset();

        int code = -1;
        QString said;
        ASSERT_EQ(Audit(at, {QStringLiteral("--verify")}, code, said), QProcess::NormalExit);
        EXPECT_EQ(code, c.at == 0 ? 0 : 5) << said.toStdString();
        EXPECT_TRUE(
            said.contains(c.at == 0 ? QStringLiteral("intact (5 entries)") : QStringLiteral("entry %1 ").arg(c.at),
                          Qt::CaseInsensitive))
            << said.toStdString();
    }
}

TEST_P(ChangeLog, ArchivedRecordsChangedOutsideTheProgramReachNoReaderAndNothingIsSigned) {
    const struct {
        const char* name;
        QStringList sql;
        int first;  // the first record named as changed; 0: intact
    } cases[] = {
        {"intact", {}, 0},
        {"bytes",
         {QStringLiteral("UPDATE record SET raw = (SELECT raw FROM record WHERE number = 30) WHERE number = 10")},
         10},
        {"value", {QStringLiteral("UPDATE record SET temperature = temperature + 5 WHERE number = 12")}, 12},
        {"moment", {QStringLiteral("UPDATE log SET start_s = start_s + 300")}, 1},
        {"removed", {QStringLiteral("DELETE FROM record WHERE number = 40")}, 40},
    };
    const QString serial = QStringLiteral("00A1B2C3");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString at = Fill(QStringLiteral("read_") + QString::fromLatin1(c.name));
        ASSERT_TRUE(Tamper(at, c.sql));
        ArchiveText error;
        auto archive = Archive::OpenExisting(*ParseArchiveLocation(at, error), error);
        ASSERT_TRUE(archive) << error.In(QStringLiteral("Angielski")).toStdString();
        const auto logs = archive->Logs(serial);
        ASSERT_TRUE(logs && logs->size() == 1);
        EXPECT_EQ(archive->ChangedRecord(logs->at(0).id), c.first);
        ResultsStore store;
        EXPECT_EQ(archive->LoadRecords(logs->at(0).id, store), c.first == 0);
        if (c.first != 0) {
            EXPECT_TRUE(archive->LastError().numbered.startsWith(kChangedRecords));
            EXPECT_TRUE(store.IsEmpty());
        }
        archive.reset();

        // Every command that reads the log refuses it and writes nothing; audit --verify agrees.
        const QString out = dir.filePath(QStringLiteral("%1.out").arg(QString::fromLatin1(c.name)));
        const QStringList readers[] = {
            {QStringLiteral("archive"), QStringLiteral("export"), QStringLiteral("--serial"), serial,
             QStringLiteral("-o"), out + QStringLiteral(".txt")},
            {QStringLiteral("report"), QStringLiteral("--serial"), serial, QStringLiteral("-o"),
             out + QStringLiteral(".pdf")},
            {QStringLiteral("evaluate"), QStringLiteral("--serial"), serial},
            {QStringLiteral("audit"), QStringLiteral("--verify")},
        };
        for (const QStringList& args : readers) {
            SCOPED_TRACE(args.join(u' ').toStdString());
            const CliRun run = RunCli(dir, args, at);
            if (c.first == 0) {
                // Intact: only evaluate and report, with no rule to judge by, stop short of the end.
                if (args[0] != QLatin1String("evaluate") && args[0] != QLatin1String("report")) {
                    EXPECT_EQ(run.code, 0) << run.said.toStdString();
                }
                continue;
            }
            EXPECT_EQ(run.code, 5) << run.said.toStdString();
            if (args[0] != QLatin1String("audit")) {
                EXPECT_TRUE(run.said.contains(QStringLiteral("logger %1 (log of ").arg(serial)) &&
                            run.said.contains(QStringLiteral("from record %1 on").arg(c.first)))
                    << run.said.toStdString();
            }
        }
        if (c.first != 0) {
            for (const char* ext : {".txt", ".txt.minisig", ".pdf", ".pdf.minisig"})
                EXPECT_FALSE(QFile::exists(out + QLatin1String(ext))) << ext;
        }
    }
}

TEST_P(ChangeLog, ReadersMakeNoArchiveWhereThereIsNoneAndOnlyAnImportDoes) {
    // An SQLite file in a folder that is not there; on the server a database without the tables.
    const bool lite = GetParam() == Backend::Sqlite;
    const QString at = lite ? dir.filePath(QStringLiteral("typo/archive.sqlite")) : where;
    const QString named = lite ? at : Location().Display();
    const QStringList readers[] = {
        {QStringLiteral("audit")},
        {QStringLiteral("audit"), QStringLiteral("--verify")},
        {QStringLiteral("archive"), QStringLiteral("list")},
        {QStringLiteral("archive"), QStringLiteral("export"), QStringLiteral("--serial"), QStringLiteral("X")},
        {QStringLiteral("report"), QStringLiteral("--serial"), QStringLiteral("X"), QStringLiteral("-o"),
         dir.filePath(QStringLiteral("r.pdf"))},
        {QStringLiteral("evaluate"), QStringLiteral("--serial"), QStringLiteral("X")},
    };
    for (const QStringList& args : readers) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun run = RunCli(dir, args, at);
        EXPECT_EQ(run.code, 5) << run.said.toStdString();
        EXPECT_TRUE(run.said.contains(QStringLiteral("The archive %1 does not exist").arg(named)))
            << run.said.toStdString();
        EXPECT_FALSE(run.said.contains(QStringLiteral("intact")));
    }
    ArchiveText error;
    EXPECT_FALSE(Archive::OpenExisting(Location(), error));
    EXPECT_TRUE(error.numbered.startsWith(kMissingArchive));
    const auto tables = [&] {
        QSqlDatabase db = Raw(QStringLiteral("look"));
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL"));
        const bool any = q.next() && q.value(0).toBool();
        q.finish();
        return any;
    };
    if (lite) {
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("typo"))));
    } else {
        EXPECT_FALSE(tables());
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
    }

    // A write makes it: an import, and readers find it from then on.
    ResultsStore store;
    store.serialNumber = QStringLiteral("X");
    store.intervalSeconds = 300;
    for (int n = 0; n < 5; ++n)
        store.Append(20.0f + static_cast<float>(n), 0.0f, MomentFromSeconds(3'636'000'000 + n * 300));
    const QString file = dir.filePath(QStringLiteral("saved.txt"));
    ASSERT_TRUE(SaveResultsFile(file, store).ok);
    const CliRun import = RunCli(dir, {QStringLiteral("archive"), QStringLiteral("import"), file}, at);
    EXPECT_EQ(import.code, 0) << import.said.toStdString();
    const CliRun verify = RunCli(dir, {QStringLiteral("audit"), QStringLiteral("--verify")}, at);
    EXPECT_EQ(verify.code, 0) << verify.said.toStdString();
    EXPECT_TRUE(verify.said.contains(QStringLiteral("intact (1 entry)"))) << verify.said.toStdString();
    if (!lite) {
        EXPECT_TRUE(tables());
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
    }
}

TEST_P(ChangeLog, AnImportChecksTheFilesSignatureFirst) {
    // Three files of one log: signed and intact, signed then changed, never signed.
    const QString keys = dir.filePath(QStringLiteral("config/quorvex"));
    const FileSigner signer(QStringLiteral("Quorvex"), keys);
    ResultsStore store;
    store.serialNumber = QStringLiteral("S1");
    store.intervalSeconds = 60;
    for (int n = 0; n < 5; ++n)
        store.Append(1.0f + static_cast<float>(n), 0.0f, MomentFromSeconds(3'636'000'000 + n * 60));
    QStringList files;
    for (const char* name : {"intact.txt", "changed.txt", "unsigned.txt"}) {
        files << dir.filePath(QLatin1String(name));
        ASSERT_TRUE(SaveResultsFile(files.back(), store).ok);
    }
    ASSERT_TRUE(signer.Sign(files[0], {}).done);
    ASSERT_TRUE(signer.Sign(files[1], {}).done);
    QFile changed(files[1]);
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    QByteArray bytes = changed.readAll();
    bytes.replace("1,0", "9,0");
    bytes.replace("1.0", "9.0");
    changed.resize(0);
    changed.write(bytes);
    changed.close();

    const QStringList import{QStringLiteral("archive"), QStringLiteral("import")};
    const CliRun refused = RunCli(dir, import + files, where);
    EXPECT_EQ(refused.code, 5) << refused.said.toStdString();
    EXPECT_TRUE(refused.said.contains(QStringLiteral("The file %1 was changed after signing").arg(files[1])))
        << refused.said.toStdString();
    const CliRun accepted = RunCli(dir, import + QStringList{QStringLiteral("--accept-changed"), files[1]}, where);
    EXPECT_EQ(accepted.code, 0) << accepted.said.toStdString();

    auto archive = Open();
    ASSERT_TRUE(archive);
    const auto entries = archive->Changes();
    ASSERT_TRUE(entries);
    QStringList details;
    for (const ChangeEntry& e : *entries)
        if (e.kind == ChangeKind::Import) details << QFileInfo(e.subject).fileName() + QStringLiteral(": ") + e.details;
    ASSERT_EQ(details.size(), 3) << details.join(u'\n').toStdString();
    EXPECT_TRUE(details[0].startsWith(QStringLiteral("intact.txt: imported; signature: signed, valid (key")))
        << details[0].toStdString();
    EXPECT_TRUE(details[1].startsWith(QStringLiteral("unsigned.txt: imported; signature: not signed")))
        << details[1].toStdString();
    EXPECT_TRUE(details[2].startsWith(QStringLiteral("changed.txt: imported; signature: CHANGED after signing")))
        << details[2].toStdString();
}

TEST_P(ChangeLog, ListsEntriesAndTwoAppendersAtOnceMakeOneChain) {
    ASSERT_TRUE(Open());
    constexpr int kEach = 60;
    std::atomic<int> failures{0};
    const auto appender = [&] {
        ArchiveText error;
        auto archive = Archive::Open(Location(), error);
        for (int n = 0; archive && n < kEach; ++n) {
            ChangeEntry e = Write(n);
            if (!archive->AppendChange(e)) ++failures;
        }
        if (!archive) ++failures;
    };
    std::thread one(appender), two(appender);
    one.join();
    two.join();
    EXPECT_EQ(failures, 0);
    auto archive = Open();
    ASSERT_TRUE(archive);
    const auto check = archive->CheckChanges();
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->Intact()) << check->brokenAt;
    EXPECT_EQ(check->entries, 2 * kEach);

    // The listing gives back what went in, filtered by logger.
    ChangeEntry other = Write(7);
    other.serial = QStringLiteral("OTHER");
    ASSERT_TRUE(archive->AppendChange(other));
    const auto mine = archive->Changes({QStringLiteral("OTHER"), {}, {}});
    ASSERT_TRUE(mine && mine->size() == 1);
    EXPECT_EQ(mine->at(0).subject, other.subject);
    EXPECT_EQ(mine->at(0).details, other.details);
    EXPECT_EQ(mine->at(0).hash, other.hash);
    EXPECT_EQ(mine->at(0).sequence, 2 * kEach + 1);
    int code = -1;
    QString said;
    ASSERT_EQ(Audit(where, {QStringLiteral("--serial"), QStringLiteral("OTHER"), QStringLiteral("--json")}, code, said),
              QProcess::NormalExit);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(said.contains(QStringLiteral("\"after\": \"8,0\""))) << said.toStdString();
    EXPECT_FALSE(said.contains(QStringLiteral("00A1B2C3")));
}

INSTANTIATE_TEST_SUITE_P(Backends, ChangeLog, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
}  // namespace quorvex::test
