// Link changes against the logger simulator: serial to USB and back, a serial
// port that disappears and comes back, HID devices leaving, and a logger the
// user has no rights to open.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>

#include "LinkTestSupport.h"
#include "SimHidLogger.h"
#include "SimProcess.h"
#include "core/FakeHidBackend.h"
#include "link/Rs232.h"
#include "ui/RequestStrip.h"

namespace quorvex::test {
namespace {

QString StatusPanel(TMainForm1& form)
{
    return form.findChild<QLabel*>(QStringLiteral("StatusBar1Panel0"))->text();
}

QStringList HidList(TMainForm1& form)
{
    QStringList items;
    for (int i = 0; i < form.ListBoxListaHID->count(); ++i) items << form.ListBoxListaHID->item(i)->text();
    return items;
}

TEST(LinkSim, UsbChosenWhileTheSerialPortIsOpenClosesItAndBackAgain)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    // Reached through a long path, as a terminal deep in a build folder is.
    QTemporaryDir links;
    ASSERT_TRUE(QDir(links.path()).mkpath(QStringLiteral("a-rather-long-folder-of-the-build/sim")));
    const QString link = links.filePath(QStringLiteral("a-rather-long-folder-of-the-build/sim/quorvex-logger-terminal"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(sim.LinkPath()), link));
    auto hid = std::make_shared<sim::FakeHidBackend>();
    ThreadWindow w(link, hid);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    // The simulator's terminal is not among the system's ports: it has its own item, ticked.
    EXPECT_FALSE(w.form->MenuUSB->isChecked());
    EXPECT_TRUE(w.form->MenuComOther->isChecked());
    EXPECT_EQ(w.form->MessageListBox->findItems(QStringLiteral("Nie znaleziono"), Qt::MatchContains).size(), 0);
    // The whole status text is readable, with the request strip right after it.
    QLabel* panel = w.form->StatusPanel0;
    ASSERT_TRUE(WaitUntil([&] { return StatusPanel(*w.form).contains(link + QStringLiteral(" -otwarty")); }, 3000))
        << StatusPanel(*w.form).toStdString();
    EXPECT_TRUE(WaitUntil(
        [&] { return panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text()); }, 2000))
        << panel->width();
    const int gap = w.form->Strip()->geometry().left() - panel->geometry().right();
    EXPECT_GT(gap, 0);
    EXPECT_LT(gap, 20);

    w.form->MenuUSB->trigger();
    EXPECT_TRUE(w.form->MenuUSB->isChecked());
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->LinkState() == ThreadTransmisja::LINK_HID_ABSENT; }));
    ASSERT_TRUE(WaitUntil([&] { return StatusPanel(*w.form).contains(QStringLiteral("-kabel odłączony")); }));
    EXPECT_TRUE(StatusPanel(*w.form).contains(QStringLiteral("USB")));
    EXPECT_GT(hid->EnumerateCalls(), 0);
    {
        // The thread let go of the port: it can be opened exclusively again.
        ObiektRS232 probe;
        EXPECT_TRUE(probe.OpenPort(link)) << probe.LastMessage().toStdString();
        probe.ClosePort();
    }
    RunFor(300);
    EXPECT_EQ(w.Boxes("PortErrorBox"), 0);
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);

    // The terminal the run started with is offered after the port items.
    QAction* back = w.form->MenuComOther;
    ASSERT_TRUE(back->isVisible());
    EXPECT_EQ(back->text(), link);
    const QList<QAction*> items = w.form->MenuSettings->actions();
    EXPECT_GT(items.indexOf(back), items.indexOf(w.form->MenuCom[kPortMenuItems - 1]));
    back->trigger();
    EXPECT_TRUE(back->isChecked());
    EXPECT_FALSE(w.form->MenuUSB->isChecked());
    EXPECT_EQ(w.form->PortName(), link);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_FALSE(w.Edit("EditMonitorNazwaLoggera")->text().isEmpty());
}

