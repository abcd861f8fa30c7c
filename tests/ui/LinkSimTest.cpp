// Link changes against the logger simulator: serial to USB and back, a serial
// port that is unplugged and comes back or is held by another program, HID devices
// leaving, and a logger the user has no rights to open.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <random>
#include <thread>

#include "LinkTestSupport.h"
#include "Pty.h"
#include "SimHidLogger.h"
#include "SimProcess.h"
#include "core/FakeHidBackend.h"
#include "core/SimHidDevice.h"
#include "link/SerialLink.h"
#include "logs/LogDownload.h"
#include "logs/ResultsStore.h"
#include "ui/LinkMenu.h"
#include "ui/MessagesTab.h"
#include "ui/ObjectNames.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTab.h"

namespace quorvex::test {
namespace {

QString StatusPanel(MainWindow& form) {
    return form.findChild<QLabel*>(QString::fromLatin1(objname::kLinkStatusPanel))->text();
}

QStringList HidList(MainWindow& form) {
    QStringList items;
    auto* list = form.findChild<QListWidget*>(QString::fromLatin1(objname::kHidList));
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

QAction* Item(MainWindow& form, const QString& name) {
    auto* item = form.findChild<QAction*>(name);
    EXPECT_NE(item, nullptr) << name.toStdString();
    return item;
}
QAction* UsbItem(MainWindow& form) { return Item(form, QString::fromLatin1(objname::kUsbItem)); }
QAction* OtherItem(MainWindow& form) { return Item(form, QString::fromLatin1(objname::kOtherPortItem)); }

TEST(LinkSim, UsbChosenWhileTheSerialPortIsOpenClosesItAndBackAgain) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    // Reached through a long path, as a terminal deep in a build folder is.
    QTemporaryDir links;
    ASSERT_TRUE(QDir(links.path()).mkpath(QStringLiteral("a-rather-long-folder-of-the-build/sim")));
    const QString link =
        links.filePath(QStringLiteral("a-rather-long-folder-of-the-build/sim/quorvex-logger-terminal"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(sim.LinkPath()), link));
    auto hid = std::make_shared<sim::FakeHidBackend>();
    ThreadWindow w(link, hid);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    // The simulator's terminal is not among the system's ports: it has its own item, ticked.
    EXPECT_FALSE(UsbItem(*w.form)->isChecked());
    EXPECT_TRUE(OtherItem(*w.form)->isChecked());
    EXPECT_EQ(w.form->Messages().Lines().filter(QStringLiteral("Nie znaleziono")).size(), 0);
    // The whole status text is readable, with the request strip right after it.
    auto* panel = w.form->findChild<QLabel*>(QString::fromLatin1(objname::kLinkStatusPanel));
    ASSERT_TRUE(WaitUntil([&] { return StatusPanel(*w.form).contains(link + QStringLiteral(" -otwarty")); }, 3000))
        << StatusPanel(*w.form).toStdString();
    EXPECT_TRUE(WaitUntil(
        [&] { return panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text()); }, 2000))
        << panel->width();
    const int gap = w.form->Strip()->geometry().left() - panel->geometry().right();
    EXPECT_GT(gap, 0);
    EXPECT_LT(gap, 20);

    UsbItem(*w.form)->trigger();
    EXPECT_TRUE(UsbItem(*w.form)->isChecked());
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->LinkState() == TransmissionThread::LINK_HID_ABSENT; }));
    ASSERT_TRUE(WaitUntil([&] { return StatusPanel(*w.form).contains(QStringLiteral("-kabel odłączony")); }));
    EXPECT_TRUE(StatusPanel(*w.form).contains(QStringLiteral("USB")));
    EXPECT_GT(hid->EnumerateCalls(), 0);
    {
        // The thread let go of the port: it can be opened exclusively again.
        SerialLink probe;
        EXPECT_TRUE(probe.OpenPort(link)) << probe.LastMessage().toStdString();
        probe.ClosePort();
    }
    RunFor(300);
    EXPECT_EQ(w.Boxes(objname::kPortErrorBox), 0);
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);

    // The terminal the run started with is offered after the port items.
    QAction* back = OtherItem(*w.form);
    ASSERT_TRUE(back->isVisible());
    EXPECT_EQ(back->text(), link);
    const QList<QAction*> items = w.form->findChild<QMenu*>(QString::fromLatin1(objname::kSettingsMenu))->actions();
    EXPECT_GT(items.indexOf(back),
              items.indexOf(Item(*w.form, QString::fromLatin1(objname::kPortItem).arg(kPortMenuItems))));
    back->trigger();
    EXPECT_TRUE(back->isChecked());
    EXPECT_FALSE(UsbItem(*w.form)->isChecked());
    EXPECT_EQ(w.form->Links().Chosen(), link);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_FALSE(w.Edit(objname::kNameField)->text().isEmpty());
}

