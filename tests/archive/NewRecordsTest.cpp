// quorvex-cli download --new against the simulator: only what the archive lacks is read, the
// last archived record must match the logger's, a new log is never merged into an old one, and a
// logger that keeps recording is read up to what it announced, the rest coming with the next read.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <thread>

#include "SimProcess.h"
#include "archive/Archive.h"

namespace quorvex::test {
namespace {

const std::string kScenarios = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/";

struct CliRun {
    int code = -1;
    QString err;
    QByteArray out;  // standard output
};

class NewRecords : public ::testing::Test {
protected:
    CliRun Cli(const SimProcess& sim, const QString& archive, const QString& out, bool newOnly = true) {
        QProcess cli;
        QStringList args{QStringLiteral("download"),   QStringLiteral("--fast"),
                         QStringLiteral("--port"),     QString::fromStdString(sim.LinkPath()),
                         QStringLiteral("--archive"),  archive,
                         QStringLiteral("--settings"), dir.filePath(QStringLiteral("quorvex.INI"))};
        if (!out.isEmpty()) args << QStringLiteral("-o") << out;
        if (newOnly) args << QStringLiteral("--new");
        cli.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"), args);
        EXPECT_TRUE(cli.waitForFinished(120000));  // only catches a hang
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                QString::fromUtf8(cli.readAllStandardError()), cli.readAllStandardOutput()};
    }
    std::unique_ptr<Archive> Open(const QString& path) {
        ArchiveText error;
        ArchiveLocation location;
        location.kind = ArchiveLocation::Kind::Sqlite;
        location.path = path;
        return Archive::Open(location, error);
    }
    static QByteArray Content(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(NewRecords, OnlyTheMissingAreReadAfterTheLastArchivedOneIsChecked) {
    SimProcess sim({"--no-pacing", "--scenario", kScenarios + "humidity.ini", "--clock", "2015-03-30 12:00:00"});
    ASSERT_TRUE(sim.Running());
    const QString full = Path(QStringLiteral("full.txt")), source = Path(QStringLiteral("source.sqlite"));
    const CliRun first = Cli(sim, source, full, false);
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    auto from = Open(source);
    ASSERT_TRUE(from);
    const auto loggers = from->Loggers();
    ASSERT_TRUE(loggers && loggers->size() == 1);
    const auto logs = from->Logs(loggers->at(0).serial);
    ASSERT_TRUE(logs && logs->size() == 1);
    const ArchiveLogKey key = logs->at(0).key;
    const int total = logs->at(0).archived;
    ASSERT_GT(total, 20);
    std::vector<std::uint32_t> raw;
    for (int n = 1; n <= total - 10; ++n) {
        const QByteArray b = from->RecordBytes(logs->at(0).id, n).value_or(QByteArray());
        ASSERT_EQ(b.size(), 4);
        raw.push_back(LogRecordValue(reinterpret_cast<const std::uint8_t*>(b.constData())));
    }

    const struct {
        const char* name;
        bool changeLast;  // the archive's copy of its last record differs from the logger's
        bool otherStart;  // the archived records belong to an earlier log of the logger
        bool toStdout;    // no -o: the records go to standard output
        int newRecords;   // those the archive lacked, also when the whole log was read
        int logsAfter;
    } cases[] = {
        {"last archived record equal", false, false, false, 10, 1},
        {"last archived record changed", true, false, false, 10, 1},
        {"last archived record changed, to standard output", true, false, true, 10, 1},
        {"another log of the logger", false, true, false, total, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString where = Path(QString::fromUtf8(c.name) + QStringLiteral(".sqlite"));
        {
            auto archive = Open(where);
            ASSERT_TRUE(archive);
            ArchiveLogKey k = key;
            if (c.otherStart) k.startSeconds -= 86400;
            std::vector<std::uint32_t> kept = raw;
            if (c.changeLast) kept.back() ^= 0x10;
            const auto download =
                archive->BeginDownload(k, LocalDownloadFacts(QStringLiteral("test"), QStringLiteral("test")));
            ASSERT_TRUE(download);
            ASSERT_TRUE(archive->AddRecords(*download, 1, kept));
        }
        const QString out = c.toStdout ? QString() : Path(QString::fromUtf8(c.name) + QStringLiteral(".txt"));
        const CliRun r = Cli(sim, where, out);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("%1 new records, %2 in all").arg(c.newRecords).arg(total)))
            << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QStringLiteral("differs from the archived one")), c.changeLast);
        const QByteArray written = c.toStdout ? r.out : Content(out);
        const QString differs = Path(QString::fromUtf8(c.name) + QStringLiteral("-differs.txt"));
        if (!c.changeLast) {
            // The file is the whole log, as a full download writes it.
            EXPECT_EQ(written, Content(full));
            EXPECT_FALSE(r.err.contains(QStringLiteral("the logger's copy")));
        } else {
            // The whole log as the archive holds it: its own copy of the changed record, the
            // logger's other records; the logger's copy is beside the file, signed, or only said.
            const QList<QByteArray> lines = Content(full).split('\n');
            const QList<QByteArray> got = written.split('\n');
            ASSERT_EQ(got.size(), lines.size());
            int other = 0;
            for (int i = 0; i < lines.size(); ++i) other += got[i] != lines[i];
            EXPECT_EQ(other, 1);
            if (c.toStdout) {
                EXPECT_TRUE(
                    r.err.contains(QStringLiteral("1 record differs from the archive, the logger's copy is "
                                                  "not written")))
                    << r.err.toStdString();
                EXPECT_FALSE(QFile::exists(differs));
            } else {
                EXPECT_TRUE(r.err.contains(QStringLiteral("1 record differs from the archive, the logger's copy -> ") +
                                           differs))
                    << r.err.toStdString();
                EXPECT_EQ(Content(differs), Content(full));
                for (const QString& path : {out, differs}) {
                    QProcess verify;
                    verify.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"), {QStringLiteral("verify"), path});
                    ASSERT_TRUE(verify.waitForFinished(30000));
                    EXPECT_EQ(verify.exitCode(), 0) << path.toStdString() << ": " << verify.readAll().toStdString();
                }
            }
        }
        auto archive = Open(where);
        EXPECT_EQ(archive->ArchivedThrough(key).value_or(-1), total);
        EXPECT_EQ(archive->Logs(key.serial).value_or(QList<ArchiveLogRow>()).size(), c.logsAfter);
    }
}

