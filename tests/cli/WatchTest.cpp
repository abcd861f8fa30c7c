// quorvex-cli watch against quorvex-sim over a pseudo-terminal: loggers connected one after the
// other, one left connected, one unplugged in the middle of its read, an output folder that went
// away, and SIGTERM while waiting and while reading.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <thread>

#include "SimProcess.h"

namespace quorvex::test {
namespace {

const std::string kScenarios = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/";
const std::string kClock = "2015-03-30 12:00:00";

class Watch : public ::testing::Test {
protected:
    void Start(const SimProcess& sim) {
        watch.setProgram(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"));
        watch.setArguments({QStringLiteral("watch"), QStringLiteral("--fast"), QStringLiteral("--port"),
                            QString::fromStdString(sim.LinkPath()), QStringLiteral("--output-dir"), OutDir(),
                            QStringLiteral("--archive"), dir.filePath(QStringLiteral("archive.sqlite")),
                            QStringLiteral("--settings"), dir.filePath(QStringLiteral("quorvex.INI")),
                            QStringLiteral("--language"), QStringLiteral("en")});
        watch.start();
        ASSERT_TRUE(watch.waitForStarted());
    }
    // The next line the watch prints; empty when none comes in time (a hang).
    QString NextLine() {
        while (!out.contains(u'\n')) {
            if (!watch.waitForReadyRead(90000)) return {};
            out += QString::fromUtf8(watch.readAllStandardOutput());
        }
        const qsizetype end = out.indexOf(u'\n');
        const QString line = out.left(end);
        out.remove(0, end + 1);
        return line;
    }
    int Terminate() {
        ::kill(static_cast<pid_t>(watch.processId()), SIGTERM);
        EXPECT_TRUE(watch.waitForFinished(30000));
        out += QString::fromUtf8(watch.readAllStandardOutput());
        return watch.exitStatus() == QProcess::NormalExit ? watch.exitCode() : -1;
    }
    static void Unplug(SimProcess& sim) {
        sim.Kill();
        QFile::remove(QString::fromStdString(sim.LinkPath()));
    }
    QString OutDir() const { return dir.filePath(QStringLiteral("out")); }
    void TearDown() override {
        if (watch.state() != QProcess::NotRunning) watch.kill(), watch.waitForFinished();
    }

    QTemporaryDir dir;
    QProcess watch;
    QString out;
};

TEST_F(Watch, ConnectionsInARowALoggerLeftConnectedAndAFolderThatWentAway) {
    ASSERT_TRUE(QDir().mkpath(OutDir()));
    SimProcess sim({"--no-pacing", "--clock", kClock});
    ASSERT_TRUE(sim.Running());
    Start(sim);
    const QString first = NextLine();
    const QRegularExpression done(QStringLiteral("^0019A7F3 Magazyn próbek – Łódź: 250 new, 250 total -> (.+)$"));
    const auto m = done.match(first);
    ASSERT_TRUE(m.hasMatch()) << first.toStdString();
    QFile file(m.captured(1));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 7 + 250);
    EXPECT_EQ(QFileInfo(file).absolutePath(), QDir(OutDir()).absolutePath());

    // Left connected without new records: not read again.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    out += QString::fromUtf8(watch.readAllStandardOutput());
    EXPECT_TRUE(out.isEmpty()) << out.toStdString();

    // Plugged in again after its folder went away: read (nothing new), the line says the file
    // could not be written and where the records are, and the watch goes on.
    Unplug(sim);
    ASSERT_TRUE(QDir(OutDir()).removeRecursively());
    ASSERT_TRUE(sim.Restart());
    const QString second = NextLine();
    EXPECT_TRUE(second.contains(QStringLiteral(": 0 new, 250 total; cannot write "))) << second.toStdString();
    EXPECT_TRUE(second.contains(QStringLiteral("the records are in the archive"))) << second.toStdString();

