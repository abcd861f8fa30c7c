// The main window's choice of link: the settings menu's USB and serial port
// items, the check mark, the hand-over to the transmission thread, and the
// reaction to HID devices coming and going.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>

#include "chart/ObjectNames.h"
#include "link/DeviceWatcher.h"
#include "link/SerialLink.h"
#include "modbus/TransmissionThread.h"
#include "ui/MainWindow.h"

namespace quorvex {

void MainWindow::BuildPortMenuItems() {
    for (int i = 0; i < kPortMenuItems; ++i) {
        QAction* item = settingsMenu->addAction(QStringLiteral("Com%1").arg(i + 1));
        item->setObjectName(QString::fromLatin1(objname::kPortItem).arg(i + 1));
        item->setCheckable(true);
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, item] { onPortItemChosen(item); });
        portItems[i] = item;
    }
    otherPortItem = settingsMenu->addAction(QString());
    otherPortItem->setObjectName(QString::fromLatin1(objname::kOtherPortItem));
    otherPortItem->setCheckable(true);
    otherPortItem->setVisible(false);
    connect(otherPortItem, &QAction::triggered, this, [this] { onPortItemChosen(otherPortItem); });
}

bool MainWindow::IsListedLink(const QString& name) const {
    if (name.compare(usbItem->text(), Qt::CaseInsensitive) == 0) return true;
    for (QAction* item : portItems)
        if (item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void MainWindow::OfferStartLink(const QString& name) {
    otherPortItem->setText(name);
    otherPortItem->setVisible(!name.isEmpty() && !IsListedLink(name));
}

void MainWindow::FillPortMenu() {
    systemPorts_ = SerialPorts ? SerialPorts() : SystemSerialPorts();
    FillPortMenu(systemPorts_);
}

void MainWindow::FillPortMenu(const QList<SerialPortEntry>& ports) {
    const PortMenuPlan plan = PlanPortMenu(ports);
    if (plan.TooMany) AddMessageLine(QStringLiteral("Funkcja MenuPortComInit. Wykryto więcej portów niż sześć"));
    for (int i = 0; i < kPortMenuItems; ++i) {
        // Filled again after an adapter went: items without a port hide with their design captions.
        const bool used = i < plan.Captions.size();
        portItems[i]->setText(used ? plan.Captions[i] : QStringLiteral("Com%1").arg(i + 1));
        portItems[i]->setVisible(used);
    }
    // A start link the system lists after all needs no item of its own.
    if (otherPortItem->isVisible() && IsListedLink(otherPortItem->text())) otherPortItem->setVisible(false);
}

void MainWindow::SelectStartLink() {
    // A start link the system does not list gets its item first, so that it is ticked.
    OfferStartLink(portName);
    portName = PortComSelected(portName);
    session_->SetLinkName(portName);
}

void MainWindow::RefreshPortMenu() {
    // Every tty device's coming and going is heard (consoles too): rebuild only when the
    // list of serial ports really changed.
    const QList<SerialPortEntry> ports = SerialPorts ? SerialPorts() : SystemSerialPorts();
    if (ports == systemPorts_) return;
    systemPorts_ = ports;
    QAction* checked = usbItem->isChecked() ? usbItem : otherPortItem->isChecked() ? otherPortItem : nullptr;
    QString checkedPort;
    for (QAction* item : portItems)
        if (item->isChecked()) checkedPort = item->text();
    FillPortMenu(ports);
    // The chosen link stays chosen; only its check mark follows its port to the new place,
    // or goes when the port has gone (the thread goes on trying it as before).
    for (QAction* item : portItems) {
        item->setChecked(false);
        if (!checked && !checkedPort.isEmpty() && item->isVisible() && item->text() == checkedPort) checked = item;
    }
    if (checked == otherPortItem && !otherPortItem->isVisible()) {
        // The start link's own item gave way to a port item of the same name.
        otherPortItem->setChecked(false);
        checked = nullptr;
        for (QAction* item : portItems)
            if (!checked && item->isVisible() && item->text().compare(otherPortItem->text(), Qt::CaseInsensitive) == 0)
                checked = item;
    }
    if (checked) checked->setChecked(true);
}

QString MainWindow::PortComSelected(const QString& name) {
    // The new link's first failure is reported again.
    portErrorShown = false;
    portRefusal.reset();
    hidAbsentShown = false;
    hidDeniedShown = false;
    usbItem->setChecked(false);
    for (QAction* item : portItems) item->setChecked(false);
    otherPortItem->setChecked(false);
    // Only items that show a port can be chosen; hidden ones keep their design captions.
    QAction* match = nullptr;
    if (name.compare(usbItem->text(), Qt::CaseInsensitive) == 0) match = usbItem;
    for (QAction* item : portItems)
        if (!match && item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) match = item;
    if (!match && otherPortItem->isVisible() && name.compare(otherPortItem->text(), Qt::CaseInsensitive) == 0)
        match = otherPortItem;
    if (!match) {
        AddMessageLine(QStringLiteral("Funkcja PortComSelected. Nie znaleziono nazwy portu."));
        return name;
    }
    match->setChecked(true);
    // The item's spelling is the link's: the thread takes "USB" only as written so, and
    // device paths are case-sensitive.
    return match->text();
}

void MainWindow::onPortItemChosen(QAction* item) {
    if (item) ChooseLink(item->text());
}

void MainWindow::ChooseLink(const QString& name) {
    portName = PortComSelected(name);
    portForThisRun_ = false;
    session_->SetLinkName(portName);
    MonitorReset();
}

void MainWindow::StartDeviceWatcher() {
    if (!ttyWatcher_) {
        // Serial adapters (ttyUSB*, ttyACM*) plugged in or out while the program runs.
        ttyWatcher_ = new DeviceWatcher(this, QStringLiteral("tty"));
        if (ttyWatcher_->Start()) {
            connect(ttyWatcher_, &DeviceWatcher::arrived, this, [this] { RefreshPortMenu(); });
            connect(ttyWatcher_, &DeviceWatcher::removed, this, [this] { RefreshPortMenu(); });
        }
    }
    if (watcher_ || !Thread()) return;
    watcher_ = new DeviceWatcher(this);
    if (!watcher_->Start()) {
        AddMessageLine(QStringLiteral("Funkcja StartDeviceWatcher. ") + watcher_->Error());
        return;
    }
    connect(watcher_, &DeviceWatcher::arrived, this, [this](const QString& node) { onHidDeviceChanged(true, node); });
    connect(watcher_, &DeviceWatcher::removed, this, [this](const QString& node) { onHidDeviceChanged(false, node); });
}

void MainWindow::onHidDeviceChanged(bool arrival, const QString& node) {
    if (destroyed_) return;
    FillHidList();
    // The thread decides and does the rest itself, between two of its own HID calls: an
    // arrival lets it look for an absent logger at once; a removal closes and reopens the
    // logger only when the node that went is the logger's (or no logger is open).
    if (arrival)
        session_->HidDeviceArrived();
    else
        session_->HidDeviceRemoved(node);
}

void MainWindow::ShowHidAccessDenied() {
    auto* box = new QMessageBox(
        QMessageBox::Warning, translator->Tr(QStringLiteral("[1020]Błąd")),
        translator->Tr(QStringLiteral("[2010]Logger został znaleziony, ale system odmówił dostępu do niego.")) +
            QLatin1Char('\n') +
            translator->Tr(QStringLiteral("[2011]Zainstaluj regułę udev 70-quorvex-logger.rules w katalogu "
                                          "/etc/udev/rules.d i podłącz Logger ponownie.")),
        QMessageBox::Ok, this);
    box->setObjectName(QString::fromLatin1(objname::kHidDeniedBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
    box->open();
}

void MainWindow::PortOpenFailed(LinkEvent refusal) {
    if (portRefusal == refusal) return;
    portRefusal = refusal;
    MonitorReset();
    UpdateLoggerState();
    ShowLinkStatus();
    const QString name = CurrentLinkName();
    switch (refusal) {
    case LinkEvent::PortMissing:
        AddMessageLine(TranslateText(QStringLiteral("[2700]Port %1 odłączony; połączenie wróci samo, gdy port "
                                                    "zostanie podłączony"))
                           .arg(name));
        break;
    case LinkEvent::PortBusy:
        AddMessageLine(TranslateText(QStringLiteral("[2701]Port %1 jest otwarty przez inną aplikację")).arg(name));
        break;
    case LinkEvent::PortAccessDenied:
        AddMessageLine(translator->Tr(QStringLiteral("[2083]Brak uprawnień do otwarcia portu")) + u' ' + name);
        break;
    default:
        break;
    }
    // Unplugging is normal at a desk: the status line, the state panel and the message list say
    // so and the link comes back by itself, without a box. A port held by another program or
    // refused to this user gets one box for the link chosen, before it ever opened.
    if (refusal == LinkEvent::PortMissing) {
        if (portErrorBox_) portErrorBox_->close();
        return;
    }
    if (portErrorShown) return;
    portErrorShown = true;
    ShowPortError(refusal == LinkEvent::PortAccessDenied);
}

void MainWindow::ShowPortError(bool accessDenied) {
    QString text;
    if (accessDenied) {
        // On Linux the usual reason: the user is not in the group that owns the device node.
        const QString name = CurrentLinkName();
        const QString device = SerialDeviceLocation(name);
        const QString group = DeviceOwnerGroup(device);
        text = translator->Tr(QStringLiteral("[2083]Brak uprawnień do otwarcia portu")) + QLatin1Char(' ') + name;
        if (device != name) text += QStringLiteral(" (") + device + QLatin1Char(')');
        text += QStringLiteral(".\n");
        if (!group.isEmpty())
            text += translator->Tr(QStringLiteral("[2084]Urządzenie należy do grupy")) + QStringLiteral(" \"") + group +
                    QStringLiteral("\".\n") +
                    translator->Tr(QStringLiteral("[2085]Dodaj swojego użytkownika do tej grupy, na przykład:")) +
                    QStringLiteral("\n    sudo usermod -aG ") + group + QStringLiteral(" $USER\n");
        text += translator->Tr(QStringLiteral("[2086]Następnie wyloguj się i zaloguj ponownie."));
    } else {
        text = translator->Tr(QStringLiteral("[1000]Wystąpił błąd otwarcia portu:")) + QLatin1Char(' ') +
               CurrentLinkName() + QStringLiteral(".\n") +
               translator->Tr(QStringLiteral("[1001]Port nie istnieje lub jest otwarty\n przez inną aplikację."));
    }
    // One port error box at a time: a later failure (another port chosen meanwhile) takes its place.
    if (portErrorBox_) portErrorBox_->close();
    auto* box = new QMessageBox(QMessageBox::Critical, translator->Tr(QStringLiteral("[1020]Błąd")), text,
                                QMessageBox::Ok, this);
    box->setObjectName(accessDenied ? QString::fromLatin1(objname::kPortAccessBox)
                                    : QString::fromLatin1(objname::kPortErrorBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    portErrorBox_ = box;
    // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
    box->open();
}

}  // namespace quorvex