TEST_F(NewRecords, ALoggerRecordingMeanwhileIsReadUpToWhatItAnnounced) {
    // A record a second, the line paced: records arrive while the log is read.
    const QString scenario = Path(QStringLiteral("recording.ini"));
    QFile f(scenario);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[logger]\nrecording = 1\nmode = 0\ninterval = 1\nstart = auto\n[records]\ncount = 600\n");
    f.close();
    SimProcess sim({"--scenario", scenario.toStdString()});
    ASSERT_TRUE(sim.Running());
    const QString where = Path(QStringLiteral("archive.sqlite"));
    const QRegularExpression said(QStringLiteral("(\\d+) new records, (\\d+) in all"));
    const QString a = Path(QStringLiteral("a.txt")), b = Path(QStringLiteral("b.txt"));
    const CliRun first = Cli(sim, where, a);
    ASSERT_EQ(first.code, 0) << first.err.toStdString();
    const auto one = said.match(first.err);
    ASSERT_TRUE(one.hasMatch()) << first.err.toStdString();
    EXPECT_EQ(one.captured(1), one.captured(2));
    // The announced count, not more: the records added meanwhile are not in the file.
    const int announced = one.captured(2).toInt();
    EXPECT_EQ(Content(a).count("\r\n"), 7 + announced);

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const CliRun second = Cli(sim, where, b);
    ASSERT_EQ(second.code, 0) << second.err.toStdString();
    const auto two = said.match(second.err);
    ASSERT_TRUE(two.hasMatch()) << second.err.toStdString();
    EXPECT_GE(two.captured(1).toInt(), 2);
    EXPECT_EQ(two.captured(2).toInt(), announced + two.captured(1).toInt());
    EXPECT_FALSE(second.err.contains(QStringLiteral("differs")));
    EXPECT_TRUE(Content(b).startsWith(Content(a)));
}

}  // namespace
}  // namespace quorvex::test