    // SIGTERM while waiting ends it with 0.
    EXPECT_EQ(Terminate(), 0);
    EXPECT_EQ(watch.state(), QProcess::NotRunning);
    // A file never written was never signed either.
    const QString said = QString::fromUtf8(watch.readAllStandardError());
    EXPECT_FALSE(said.contains(QStringLiteral("unsigned"))) << said.toStdString();
}

TEST_F(Watch, ALogTheLoggerNowHoldsOtherwiseKeepsTheArchivedFileAndPutsTheLoggersCopyBeside) {
    ASSERT_TRUE(QDir().mkpath(OutDir()));
    // The same logger and log start (the clock is fixed), with other readings the second time.
    const auto scenario = [&](const char* name, const char* base) {
        QFile in(QString::fromStdString(kScenarios + "humidity.ini"));
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray text = in.readAll().replace("count = 250", "count = 20");
        text.replace("temp_base = 21.0", QByteArray("temp_base = ") + base);
        QFile out(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return out.fileName().toStdString();
    };
    const auto contents = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QString file;
    {
        SimProcess sim({"--no-pacing", "--clock", kClock, "--scenario", scenario("first.ini", "21.0")});
        ASSERT_TRUE(sim.Running());
        Start(sim);
        const QString line = NextLine();
        const auto m = QRegularExpression(QStringLiteral(": 20 new, 20 total -> (.+)$")).match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        file = m.captured(1);
        EXPECT_EQ(Terminate(), 0);
    }
    const QByteArray archived = contents(file);
    ASSERT_EQ(archived.count("\r\n"), 7 + 20);

    SimProcess sim({"--no-pacing", "--clock", kClock, "--scenario", scenario("second.ini", "26.0")});
    ASSERT_TRUE(sim.Running());
    out.clear();
    Start(sim);
    const QString line = NextLine();
    const auto m = QRegularExpression(QStringLiteral(": 20 records differ from the archive, the logger's copy -> "
                                                     "(.+-differs\\.txt); 0 new, 20 total -> (.+)$"))
                       .match(line);
    ASSERT_TRUE(m.hasMatch()) << line.toStdString();  // none new: the archive held all 20
    EXPECT_EQ(Terminate(), 0);
    // The file is still what was archived first; the logger's copy lies beside it.
    EXPECT_EQ(m.captured(2), file);
    EXPECT_EQ(contents(file), archived);
    const QByteArray differs = contents(m.captured(1));
    EXPECT_EQ(differs.count("\r\n"), 7 + 20);
    EXPECT_NE(differs, archived);
    EXPECT_EQ(QFileInfo(m.captured(1)).absolutePath(), QFileInfo(file).absolutePath());
    // Both signed, and intact.
    for (const QString& path : {file, m.captured(1)}) {
        QProcess verify;
        verify.start(QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"), {QStringLiteral("verify"), path});
        ASSERT_TRUE(verify.waitForFinished(30000));
        EXPECT_EQ(verify.exitCode(), 0) << path.toStdString() << ": " << verify.readAll().toStdString();
    }
    const QString said = QString::fromUtf8(watch.readAllStandardError());
    EXPECT_FALSE(said.contains(QStringLiteral("unsigned"))) << said.toStdString();
}

TEST_F(Watch, AnUnplugMidReadGoesOnAtTheNextConnectionAndSigtermEndsARead) {
    // 5,000 records on a paced line: many seconds to read.
    SimProcess sim({"--scenario", kScenarios + "temperature.ini", "--clock", kClock});
    ASSERT_TRUE(sim.Running());
    Start(sim);
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    Unplug(sim);
    const QRegularExpression cut(QStringLiteral(": (\\d+) new, (\\d+) total of 5000; read incomplete"));
    const QString first = NextLine();
    const auto a = cut.match(first);
    ASSERT_TRUE(a.hasMatch()) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("what arrived is in the archive"))) << first.toStdString();
    const int kept = a.captured(2).toInt();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, 5000);

    ASSERT_TRUE(sim.Restart());
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    EXPECT_EQ(Terminate(), 0);
    const auto b = cut.match(out);
    ASSERT_TRUE(b.hasMatch()) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("(stopped)"))) << out.toStdString();
    // Went on after the last record kept: what it read is what came on top of it.
    const int now = b.captured(2).toInt();
    EXPECT_GT(now, kept);
    EXPECT_EQ(now - b.captured(1).toInt(), kept);
}

}  // namespace
}  // namespace quorvex::test
