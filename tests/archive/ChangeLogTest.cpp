// The change log on both backends: each way of tampering with it (or with the records a
// download brought) outside the program is caught at the first entry that no longer holds, by
// the archive and by quorvex-cli audit --verify; two appenders at once make one chain.
#include <QProcess>

#include <thread>

#include "ArchiveBackend.h"

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
