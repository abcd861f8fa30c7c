// The window's automatic download through the fake HID backend: a logger plugged in is read, its
// results file written into the chosen folder and the desktop told; one unplugged in the middle
// keeps what arrived, and the next connection reads only the rest.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>

#include "LinkTestSupport.h"
#include "SimHidLogger.h"
#include "logs/ResultsStore.h"
#include "settings/IniFile.h"
#include "ui/ObjectNames.h"

namespace quorvex::test {
namespace {

TEST(AutoDownload, PluggedInItIsReadFiledAndToldAndAnUnplugMidReadGoesOnNextTime) {
    // The third log read answers late: time to unplug the logger in the middle.
    SimHidLogger logger({"delay at=3 register=144 ms=1500"});
    logger.SetPresent(false);
    ThreadWindow w(QStringLiteral("USB"), logger.Backend());
    QTemporaryDir folder;
    const QStringList& notes = w.prompts.notes;  // the desktop notifications
    w.prompts.folders = {folder.path()};
    auto* folderItem = w.form->findChild<QAction*>(QString::fromLatin1(objname::kAutoFolderItem));
    folderItem->trigger();
    EXPECT_EQ(folderItem->toolTip(), folder.path());
    w.form->findChild<QAction*>(QString::fromLatin1(objname::kAutoReadItem))->setChecked(true);
    EXPECT_TRUE(IniFile(w.form->SettingsFilePath()).ReadBool(kWindowSection, QStringLiteral("AutoDownload"), false));
    auto plug = [&](bool in) {
        logger.SetPresent(in);
        w.form->onHidDeviceChanged(in, QStringLiteral("/dev/hidraw-sim"));
    };

    plug(true);
    ASSERT_TRUE(WaitUntil([&] { return w.results.Count() >= 124; }, 30000));
    plug(false);
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 1; }, 30000));
    const QRegularExpression cut(QStringLiteral("^Logger Magazyn próbek – Łódź: Odczyt przerwany: (\\d+) now"));
    const auto m = cut.match(notes[0]);
    ASSERT_TRUE(m.hasMatch()) << notes[0].toStdString();
    const int first = m.captured(1).toInt();
    EXPECT_GE(first, 124);
    EXPECT_LT(first, 250);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());  // no file of a log not all read

    plug(true);
    ASSERT_TRUE(WaitUntil([&] { return notes.size() == 2; }, 30000));
    // The count agrees with its noun ("2 nowe rekordy", "5 nowych rekordów").
    EXPECT_EQ(notes[1], QStringLiteral("Logger Magazyn próbek – Łódź: ") +
                            CountForm(QStringLiteral("%1 nowy rekord|%1 nowe rekordy|%1 nowych rekordów"), 250 - first)
                                .arg(250 - first));
    EXPECT_EQ(w.results.Count(), 250);
    // The results file, signed as every file the program writes.
    const QStringList files = QDir(folder.path()).entryList({QStringLiteral("*.txt")}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(QDir(folder.path()).filePath(files[0] + QStringLiteral(".minisig"))));
    EXPECT_TRUE(files[0].contains(QStringLiteral("0019A7F3"))) << files[0].toStdString();
    QFile file(QDir(folder.path()).filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 7 + 250);
    // The archive holds the log now: only what is new can be asked for.
    EXPECT_TRUE(w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kNewReadButton))->isEnabled());
}

}  // namespace
}  // namespace quorvex::test
