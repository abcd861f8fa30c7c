// quorvex-cli as a shell runs it, against quorvex-sim over a pseudo-terminal: what it prints,
// the files it writes and its exit codes, also when a download is interrupted, the logger goes
// away or the output cannot be written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>

#include "SimProcess.h"
#include "sign/FileSigner.h"
#include "sign/SigningKey.h"

namespace quorvex::test {
namespace {

const QString kCli = QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli");
const std::string kScenarios = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/";
const std::string kClock = "2015-03-30 12:00:00";

struct Outcome {
    int code = -1;
    QString out, err;
};

class Cli : public ::testing::Test {
protected:
    // Starts the program; the settings file is a private one, so the machine's does not count.
    void Start(QStringList args) {
        args << QStringLiteral("--settings") << dir.filePath(QStringLiteral("quorvex.INI"));
        process.setProgram(kCli);
        process.setArguments(args);
        process.setReadChannel(QProcess::StandardError);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }
    // Waits for the end; the bound only catches a hang.
    Outcome Finish() {
        EXPECT_TRUE(process.waitForFinished(120000));
        Outcome r;
        r.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        r.out = QString::fromUtf8(process.readAllStandardOutput());
        r.err = err + QString::fromUtf8(process.readAllStandardError());
        return r;
    }
    Outcome Exec(const QStringList& args) {
        Start(args);
        return Finish();
    }
    // Waits until standard error holds `text`.
    bool WaitForError(const QString& text) {
        while (!err.contains(text)) {
            if (!process.waitForReadyRead(60000)) return false;
            err += QString::fromUtf8(process.readAllStandardError());
        }
        return true;
    }
    static QStringList Port(const SimProcess& sim) {
        return {QStringLiteral("--port"), QString::fromStdString(sim.LinkPath())};
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QList<QByteArray> Lines(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }

    QTemporaryDir dir;
    QProcess process;
    QString err;
};

TEST_F(Cli, InfoAsTextAndJsonForBothLoggerTypes) {
    for (const char* scenario : {"humidity.ini", "temperature.ini"}) {
        SimProcess sim({"--no-pacing", "--scenario", kScenarios + scenario, "--clock", kClock});
        ASSERT_TRUE(sim.Running());
        const bool humidity = std::string(scenario) == "humidity.ini";

        const Outcome text = Exec(Port(sim) << QStringLiteral("info") << QStringLiteral("--fast"));
        ASSERT_EQ(text.code, 0) << text.err.toStdString();
        const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 27);
        EXPECT_TRUE(lines.contains(humidity ? QStringLiteral("Logger name: Magazyn próbek – Łódź")
                                            : QStringLiteral("Logger name: Mroźnia – komora 3")));
        // Coded values with their meaning in the window's words.
        const QStringList coded =
            humidity ? QStringList{QStringLiteral("Start mode: 1 (from computer directly)"),
                                   QStringLiteral("Recording: 0 (Logger does not record)"),
                                   QStringLiteral("Overwrite when full: 0 (stop work logger)"),
                                   QStringLiteral("Status word: 1 (Logger does not record; Launch from computer by "
                                                  "clicking Start button)"),
                                   QStringLiteral("Device type: 0201 (temperature and humidity)")}
                     : QStringList{QStringLiteral("Recording: 1 (Logger running)"),
                                   QStringLiteral("Overwrite when full: 1 (register again)"),
                                   QStringLiteral("Status word: 13 (Logger running; To exit press the Stop button)"),
                                   QStringLiteral("Device type: 0101 (temperature only)")};
        for (const QString& line : coded)
            EXPECT_TRUE(lines.contains(line)) << line.toStdString() << '\n' << text.out.toStdString();
        // A temperature logger has no humidity to show.
        EXPECT_EQ(lines.filter(QStringLiteral("Current humidity:")).value(0) == QStringLiteral("Current humidity: "),
                  !humidity);

        const Outcome json = Exec(Port(sim) << QStringLiteral("info") << QStringLiteral("--json"));
        ASSERT_EQ(json.code, 0) << json.err.toStdString();
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out.toStdString();
        EXPECT_EQ(o.size(), 27 + 4);
        EXPECT_EQ(o[QStringLiteral("device_type")].toString(),
                  humidity ? QStringLiteral("0201") : QStringLiteral("0101"));
        // Numbers stay numbers; the meaning stands beside.
        EXPECT_EQ(o[QStringLiteral("start_mode")].toInt(-1), 1);
        EXPECT_EQ(o[QStringLiteral("start_mode_meaning")].toString(), QStringLiteral("from computer directly"));
        EXPECT_EQ(o[QStringLiteral("device_type_stored_meaning")].toString(),
                  humidity ? QStringLiteral("temperature and humidity") : QStringLiteral("temperature only"));
        EXPECT_EQ(o[QStringLiteral("records_saved")].toInt(-1), humidity ? 250 : 5000);
        EXPECT_EQ(o[QStringLiteral("save_interval_s")].toInt(-1), humidity ? 300 : 600);
        EXPECT_TRUE(o[QStringLiteral("recording")].isBool());
        EXPECT_EQ(o[QStringLiteral("recording")].toBool(), !humidity);
        EXPECT_EQ(o[QStringLiteral("temperature_low")].toDouble(), humidity ? 2.0 : -25.0);
        EXPECT_EQ(o[QStringLiteral("current_date")].toString(), QStringLiteral("2015-03-30"));
        EXPECT_TRUE(o[QStringLiteral("current_time")].toString().startsWith(QStringLiteral("12:00:")));
        EXPECT_EQ(o[QStringLiteral("humidity")].isDouble(), humidity);
        EXPECT_EQ(o[QStringLiteral("humidity")].isNull(), !humidity);
    }
}

TEST_F(Cli, LanguageTakesEveryFormTheWindowTakes) {
    SimProcess sim({"--no-pacing", "--records", "3"});
    ASSERT_TRUE(sim.Running());
    // The first two header lines of the text file: name and type captions.
    const struct {
        const char* given;
        const char* header;
    } cases[] = {
        {"pl", "Nazwa Typ"},        {"Polski", "Nazwa Typ"}, {"en", "Name Type"},       {"English", "Name Type"},
        {"Angielski", "Name Type"}, {"DE", "Name Typ"},      {"Niemiecki", "Name Typ"},
    };
    for (const auto& c : cases) {
        const Outcome r = Exec(Port(sim) << QStringLiteral("download") << QStringLiteral("--fast")
                                         << QStringLiteral("--language") << QString::fromLatin1(c.given));
        ASSERT_EQ(r.code, 0) << c.given << ": " << r.err.toStdString();
        const QStringList lines = r.out.split(QStringLiteral("\r\n"));
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[0].section(u'\t', 0, 0) + u' ' + lines[1].section(u'\t', 0, 0), QString::fromLatin1(c.header))
            << c.given;
    }
    EXPECT_EQ(Exec({QStringLiteral("info"), QStringLiteral("--language"), QStringLiteral("Francais")}).code, 1);
}

TEST_F(Cli, InterruptedOrUnpluggedDownloadKeepsExactlyTheRecordsReceived) {
    // A paced line: the download takes seconds, time enough to break it off.
    const std::vector<std::string> args{"--scenario", kScenarios + "temperature.ini", "--clock", kClock, "--records",
                                        "1500"};
    SimProcess sim(args);
    ASSERT_TRUE(sim.Running());
    const QString whole = Path("whole.txt");
    ASSERT_EQ(
        Exec(Port(sim) << QStringLiteral("download") << QStringLiteral("--fast") << QStringLiteral("-o") << whole).code,
        0);
    const QList<QByteArray> all = Lines(whole);
    ASSERT_EQ(all.size(), 7 + 1500);

    for (const bool unplug : {false, true}) {
        const QString file = Path(unplug ? "unplugged.txt" : "interrupted.txt");
        err.clear();
        Start(Port(sim) << QStringLiteral("download") << QStringLiteral("--fast") << QStringLiteral("-o") << file);
        ASSERT_TRUE(WaitForError(QStringLiteral("records (10%)"))) << err.toStdString();
        if (unplug)
            sim.Kill();
        else
            ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        const Outcome r = Finish();
        EXPECT_EQ(r.code, 3) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(file));
        const auto said =
            QRegularExpression(QStringLiteral("download incomplete \\((.*)\\): (\\d+) of 1500 records")).match(r.err);
        ASSERT_TRUE(said.hasMatch()) << r.err.toStdString();
        EXPECT_EQ(said.captured(1).contains(QStringLiteral("interrupted")), !unplug) << r.err.toStdString();
        const int received = said.captured(2).toInt();
        EXPECT_GE(received, 150);
        EXPECT_LT(received, 1500);
        EXPECT_TRUE(r.err.contains(QStringLiteral("%1 records written to %2.partial").arg(received).arg(file)));
        EXPECT_EQ(Lines(file + QStringLiteral(".partial")), all.mid(0, 7 + received));
    }
}