TEST(LinkSim, VanishedPortGivesOneErrorBoxAndRecoversWhenBack)
{
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    const QString link = QString::fromStdString(sim.LinkPath());
    ThreadWindow w(link, std::make_shared<sim::FakeHidBackend>(), kLanguageEnglish);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));

    // Unplugged: the device is gone and so is its name.
    sim.Kill();
    QFile::remove(link);
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes("PortErrorBox") == 1; }));
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    EXPECT_TRUE(w.Edit("EditMonitorNazwaLoggera")->text().isEmpty());
    auto* box = w.form->findChild<QMessageBox*>(QStringLiteral("PortErrorBox"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("Unable to open port ") + link + QStringLiteral(".\n")));
    // The thread keeps failing every 100 ms; the operator hears of it once.
    RunFor(800);
    EXPECT_EQ(w.Boxes("PortErrorBox"), 1);
    EXPECT_EQ(w.form->LastStateCode(), 10);

    ASSERT_TRUE(sim.Restart());
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }, 30000));
    EXPECT_FALSE(w.form->portErrorShown);
    EXPECT_EQ(w.Boxes("PortErrorBox"), 1);
}

TEST(LinkSim, RemovingAnotherHidDeviceReopensTheLogger)
{
    SimHidLogger logger;
    auto backend = logger.Backend();
    sim::FakeHidDevice mouse;
    mouse.Path = "/dev/hidraw-mouse";
    mouse.Product = "USB Optical Mouse";
    const int mouseIndex = backend->AddDevice(mouse);
    // Given in lower case, as on a command line: the menu's spelling is the link's.
    ThreadWindow w(QStringLiteral("usb"), backend);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_TRUE(HidList(*w.form).contains(QStringLiteral("USB Optical Mouse")));
    EXPECT_TRUE(HidList(*w.form).contains(QStringLiteral("Logger")));
    EXPECT_TRUE(w.form->MenuUSB->isChecked());
    EXPECT_EQ(w.form->PortName(), QStringLiteral("USB"));
    EXPECT_EQ(w.form->Thread()->LinkName(), QStringLiteral("USB"));
    EXPECT_EQ(w.Boxes("PortErrorBox"), 0);

    const int opensBefore = backend->OpenCalls();
    backend->SetPresent(mouseIndex, false);
    w.form->DeviceChange(false);
    EXPECT_EQ(HidList(*w.form), QStringList{QStringLiteral("Logger")});
    EXPECT_GT(backend->OpenCalls(), opensBefore);
    EXPECT_LE(backend->OpenHandles(), 1);

    // The reopened logger goes on answering.
    const std::uint32_t frames = w.form->Thread()->Counters().FramesReceivedCount;
    ASSERT_TRUE(WaitUntil([&] { return w.form->Thread()->Counters().FramesReceivedCount > frames + 1; }));
    EXPECT_EQ(w.form->Thread()->LinkState(), ThreadTransmisja::LINK_HID_CONNECTED);

    // An arrival only refreshes the list.
    backend->SetPresent(mouseIndex, true);
    const int opensAfter = backend->OpenCalls();
    w.form->DeviceChange(true);
    EXPECT_TRUE(HidList(*w.form).contains(QStringLiteral("USB Optical Mouse")));
    EXPECT_EQ(backend->OpenCalls(), opensAfter);
}

TEST(LinkSim, LoggerWithoutAccessRightsIsReportedOncePerEpisode)
{
    SimHidLogger logger;
    auto backend = logger.Backend();
    backend->SetAccessDenied(logger.Device(), true);
    ThreadWindow w(QStringLiteral("USB"), backend, kLanguageGerman);
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes("HidDeniedBox") == 1; }));
    auto* box = w.form->findChild<QMessageBox*>(QStringLiteral("HidDeniedBox"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Fehler"));
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("Der Datenlogger wurde gefunden")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("70-quorvex-logger.rules")));
    EXPECT_EQ(w.form->Thread()->LinkState(), ThreadTransmisja::LINK_HID_ABSENT);
    // Still listed: the device is there, only closed to this user.
    EXPECT_TRUE(HidList(*w.form).contains(QStringLiteral("Logger")));
    RunFor(600);
    EXPECT_EQ(w.Boxes("HidDeniedBox"), 1);

    // Rights granted: the logger connects; a later refusal is a new episode.
    box->close();
    backend->SetAccessDenied(logger.Device(), false);
    ASSERT_TRUE(WaitUntil([&] { return w.form->ConnectionState() == CONN_READY; }));
    EXPECT_EQ(w.Boxes("HidDeniedBox"), 0);
    backend->SetAccessDenied(logger.Device(), true);
    w.form->ChooseLink(QStringLiteral("USB"));
    w.form->DeviceChange(false);
    ASSERT_TRUE(WaitUntil([&] { return w.Boxes("HidDeniedBox") == 1; }));
}

}  // namespace
}  // namespace quorvex::test
