// The window and quorvex-cli read the same logger into the same files, text and CSV: the window
// with "Szybki odczyt" chosen in its menu, the command-line program with the link and language
// the window stored, against quorvex-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

#include "EventLoopWait.h"
#include "LocaleGuard.h"
#include "SimProcess.h"
#include "UiTestSupport.h"
#include "logs/LogDownload.h"
#include "modbus/TransmissionThread.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"

namespace quorvex::test {
namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(CliParity, WindowWithFastReadingAndTheCommandLineWriteTheSameFile) {
    EnsureApplication();
    LocaleGuard locale{"pl_PL"};
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("quorvex.INI"));
    SimProcess sim({"--no-pacing", "--scenario", QUORVEX_SOURCE_DIR "/tools/sim/scenarios/humidity.ini", "--clock",
                    "2015-03-30 12:00:00", "--records", "700"});
    ASSERT_TRUE(sim.Running());

    // The window saves the text file, then the CSV file.
    const QStringList windowFiles{dir.filePath(QStringLiteral("window.txt")),
                                  dir.filePath(QStringLiteral("window.csv"))};
    {
        // The link as the operator chose it in an earlier run (a --port link is not stored).
        {
            QSettings stored(settings, QSettings::IniFormat);
            stored.setValue(QStringLiteral("Okno/PortCom"), QString::fromStdString(sim.LinkPath()));
        }
        ParameterModel model;
        ResultsStore results;
        ScriptedPrompts prompts;
        prompts.savePaths = {windowFiles.begin(), windowFiles.end()};
        MainWindowOptions o;
        o.settingsPath = settings;
        o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);  // not the machine's
        o.prompts = &prompts;
        auto form = std::make_unique<MainWindow>(model, results, o);
        CreateWindows(form.get());
        form->show();
        form->findChild<QAction*>(QString::fromLatin1(objname::kFastFramesItem))->trigger();
        EXPECT_TRUE(form->Thread()->FastFrames());
        ASSERT_TRUE(WaitUntil([&] { return form->ParamsReady(); }, 30000));
        form->findChild<QPushButton*>(QString::fromLatin1(objname::kStartReadButton))->click();
        ASSERT_TRUE(
            WaitUntil([&] { return form->ResultsPage().Download().GetState() == LogDownload::Finished; }, 60000));
        for (int i = 0; i < 2; ++i)
            form->findChild<QPushButton*>(QString::fromLatin1(objname::kSaveResultsButton))->click();
        form->close();  // writes the settings: the link, the language and FastFrames=1
        DestroyWindows(*form);
        form.reset();
    }
    ASSERT_EQ(Contents(windowFiles[0]).count('\n'), 7 + 700);
    ASSERT_EQ(Contents(windowFiles[1]).count('\n'), 1 + 700);

    // No --port and no --language: both come from the window's settings file. The format
    // follows the file's extension, or --format for standard output.
    const auto download = [&](const QStringList& args) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("pl_PL.UTF-8"));
        cli.setProcessEnvironment(env);
        cli.start(
            QStringLiteral(QUORVEX_BINARY_DIR "/quorvex-cli"),
            QStringList{QStringLiteral("download"), QStringLiteral("--fast"), QStringLiteral("--settings"), settings} +
                args);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return cli.readAllStandardOutput();
    };
    const QString cliText = dir.filePath(QStringLiteral("cli.txt")), cliCsv = dir.filePath(QStringLiteral("cli.csv"));
    download({QStringLiteral("-o"), cliText});
    EXPECT_EQ(Contents(cliText), Contents(windowFiles[0]));
    download({QStringLiteral("-o"), cliCsv});
    EXPECT_EQ(Contents(cliCsv), Contents(windowFiles[1]));
    EXPECT_EQ(download({QStringLiteral("--format"), QStringLiteral("csv")}), Contents(windowFiles[1]));
}

}  // namespace
}  // namespace quorvex::test
