// The settings menu's link items: building them from a port list, the check
// mark, and the operator's choice.
#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QSettings>

#include <fstream>

#include <grp.h>
#include <unistd.h>

#include "EventLoopWait.h"
#include "Pty.h"
#include "UiTestSupport.h"
#include "link/DeviceWatcher.h"
#include "ui/LinkMenu.h"
#include "ui/MessagesTab.h"
#include "ui/ObjectNames.h"
#include "ui/PortMenu.h"

namespace quorvex::test {
namespace {

const QString kTooMany = QStringLiteral("Funkcja MenuPortComInit. Wykryto więcej portów niż sześć");
const QString kNotFound = QStringLiteral("Funkcja PortComSelected. Nie znaleziono nazwy portu.");

QList<SerialPortEntry> EightPorts() {
    // Listed out of order, device names in mixed case.
    return {{QStringLiteral("ttyUSB1"), QStringLiteral("/dev/ttyUSB1")},
            {QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0")},
            {QStringLiteral("TTYACM0"), QStringLiteral("/dev/TTYACM0")},
            {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")},
            {QStringLiteral("ttyS1"), QStringLiteral("/dev/ttyS1")},
            {QStringLiteral("ttyacm1"), QStringLiteral("/dev/ttyacm1")},
            {QStringLiteral("rfcomm0"), QStringLiteral("/dev/rfcomm0")},
            {QStringLiteral("ttyAMA0"), QStringLiteral("/dev/ttyAMA0")}};
}

QStringList Lines(MainWindow& form) { return form.Messages().Lines(); }

QAction* Item(MainWindow& form, const QString& name) {
    auto* item = form.findChild<QAction*>(name);
    EXPECT_NE(item, nullptr) << name.toStdString();
    return item;
}
QAction* UsbItem(MainWindow& form) { return Item(form, QString::fromLatin1(objname::kUsbItem)); }
QAction* OtherItem(MainWindow& form) { return Item(form, QString::fromLatin1(objname::kOtherPortItem)); }
// The k-th serial port item, from 0.
QAction* PortItem(MainWindow& form, int k) { return Item(form, QString::fromLatin1(objname::kPortItem).arg(k + 1)); }

QAction* Checked(MainWindow& form) {
    QAction* found = UsbItem(form)->isChecked() ? UsbItem(form) : nullptr;
    QList<QAction*> items;
    for (int k = 0; k < kPortMenuItems; ++k) items << PortItem(form, k);
    items << OtherItem(form);
    for (QAction* item : items)
        if (item->isChecked()) {
            EXPECT_EQ(found, nullptr) << "two items checked";
            found = item;
        }
    return found;
}

TEST(PortMenuPlan, OrderedByDeviceNameIgnoringCaseAndCutAtSix) {
    const PortMenuPlan plan = PlanPortMenu(EightPorts());
    EXPECT_TRUE(plan.TooMany);
    EXPECT_EQ(plan.Captions, (QStringList{"/dev/rfcomm0", "/dev/TTYACM0", "/dev/ttyacm1", "/dev/ttyAMA0", "/dev/ttyS0",
                                          "/dev/ttyS1"}));

    QList<SerialPortEntry> six = EightPorts().mid(0, 6);
    const PortMenuPlan exact = PlanPortMenu(six);
    EXPECT_FALSE(exact.TooMany);
    EXPECT_EQ(exact.Captions.size(), 6);
    EXPECT_TRUE(PlanPortMenu({}).Captions.isEmpty());
}

TEST(LinkMenu, EightPortsFillSixItemsAndSayThereAreMore) {
    WindowFixture w;
    EXPECT_FALSE(Lines(*w.form).contains(kTooMany));
    w.form->Links().Fill(EightPorts());
    const QStringList expected{"/dev/rfcomm0", "/dev/TTYACM0", "/dev/ttyacm1",
                               "/dev/ttyAMA0", "/dev/ttyS0",   "/dev/ttyS1"};
    for (int i = 0; i < kPortMenuItems; ++i) {
        QAction* item = w.form->findChild<QAction*>(QString::fromLatin1(objname::kPortItem).arg(i + 1));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isVisible());
        EXPECT_EQ(item->text(), expected[i]);
    }
    EXPECT_TRUE(Lines(*w.form).contains(kTooMany));
}

TEST(LinkMenu, FewerPortsLeaveTheOtherItemsHiddenWithTheirDesignCaptions) {
    WindowFixture w;
    w.form->Links().Fill(EightPorts().mid(0, 2));
    EXPECT_EQ(PortItem(*w.form, 0)->text(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortItem(*w.form, 1)->text(), QStringLiteral("/dev/ttyUSB1"));
    for (int i = 2; i < kPortMenuItems; ++i) {
        EXPECT_FALSE(PortItem(*w.form, i)->isVisible());
        EXPECT_EQ(PortItem(*w.form, i)->text(), QStringLiteral("Com%1").arg(i + 1));
    }
    EXPECT_FALSE(Lines(*w.form).contains(kTooMany));
    // A hidden item is no link: its design caption does not match.
    w.form->Links().Select(QStringLiteral("com4"));
    EXPECT_EQ(Checked(*w.form), nullptr);
}

TEST(LinkMenu, StoredNameInLowerCaseChecksItsItem) {
    WindowFixture w(QStringLiteral("[Okno]\nPortCom=/dev/ttyusb0\n"), true);
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("/dev/ttyusb0"));
    w.form->Links().Fill(EightPorts().mid(0, 4));
    const qsizetype before = Lines(*w.form).size();
    w.form->Links().Select(w.form->Links().Chosen());
    EXPECT_EQ(Checked(*w.form), PortItem(*w.form, 2));
    EXPECT_EQ(PortItem(*w.form, 2)->text(), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(Lines(*w.form).size(), before);
    w.form->Links().Select(QStringLiteral("usb"));
    EXPECT_EQ(Checked(*w.form), UsbItem(*w.form));
}

TEST(LinkMenu, UnlistedStoredNameGetsItsOwnTickedItemAndIsStillKept) {
    WindowFixture w(QStringLiteral("[Okno]\nPortCom=/dev/quorvex-gone\n"), true);
    // onShown selected the stored name already, on an item of its own.
    EXPECT_EQ(Checked(*w.form), OtherItem(*w.form));
    EXPECT_FALSE(Lines(*w.form).contains(kNotFound));
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("/dev/quorvex-gone"));
    // A name that matches no item at all checks nothing and says so.
    w.form->Links().Select(QStringLiteral("/dev/quorvex-other"));
    EXPECT_EQ(Checked(*w.form), nullptr);
    EXPECT_TRUE(Lines(*w.form).contains(kNotFound));
    w.Close();
    QSettings s(w.path, QSettings::IniFormat);
    EXPECT_EQ(s.value("Okno/PortCom").toString(), QStringLiteral("/dev/quorvex-gone"));
}

TEST(LinkMenu, OnlyAStartLinkTheSystemDoesNotListGetsAnItemOfItsOwn) {
    WindowFixture usb;
    EXPECT_FALSE(OtherItem(*usb.form)->isVisible());
    usb.Close();

    // Choosing it again against the simulator is in LinkSimTest.
    WindowFixture w(QStringLiteral("[Okno]\nPortCom=/dev/pts/quorvex\n"), true);
    EXPECT_TRUE(OtherItem(*w.form)->isVisible());
    // Listed by the system after all: its port item takes over.
    w.form->Links().Fill({{QStringLiteral("quorvex"), QStringLiteral("/dev/pts/QUORVEX")}});
    EXPECT_FALSE(OtherItem(*w.form)->isVisible());
    w.form->Links().Select(w.form->Links().Chosen());
    EXPECT_EQ(Checked(*w.form), PortItem(*w.form, 0));
}

QStringList VisibleBoxes(MainWindow& form);

void CloseBoxes(MainWindow& form) {
    for (QMessageBox* box : form.findChildren<QMessageBox*>()) box->close();
    QApplication::processEvents();
}

TEST(LinkMenu, ChoosingAnItemMovesTheCheckResetsTheMonitorAndIsStored) {
    WindowFixture w;
    EXPECT_EQ(Checked(*w.form), UsbItem(*w.form));
    w.form->Links().Fill(EightPorts().mid(0, 3));
    SimLogger sim;
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    // The link so far has had its port error box and its box about a logger without
    // access rights; it was reported absent.
    w.form->HandleMessage(Msg::PortOpenFailed, {}, kPortBusy);
    w.form->HandleMessage(Msg::HidAbsent, {}, kHidAccessDenied);
    ASSERT_EQ(VisibleBoxes(*w.form).size(), 2);
    CloseBoxes(*w.form);
    w.form->HandleMessage(Msg::PortOpenFailed, {}, kPortAccessDenied);
    w.form->HandleMessage(Msg::HidAbsent, {}, kHidAccessDenied);
    EXPECT_TRUE(VisibleBoxes(*w.form).isEmpty());
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);

    PortItem(*w.form, 2)->trigger();
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(Checked(*w.form), PortItem(*w.form, 2));
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    EXPECT_EQ(w.model.ValueCount(), 0);
    // The new link's first failures are told again, and its absence resets the monitor.
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    w.form->HandleMessage(Msg::HidAbsent, {}, kHidAccessDenied);
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    EXPECT_EQ(VisibleBoxes(*w.form), QStringList{QString::fromLatin1(objname::kHidDeniedBox)});
    w.form->HandleMessage(Msg::PortOpenFailed, {}, kPortBusy);
    EXPECT_EQ(VisibleBoxes(*w.form).size(), 2);
    CloseBoxes(*w.form);

    UsbItem(*w.form)->trigger();
    EXPECT_EQ(Checked(*w.form), UsbItem(*w.form));
    w.Close();
    QSettings s(w.path, QSettings::IniFormat);
    EXPECT_EQ(s.value("Okno/PortCom").toString(), QStringLiteral("USB"));
}

// Synthetic events of a tty device through the kernel's event socket, as an adapter's would
// come. Only where no udev daemon would act on them and sysfs may be written.
const char* TtyEventFile() {
    if (DeviceWatcher::UdevDaemonRunning()) return nullptr;
    for (const char* f : {"/sys/class/tty/ttyS0/uevent", "/sys/class/tty/tty0/uevent", "/sys/class/tty/console/uevent"})
        if (::access(f, W_OK) == 0) return f;
    return nullptr;
}

void TtyEvent(const char* file, const char* action) {
    std::ofstream f(file);
    f << action;
}

TEST(LinkMenu, AdaptersPluggedInOrOutUpdateThePortItemsAndKeepTheCheckedOne) {
    const char* events = TtyEventFile();
    if (!events) GTEST_SKIP() << "needs the kernel event source and a writable tty uevent file";
    // The ports as the system would list them, changed by the test as adapters come and go.
    struct ListedPorts : SerialPortSource {
        QList<SerialPortEntry> list;
        QList<SerialPortEntry> Ports() const override { return list; }
    };
    auto source = std::make_shared<ListedPorts>();
    QList<SerialPortEntry>& ports = source->list;
    ports = {{QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0")},
             {QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0")}};
    WindowFixture w;
    w.Close();
    w.serialPorts = source;
    w.Open();
    w.form->Links().Fill();
    PortItem(*w.form, 1)->trigger();
    ASSERT_EQ(Checked(*w.form), PortItem(*w.form, 1));

    // An adapter arrives whose name sorts first: the chosen port moves down and stays checked.
    ports.prepend({QStringLiteral("ttyACM0"), QStringLiteral("/dev/ttyACM0")});
    TtyEvent(events, "add");
    ASSERT_TRUE(WaitUntil([&] { return PortItem(*w.form, 0)->text() == QStringLiteral("/dev/ttyACM0"); }, 3000));
    EXPECT_TRUE(PortItem(*w.form, 2)->isVisible());
    EXPECT_EQ(Checked(*w.form), PortItem(*w.form, 2));
    EXPECT_EQ(PortItem(*w.form, 2)->text(), QStringLiteral("/dev/ttyUSB0"));

    // The chosen adapter goes: its item goes with it, the link stays what was chosen.
    ports = {{QStringLiteral("ttyS0"), QStringLiteral("/dev/ttyS0")}};
    TtyEvent(events, "remove");
    ASSERT_TRUE(WaitUntil([&] { return !PortItem(*w.form, 1)->isVisible(); }, 3000));
    EXPECT_EQ(PortItem(*w.form, 0)->text(), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(PortItem(*w.form, 1)->text(), QStringLiteral("Com2"));
    EXPECT_EQ(Checked(*w.form), nullptr);
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("/dev/ttyUSB0"));
}

QStringList VisibleBoxes(MainWindow& form) {
    QStringList names;
    for (QMessageBox* box : form.findChildren<QMessageBox*>())
        if (box->isVisible()) names << box->objectName();
    return names;
}

TEST(LinkMenu, PortRefusedToTheUserNamesTheDeviceItsGroupAndWhatToDoInOneBox) {
    Pty pty;
    const group* dialout = ::getgrnam("dialout");
    const gid_t gid = dialout ? dialout->gr_gid : 20;
    ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, gid), 0);
    const std::string link = pty.AddSymlink();
    WindowFixture w(QStringLiteral("[Okno]\nPortCom=%1\n").arg(QString::fromStdString(link)), true);
    w.form->ApplyLanguage(kLanguageEnglish);
    w.form->HandleMessage(Msg::PortOpenFailed, {}, kPortAccessDenied);
    ASSERT_EQ(VisibleBoxes(*w.form), QStringList{QString::fromLatin1(objname::kPortAccessBox)});
    const QString group = dialout ? QStringLiteral("dialout") : QString::number(gid);
    auto* box = w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kPortAccessBox));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
    EXPECT_EQ(box->text(), QStringLiteral("No permission to open the port %1 (%2).\n"
                                          "The device belongs to the group \"%3\".\n"
                                          "Add your user to this group, for example:\n"
                                          "    sudo usermod -aG %3 $USER\n"
                                          "Then log out and log in again.")
                               .arg(QString::fromStdString(link), QString::fromStdString(pty.SlavePath()), group));
    // Repeated every 100 ms while it fails: still the one box.
    w.form->HandleMessage(Msg::PortOpenFailed, {}, kPortAccessDenied);
    EXPECT_EQ(VisibleBoxes(*w.form).size(), 1);

    // Another port chosen that fails otherwise: its box takes the place of the first.
    w.form->ChooseLink(QStringLiteral("/dev/quorvex-no-such-port"));
    w.form->HandleMessage(Msg::PortOpenFailed);
    QApplication::processEvents();
    EXPECT_EQ(VisibleBoxes(*w.form), QStringList{QString::fromLatin1(objname::kPortErrorBox)});
}

}  // namespace
}  // namespace quorvex::test