TEST_F(Cli, FailuresEndWithTheirExitCodesAndLoseNothing) {
    // Bad usage.
    EXPECT_EQ(Exec({QStringLiteral("fetch")}).code, 1);
    EXPECT_EQ(Exec({QStringLiteral("info"), QStringLiteral("-o"), Path("x.txt")}).code, 1);
    EXPECT_EQ(Exec({QStringLiteral("download"), QStringLiteral("--format"), QStringLiteral("xml")}).code, 1);
    const Outcome help = Exec({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Exit status:")));
    // The synopsis names every command the program takes.
    const auto listed = QRegularExpression(QStringLiteral("\\((.*)\\)")).match(Exec({}).err);
    ASSERT_TRUE(listed.hasMatch());
    const QStringList commands =
        listed.captured(1).replace(QStringLiteral(" or "), QStringLiteral(", ")).split(QStringLiteral(", "));
    EXPECT_GE(commands.size(), 12);
    const QString synopsis = help.out.section(QStringLiteral("\nRead, download"), 0, 0);
    for (const QString& command : commands)
        EXPECT_TRUE(synopsis.contains(QStringLiteral("quorvex-cli ") + command + u' ') ||
                    synopsis.contains(QStringLiteral("quorvex-cli ") + command + u'\n'))
            << command.toStdString() << '\n'
            << synopsis.toStdString();
    // A file that is not there: what, which file and why, each set off.
    const Outcome missing =
        Exec({QStringLiteral("evaluate"), Path("none.csv"), QStringLiteral("--language"), QStringLiteral("en")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Can not open the results file: %1: ").arg(Path("none.csv"))))
        << missing.err.toStdString();

    // No port, and a port without a logger: one line each.
    const Outcome absent = Exec({QStringLiteral("info"), QStringLiteral("--port"), Path("no-such-port")});
    EXPECT_EQ(absent.code, 2);
    EXPECT_EQ(absent.err.count(u'\n'), 1) << absent.err.toStdString();
    // No logger on USB: the line also tells how to name a serial port instead.
    const Outcome noUsb = Exec({QStringLiteral("info"), QStringLiteral("--port"), QStringLiteral("USB")});
    EXPECT_EQ(noUsb.code, 2);
    EXPECT_EQ(noUsb.err.count(u'\n'), 1) << noUsb.err.toStdString();
    EXPECT_TRUE(noUsb.err.contains(QStringLiteral("no logger found on USB")) &&
                noUsb.err.contains(QStringLiteral("--port PATH")))
        << noUsb.err.toStdString();
    {
        SimProcess silent({"--no-pacing", "--fault", "silent at=1 count=all"});
        ASSERT_TRUE(silent.Running());
        const Outcome mute =
            Exec(Port(silent) << QStringLiteral("download") << QStringLiteral("-o") << Path("mute.txt"));
        EXPECT_EQ(mute.code, 2);
        EXPECT_EQ(
            mute.err,
            QStringLiteral("quorvex-cli: no logger answers on %1\n").arg(QString::fromStdString(silent.LinkPath())));
        EXPECT_FALSE(QFile::exists(Path("mute.txt")));
    }

    SimProcess sim({"--scenario", kScenarios + "humidity.ini", "--clock", kClock, "--records", "1200"});
    ASSERT_TRUE(sim.Running());
    // A folder that is not there is found out before the logger is read.
    const Outcome early = Exec(Port(sim) << QStringLiteral("download") << QStringLiteral("-o") << Path("none/log.txt"));
    EXPECT_EQ(early.code, 4);
    EXPECT_TRUE(early.err.contains(QStringLiteral("nothing was read from the logger"))) << early.err.toStdString();

    // A folder that goes away during the download: the records are put somewhere else, and
    // the message says where.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    Start(Port(sim) << QStringLiteral("download") << QStringLiteral("--fast") << QStringLiteral("-o")
                    << Path("gone/log.txt"));
    ASSERT_TRUE(WaitForError(QStringLiteral("records (10%)")));
    ASSERT_TRUE(QDir(Path("gone")).removeRecursively());
    const Outcome late = Finish();
    EXPECT_EQ(late.code, 4);
    const auto rescued =
        QRegularExpression(QStringLiteral("the 1200 records were saved to (\\S+) instead")).match(late.err);
    ASSERT_TRUE(rescued.hasMatch()) << late.err.toStdString();
    const QList<QByteArray> lines = Lines(rescued.captured(1));
    QFile::remove(rescued.captured(1));
    QFile::remove(rescued.captured(1) + QStringLiteral(".minisig"));
    ASSERT_EQ(lines.size(), 7 + 1200);
    EXPECT_TRUE(lines.last().startsWith("1200\t"));
}

TEST_F(Cli, EvaluateExitsBySomeVerdictAndReportWritesAPdf) {
    // Six records ten minutes apart, two of them (20 minutes) above 8 °C.
    QFile csv(Path("log.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("record,time,temperature_C,humidity_pct\r\n");
    const float temperatures[] = {5.0f, 9.0f, 9.5f, 5.0f, 4.0f, 5.0f};
    for (int i = 0; i < 6; ++i)
        csv.write(QStringLiteral("%1,2024-03-01T08:%2:00+01:00,%3,60.0\r\n")
                      .arg(i + 1)
                      .arg(i * 10, 2, 10, QLatin1Char('0'))
                      .arg(static_cast<double>(temperatures[i]), 0, 'f', 1)
                      .toUtf8());
    csv.close();
    const auto rules = [&](const char* duration) {
        QFile ini(Path("quorvex.INI"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        // The window's stored language, whatever the desktop's.
        ini.write(QByteArray("[Okno]\nLanguage=Polski\n[Rules]\nCount=1\nSeries1=temperature\nSide1=above\nLimit1=8,0\n"
                             "Measure1=single\nDuration1=") +
                  duration + "\n");
    };
    // Without stored rules a file has no thresholds: nothing to judge by is no pass.
    EXPECT_EQ(Exec({QStringLiteral("evaluate"), Path("log.csv")}).code, 1);
    struct Case {
        const char* duration;  // seconds an excursion may last
        int code;
        const char* word;
    };
    for (const Case& c : {Case{"1200", 0, "ZGODNY"}, Case{"600", 6, "NIEZGODNY"}}) {
        rules(c.duration);
        const Outcome text = Exec({QStringLiteral("evaluate"), Path("log.csv")});
        EXPECT_EQ(text.code, c.code) << text.err.toStdString();
        EXPECT_TRUE(text.out.endsWith(QStringLiteral(": %1\n").arg(QString::fromUtf8(c.word))))
            << text.out.toStdString();
        const Outcome json = Exec({QStringLiteral("evaluate"), Path("log.csv"), QStringLiteral("--json")});
        EXPECT_EQ(json.code, c.code);
        const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
        EXPECT_EQ(o.value(QStringLiteral("pass")).toBool(), c.code == 0);
        EXPECT_EQ(o.value(QStringLiteral("fingerprint")).toString().size(), 64);
    }
    // Headless, as from a service: no runtime folder, and no warning about it either.
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    headless.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(headless);
    const Outcome report = Exec({QStringLiteral("report"), Path("log.csv"), QStringLiteral("-o"), Path("r.pdf"),
                                 QStringLiteral("--table"), QStringLiteral("daily")});
    EXPECT_EQ(report.code, 0) << report.err.toStdString();
    EXPECT_FALSE(report.err.contains(QStringLiteral("XDG_RUNTIME_DIR"))) << report.err.toStdString();
    QFile pdf(Path("r.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_EQ(Exec({QStringLiteral("verify"), Path("r.pdf")}).code, 0);  // signed as it was written
    const Outcome nowhere = Exec({QStringLiteral("report"), Path("log.csv"), QStringLiteral("-o"), Path("none/r.pdf")});
    EXPECT_EQ(nowhere.code, 4);
    EXPECT_TRUE(nowhere.err.contains(Path("none"))) << nowhere.err.toStdString();
    EXPECT_EQ(Exec({QStringLiteral("report"), Path("log.csv")}).code, 1);  // no -o
}

TEST_F(Cli, ArchivedLogsAreJudgedAndReportedAsTheirDownloadedFile) {
    QFile ini(Path("quorvex.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(
        "[Files]\nDewPoint=1\n[Rules]\nCount=1\nSeries1=temperature\nSide1=above\nLimit1=20\n"
        "Measure1=total\nDuration1=3600\n");
    ini.close();
    SimProcess sim({"--scenario", kScenarios + "humidity.ini", "--clock", kClock, "--records", "300", "--no-pacing"});
    ASSERT_TRUE(sim.Running());
    const QStringList archive{QStringLiteral("--archive"), Path("archive.sqlite")};
    const Outcome download = Exec(Port(sim) << QStringLiteral("download") << QStringLiteral("--fast")
                                            << QStringLiteral("-o") << Path("log.csv") << archive);
    ASSERT_EQ(download.code, 0) << download.err.toStdString();
    EXPECT_TRUE(Lines(Path("log.csv")).value(0).contains("humidity_pct,dew_point_C"));  // [Files] DewPoint
    const Outcome list =
        Exec(QStringList{QStringLiteral("archive"), QStringLiteral("list"), QStringLiteral("--json")} << archive);
    const QString serial =
        QJsonDocument::fromJson(list.out.toUtf8())[QStringLiteral("loggers")][0][QStringLiteral("serial")].toString();
    ASSERT_FALSE(serial.isEmpty()) << list.out.toStdString();

    // The same rule on the same records: the same verdict and fingerprint from the archive.
    const Outcome file = Exec({QStringLiteral("evaluate"), Path("log.csv"), QStringLiteral("--json")});
    const Outcome archived =
        Exec(QStringList{QStringLiteral("evaluate"), QStringLiteral("--serial"), serial, QStringLiteral("--json")}
             << archive);
    ASSERT_TRUE(archived.code == 0 || archived.code == 6) << archived.err.toStdString();
    EXPECT_EQ(archived.code, file.code);
    const QJsonObject a = QJsonDocument::fromJson(archived.out.toUtf8()).object();
    const QJsonObject f = QJsonDocument::fromJson(file.out.toUtf8()).object();
    for (const char* key : {"fingerprint", "rules", "records"})
        EXPECT_EQ(a.value(QLatin1String(key)), f.value(QLatin1String(key))) << key;

    const Outcome report =
        Exec(QStringList{QStringLiteral("report"), QStringLiteral("--serial"), serial, QStringLiteral("-o"),
                         Path("r.pdf"), QStringLiteral("--language"), QStringLiteral("en")}
             << archive);
    ASSERT_EQ(report.code, 0) << report.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-l"), QStringLiteral("1"), Path("r.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(page.contains(QStringLiteral("Downloaded")) && page.contains(serial)) << page.toStdString();

    struct Refusal {
        QStringList args;
        int code;
    };
    for (const Refusal& r :
         {Refusal{{QStringLiteral("evaluate"), QStringLiteral("--serial"), QStringLiteral("NONE")}, 5},
          Refusal{{QStringLiteral("evaluate"), QStringLiteral("--serial"), serial, QStringLiteral("--log"),
                   QStringLiteral("1999-01-01")},
                  5},
          Refusal{{QStringLiteral("evaluate"), Path("log.csv"), QStringLiteral("--serial"), serial}, 1},
          Refusal{{QStringLiteral("evaluate"), QStringLiteral("--log"), QStringLiteral("1999-01-01")}, 1}})
        EXPECT_EQ(Exec(r.args + archive).code, r.code) << r.args.join(u' ').toStdString();
}

TEST_F(Cli, WrittenFilesAreSignedAndVerifyNamesEachState) {
    const QString config = Path("config");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    process.setProcessEnvironment(env);
    const Outcome key = Exec({QStringLiteral("key")});
    ASSERT_EQ(key.code, 0) << key.err.toStdString();
    const auto id = QRegularExpression(QStringLiteral("key id: ([0-9A-F]{16})")).match(key.out);
    ASSERT_TRUE(id.hasMatch()) << key.out.toStdString();
    const QString pub = config + QStringLiteral("/quorvex/quorvex.pub");
    EXPECT_TRUE(key.out.contains(pub)) << key.out.toStdString();

    SimProcess sim({"--no-pacing", "--records", "20"});
    ASSERT_TRUE(sim.Running());
    const QString file = Path("log.csv");
    const QStringList archive{QStringLiteral("--archive"), Path("archive.sqlite")};
    ASSERT_EQ(Exec(Port(sim) << QStringLiteral("download") << QStringLiteral("-o") << file << archive).code, 0);
    // The change log holds the download, then the signature made as the file was written and
    // the file, with the records' fingerprint and the key.
    const Outcome audit = Exec(QStringList{QStringLiteral("audit"), QStringLiteral("--json")} << archive);
    ASSERT_EQ(audit.code, 0) << audit.err.toStdString();
    const QJsonArray entries = QJsonDocument::fromJson(audit.out.toUtf8())[QStringLiteral("entries")].toArray();
    QStringList kinds;
    for (const QJsonValue& e : entries) kinds << e[QStringLiteral("kind")].toString();
    ASSERT_EQ(kinds.join(u' '), QStringLiteral("download signature file")) << audit.out.toStdString();
    EXPECT_EQ(entries[2][QStringLiteral("fingerprint")], entries[0][QStringLiteral("fingerprint")]);
    EXPECT_EQ(entries[2][QStringLiteral("subject")].toString(), QFileInfo(file).absoluteFilePath());
    EXPECT_EQ(entries[1][QStringLiteral("subject")].toString(), QFileInfo(file).absoluteFilePath() + ".minisig");
    EXPECT_TRUE(entries[1][QStringLiteral("details")].toString().contains(id.captured(1)));
    // Another installation's key, to name in --pubkey.
    const QString stranger = Path("stranger");
    ASSERT_TRUE(LoadOrCreateSigningKey(stranger).key);

    const QStringList verify{QStringLiteral("verify"), file, QStringLiteral("--language"), QStringLiteral("en")};
    const struct {
        const char* name;
        std::function<void()> before;
        QStringList extra;
        int code;
        QString says;
    } cases[] = {
        {"as written", [] {}, {}, 0, QStringLiteral("signed, valid (key %1)").arg(id.captured(1))},
        {"its own public key named", [] {}, {QStringLiteral("--pubkey"), pub}, 0, QStringLiteral("signed, valid")},
        {"another key named",
         [] {},
         {QStringLiteral("--pubkey"), stranger + QStringLiteral("/quorvex.pub")},
         5,
         QStringLiteral("signed with another key")},
        {"a record changed",
         [&] {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::Append));
             f.write("21,2015-03-30T12:00:00+00:00,99.9,50.0\r\n");
         },
         {},
         5,
         QStringLiteral("CHANGED after signing")},
        {"the signature gone",
         [&] { QFile::remove(file + QStringLiteral(".minisig")); },
         {},
         5,
         QStringLiteral("not signed")},
    };
    for (const auto& c : cases) {
        c.before();
        const Outcome r = Exec(QStringList(verify) << c.extra);
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.says)) << c.name << ": " << r.out.toStdString();
    }
    EXPECT_EQ(Exec(QStringList(verify) << QStringLiteral("--pubkey") << QStringLiteral("RWQnotakey")).code, 1);
}

TEST_F(Cli, WithoutAChosenLanguageEveryCommandSpeaksTheDesktops) {
    // A temperature log judged by one rule it passes, and an archive with a change log to check.
    QFile csv(Path("log.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("record,time,temperature_C\r\n1,2024-03-01T08:00:00+01:00,5.0\r\n2,2024-03-01T08:10:00+01:00,5.5\r\n");
    csv.close();
    const QStringList archive{QStringLiteral("--archive"), Path("archive.sqlite")};
    ASSERT_EQ(Exec(QStringList{QStringLiteral("archive"), QStringLiteral("import"), Path("log.csv")} << archive).code,
              0);
    const QByteArray rules =
        "[Rules]\nCount=1\nSeries1=temperature\nSide1=above\nLimit1=8\nMeasure1=single\nDuration1=0\n";
    const struct {
        const char* desktop;
        const char* stored;  // the window's stored language, if any
        const char* verdict;
        const char* intact;
    } cases[] = {
        {"en_GB.UTF-8", "", "PASS", "Change log intact"},
        {"de_DE.UTF-8", "", "KONFORM", "Änderungsprotokoll unverändert"},
        {"pl_PL.UTF-8", "", "ZGODNY", "Dziennik zmian nienaruszony"},
        {"fr_FR.UTF-8", "", "PASS", "Change log intact"},
        {"en_US.UTF-8", "Polski", "ZGODNY", "Dziennik zmian nienaruszony"},
    };
    for (const auto& c : cases) {
        QFile ini(Path("quorvex.INI"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write((*c.stored ? QByteArray("[Okno]\nLanguage=") + c.stored + "\n" : QByteArray()) + rules);
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(c.desktop));
        process.setProcessEnvironment(env);
        const Outcome evaluate = Exec({QStringLiteral("evaluate"), Path("log.csv")});
        EXPECT_EQ(evaluate.code, 0) << c.desktop << ": " << evaluate.err.toStdString();
        EXPECT_TRUE(evaluate.out.endsWith(QStringLiteral(": %1\n").arg(QString::fromUtf8(c.verdict))))
            << c.desktop << ' ' << c.stored << ": " << evaluate.out.toStdString();
        const Outcome audit = Exec(QStringList{QStringLiteral("audit"), QStringLiteral("--verify")} << archive);
        EXPECT_EQ(audit.code, 0) << c.desktop << ": " << audit.err.toStdString();
        EXPECT_TRUE(audit.out.startsWith(QString::fromUtf8(c.intact)))
            << c.desktop << ' ' << c.stored << ": " << audit.out.toStdString();
    }
}

TEST_F(Cli, EvaluateKeepsEveryRuleInItsPlaceAndWritesJsonAsTheLoggerDoes) {
    // A temperature logger's log: the dew point cannot be judged; 7.0 and 7.2 lie above 6.8.
    QFile csv(Path("log.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("record,time,temperature_C\r\n");
    const float temperatures[] = {5.0f, 7.0f, 7.2f, 5.0f};
    for (int i = 0; i < 4; ++i)
        csv.write(QStringLiteral("%1,2024-03-01T08:%2:00+00:00,%3\r\n")
                      .arg(i + 1)
                      .arg(i * 10, 2, 10, QLatin1Char('0'))
                      .arg(static_cast<double>(temperatures[i]), 0, 'f', 1)
                      .toUtf8());
    csv.close();
    QFile ini(Path("quorvex.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(
        "[Rules]\nCount=2\nSeries1=dewpoint\nSide1=above\nLimit1=10\nMeasure1=single\nDuration1=0\n"
        "Series2=temperature\nSide2=above\nLimit2=6,8\nMeasure2=single\nDuration2=0\n");
    ini.close();
    const QStringList english{QStringLiteral("--language"), QStringLiteral("en")};

    const Outcome text = Exec(QStringList{QStringLiteral("evaluate"), Path("log.csv")} << english);
    EXPECT_EQ(text.code, 6) << text.err.toStdString();
    const QStringList lines = text.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3) << text.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1. Dew point")) &&
                lines[0].endsWith(QStringLiteral("not applicable")))
        << text.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2. Temperature")) && lines[1].endsWith(QStringLiteral("FAIL")))
        << text.out.toStdString();

    const Outcome json =
        Exec(QStringList{QStringLiteral("evaluate"), Path("log.csv"), QStringLiteral("--json")} << english);
    EXPECT_EQ(json.code, 6);
    // Numbers as the logger gives them, not as a float widened to a double.
    EXPECT_TRUE(json.out.contains(QStringLiteral("\"limit\": 6.8,")) &&
                json.out.contains(QStringLiteral("\"peak\": 7.2,")))
        << json.out.toStdString();
    const QJsonArray rules = QJsonDocument::fromJson(json.out.toUtf8())[QStringLiteral("rules")].toArray();
    ASSERT_EQ(rules.size(), 2) << json.out.toStdString();
    EXPECT_EQ(rules[0][QStringLiteral("series")].toString(), QStringLiteral("dewpoint"));
    EXPECT_FALSE(rules[0][QStringLiteral("applicable")].toBool(true));
    EXPECT_TRUE(rules[0][QStringLiteral("pass")].isNull());
    EXPECT_TRUE(rules[1][QStringLiteral("applicable")].toBool(false));
    EXPECT_FALSE(rules[1][QStringLiteral("pass")].toBool(true));
    EXPECT_EQ(rules[1][QStringLiteral("limit")].toDouble(), 6.8);
    const QJsonObject excursion = rules[1][QStringLiteral("breaking")][0].toObject();
    EXPECT_EQ(excursion[QStringLiteral("peak")].toDouble(), 7.2);
    // Moments carry their UTC offset, as the CSV file does (the tests run in UTC).
    EXPECT_EQ(excursion[QStringLiteral("start")].toString(), QStringLiteral("2024-03-01T08:10:00+00:00"));
    EXPECT_EQ(excursion[QStringLiteral("end")].toString(), QStringLiteral("2024-03-01T08:30:00+00:00"));
}

TEST_F(Cli, VerifyOfAFileRenamedAndChangedSaysBoth) {
    const QString config = Path("config");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    process.setProcessEnvironment(env);
    const QString original = Path("log.csv"), renamed = Path("copy.csv");
    QFile file(original);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("record,time,temperature_C\r\n1,2024-03-01T08:00:00+01:00,5.0\r\n");
    file.close();
    ASSERT_TRUE(FileSigner(QStringLiteral("test"), config + QStringLiteral("/quorvex")).Sign(original, {}).done);
    ASSERT_TRUE(QFile::rename(original, renamed));
    ASSERT_TRUE(QFile::rename(original + kSignatureSuffix, renamed + kSignatureSuffix));
    QFile changed(renamed);
    ASSERT_TRUE(changed.open(QIODevice::Append));
    changed.write("2,2024-03-01T08:10:00+01:00,9.9\r\n");
    changed.close();
    const Outcome r = Exec({QStringLiteral("verify"), renamed, QStringLiteral("--language"), QStringLiteral("en")});
    EXPECT_EQ(r.code, 5);
    EXPECT_TRUE(r.out.contains(QStringLiteral("CHANGED after signing")) &&
                r.out.contains(QStringLiteral("content differs from what was signed")) &&
                r.out.contains(QStringLiteral("signed as log.csv")))
        << r.out.toStdString();
}

}  // namespace
}  // namespace quorvex::test
