#pragma once
// The archive suite runs once on an SQLite file and once on PostgreSQL. The PostgreSQL half
// needs a server: test.sh starts a throw-away one and names it in QUORVEX_TEST_PG
// ("postgresql://user@/postgres?host=/tmp/…"); without it those cases are skipped, saying so.
// Each case gets a database (or file) of its own.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include "archive/Archive.h"

namespace quorvex::test {

enum class Backend { Sqlite, Postgres };

inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

class ArchiveBackend : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Backend::Sqlite) {
            where = dir.filePath(QStringLiteral("archive.sqlite"));
            return;
        }
        const QString server = qEnvironmentVariable("QUORVEX_TEST_PG");
        if (server.isEmpty()) GTEST_SKIP() << "QUORVEX_TEST_PG is not set: no PostgreSQL server for this run";
        ArchiveText error;
        const auto admin = ParseArchiveLocation(server, error);
        ASSERT_TRUE(admin) << error.In(QStringLiteral("Angielski")).toStdString();
        database = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(20);
        ASSERT_TRUE(Admin(*admin, QStringLiteral("CREATE DATABASE ") + database));
        QString url = server;
        url.replace(QStringLiteral("/") + admin->database, QStringLiteral("/") + database);
        where = url;
    }

    ArchiveLocation Location() const {
        ArchiveText error;
        return ParseArchiveLocation(where, error).value_or(ArchiveLocation{});
    }
    std::unique_ptr<Archive> Open(int busyMs = Archive::kDefaultBusyTimeoutMs) const {
        ArchiveText error;
        auto a = Archive::Open(Location(), error, busyMs);
        EXPECT_TRUE(a) << error.In(QStringLiteral("Angielski")).toStdString();
        return a;
    }
    // A plain connection beside the archive's, to hold locks or look at the tables.
    QSqlDatabase Raw(const QString& name) const {
        const ArchiveLocation l = Location();
        QSqlDatabase db = QSqlDatabase::addDatabase(
            GetParam() == Backend::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name);
        db.setDatabaseName(GetParam() == Backend::Sqlite ? l.path : l.database);
        db.setUserName(l.user);
        db.setHostName(l.host);
        if (l.port > 0) db.setPort(l.port);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        return db;
    }
    static bool Admin(const ArchiveLocation& l, const QString& sql) {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            db.setDatabaseName(l.database);
            db.setUserName(l.user);
            db.setHostName(l.host);
            if (l.port > 0) db.setPort(l.port);
            ok = db.open() && QSqlQuery(db).exec(sql);
            if (!ok) ADD_FAILURE() << db.lastError().text().toStdString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        return ok;
    }

    QTemporaryDir dir;
    QString where;     // the archive as --archive names it
    QString database;  // PostgreSQL: this case's database
};

// quorvex-cli run to its end on the archive at `at`, its settings, key and trusted keys under `dir`.
struct CliRun {
    int code = -1;
    QString out, err;
    QString said;  // both streams, for messages that may go to either
};
inline CliRun RunCli(const QTemporaryDir& dir, QStringList args, const QString& at) {
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"), args << QStringLiteral("--settings")
                                                                      << dir.filePath(QStringLiteral("quorvex.INI"))
                                                                      << QStringLiteral("--archive") << at);
    cli.waitForFinished(60000);  // only catches a hang
    CliRun run{cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
               QString::fromUtf8(cli.readAllStandardOutput()),
               QString::fromUtf8(cli.readAllStandardError()),
               {}};
    run.said = run.out + run.err;
    return run;
}

}  // namespace quorvex::test