QStringList Lines(MainWindow& form) { return form.Messages().Lines(); }

TEST(LinkSim, UnpluggedPortIsSaidWithoutABoxAndComesBackAPortHeldElsewhereGetsOneBox) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    const QString link = QString::fromStdString(sim.LinkPath());
    ThreadWindow w(link, std::make_shared<sim::FakeHidBackend>(), kLanguageEnglish);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    const QString unplugged = QStringLiteral("Port ") + link + QStringLiteral(" disconnected");

    // Unplugged twice over: the device is gone and so is its name. The status line, the state
    // panel and the message list say so; no box, however often the thread tries again.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        sim.Kill();
        QFile::remove(link);
        ASSERT_TRUE(WaitUntil([&] { return w.form->LastStateCode() == 15; }));
        RunFor(800);
        EXPECT_EQ(w.Boxes(objname::kPortErrorBox), 0);
        EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
        EXPECT_TRUE(w.Edit(objname::kNameField)->text().isEmpty());
        EXPECT_EQ(w.form->StateText(),
                  QStringLiteral("Port disconnected\nThe link comes back by itself when the port is plugged in"));
        EXPECT_EQ(StatusPanel(*w.form),
                  QStringLiteral("Selected port ") + link + QStringLiteral(" -cable disconnected"));
        EXPECT_EQ(Lines(*w.form).filter(unplugged).size(), round) << Lines(*w.form).join(u'|').toStdString();

        ASSERT_TRUE(sim.Restart());
        ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }, 30000));
        EXPECT_EQ(w.Boxes(objname::kPortErrorBox), 0);
    }

    // A port another program holds, chosen: said in one box, and on the state panel.
    Pty held;
    SerialLink other;
    ASSERT_TRUE(other.OpenPort(QString::fromStdString(held.SlavePath())));
    w.form->ChooseLink(QString::fromStdString(held.SlavePath()));
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes(objname::kPortErrorBox) == 1; }));
    EXPECT_EQ(w.form->LastStateCode(), 12);
    RunFor(800);
    EXPECT_EQ(w.Boxes(objname::kPortErrorBox), 1);
    EXPECT_EQ(Lines(*w.form).filter(QStringLiteral("is opened by another application")).size(), 1);
}

// A whole download over USB while the window thread is now and then busy for 200 ms and a
// mouse comes and goes: the logger keeps its handle and no report of any reply is lost.
TEST(LinkSim, DownloadThroughABusyWindowAndForeignDeviceChangesLosesNoRecord) {
    SimHidLogger logger;
    auto backend = logger.Backend();
    sim::FakeHidDevice mouse;
    mouse.Path = "/dev/hidraw-mouse";
    mouse.Product = "USB Optical Mouse";
    const int mouseIndex = backend->AddDevice(mouse);
    // Given in lower case, as on a command line: the menu's spelling is the link's.
    ThreadWindow w(QStringLiteral("usb"), backend);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ParamsReady(); }, 30000));
    EXPECT_TRUE(UsbItem(*w.form)->isChecked());
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("USB"));
    EXPECT_EQ(w.form->Thread()->LinkName(), QStringLiteral("USB"));
    EXPECT_EQ(w.Boxes(objname::kPortErrorBox), 0);
    std::mt19937 random(15);
    int busySpells = 0;
    QTimer busy;
    busy.setSingleShot(true);
    QObject::connect(&busy, &QTimer::timeout, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ++busySpells;
        busy.start(std::uniform_int_distribution<int>(50, 400)(random));
    });
    bool mousePresent = true;
    QTimer mouseChanges;
    QObject::connect(&mouseChanges, &QTimer::timeout, [&] {
        mousePresent = !mousePresent;
        backend->SetPresent(mouseIndex, mousePresent);
        w.form->onHidDeviceChanged(mousePresent, QStringLiteral("/dev/hidraw-mouse"));
    });
    busy.start(10);
    mouseChanges.start(170);
    w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kStartReadButton))->click();
    ASSERT_TRUE(WaitUntil([&] { return w.form->ResultsPage().Download().GetState() == LogDownload::Finished; }, 60000));
    busy.stop();
    mouseChanges.stop();

    // Every reply passed its CRC (counters below); none may be missing.
    EXPECT_GT(busySpells, 5);
    EXPECT_EQ(static_cast<int>(sim::Scenario{}.recordCount) - w.results.Count(), 0) << "records lost";
    EXPECT_EQ(backend->DroppedReports(logger.Device()), 0u);
    EXPECT_EQ(backend->OpenCalls(logger.Device()), 1) << "the logger was never reopened";
    EXPECT_EQ(backend->OpenCalls(mouseIndex), 0);
    const TransmissionCounters c = w.form->Thread()->Counters();
    EXPECT_EQ(c.NoResponseCount + c.FrameTooShortCount + c.FrameTooLongCount + c.CrcErrorCount, 0u);

    // The logger's own node going away is another matter: closed and looked for afresh.
    w.form->onHidDeviceChanged(false, QStringLiteral("/dev/hidraw-sim"));
    EXPECT_TRUE(WaitUntil([&] { return backend->OpenCalls(logger.Device()) == 2; }));
}

TEST(LinkSim, LoggerWithoutAccessRightsIsReportedOncePerEpisode) {
    SimHidLogger logger;
    auto backend = logger.Backend();
    backend->SetAccessDenied(logger.Device(), true);
    ThreadWindow w(QStringLiteral("USB"), backend, kLanguageGerman);
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes(objname::kHidDeniedBox) == 1; }));
    auto* box = w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kHidDeniedBox));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Fehler"));
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("Der Datenlogger wurde gefunden")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("70-quorvex-logger.rules")));
    EXPECT_EQ(w.form->Thread()->LinkState(), TransmissionThread::LINK_HID_ABSENT);
    // Still listed: the device is there, only closed to this user.
    EXPECT_TRUE(HidList(*w.form).contains(QStringLiteral("Logger")));
    RunFor(600);
    EXPECT_EQ(w.Boxes(objname::kHidDeniedBox), 1);

    // Rights granted: the logger connects; refused again after a replug is a new episode.
    box->close();
    backend->SetAccessDenied(logger.Device(), false);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_EQ(w.Boxes(objname::kHidDeniedBox), 0);
    logger.SetPresent(false);
    w.form->onHidDeviceChanged(false, QStringLiteral("/dev/hidraw-sim"));
    backend->SetAccessDenied(logger.Device(), true);
    logger.SetPresent(true);
    w.form->onHidDeviceChanged(true, QStringLiteral("/dev/hidraw-sim"));
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes(objname::kHidDeniedBox) == 1; }));
}

bool ResetSent(MainWindow& form) {
    for (const Request& r : form.Thread()->History())
        if (r.Function == FN_RESET_COMMAND && r.Status != STATUS_NEW) return true;
    return false;
}

TEST(LinkSim, LoggerThatCannotTalkSaysSoOnceAndTheResetWaitsForOneThatCan) {
    auto backend = std::make_shared<sim::FakeHidBackend>();
    sim::FakeHidDevice odd;
    odd.Path = "/dev/hidraw-odd";
    odd.Product = "Logger";
    odd.Numbered = true;
    const int oddIndex = backend->AddDevice(odd);
    ThreadWindow w(QStringLiteral("USB"), backend, kLanguageEnglish);
    ASSERT_TRUE(WaitUntil([&] { return w.form->LastStateCode() == 25; }));
    EXPECT_EQ(w.form->StateText(), QStringLiteral("Logger connected but not usable\nUnsupported USB report format"));
    RunFor(2500);  // looked at again and again meanwhile
    const QStringList said = Lines(*w.form).filter(QStringLiteral("/dev/hidraw-odd"));
    ASSERT_EQ(said.size(), 1) << Lines(*w.form).join(u'|').toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("numerowane"))) << said[0].toStdString();

    // Nothing to reset: refused, and not kept for the next logger either.
    w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kResetButton))->click();
    EXPECT_EQ(w.Boxes(objname::kResetRefusedBox), 1);
    EXPECT_EQ(w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kResetRefusedBox))->text(),
              QStringLiteral("No logger is connected - the reset was not sent."));

    // Swapped for a logger that works.
    backend->SetPresent(oddIndex, false);
    w.form->onHidDeviceChanged(false, QStringLiteral("/dev/hidraw-odd"));
    ASSERT_TRUE(WaitUntil([&] { return w.form->LastStateCode() == 20; }, 5000));
    sim::SimLogger simLogger;
    backend->AddDevice(sim::MakeSimHidDevice(simLogger, "/dev/hidraw-good"));
    w.form->onHidDeviceChanged(true, QStringLiteral("/dev/hidraw-good"));
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_FALSE(ResetSent(*w.form));
    w.form->findChild<QPushButton*>(QString::fromLatin1(objname::kResetButton))->click();
    EXPECT_TRUE(WaitUntil([&] { return ResetSent(*w.form); }));
    EXPECT_EQ(w.Boxes(objname::kResetRefusedBox), 1) << "no second refusal";
}

}  // namespace
}  // namespace quorvex::test
