// The main window's choice of link: the settings menu's USB and serial port
// items, the check mark, the hand-over to the transmission thread, and the
// reaction to HID devices coming and going.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>

#include "link/DeviceWatcher.h"
#include "modbus/Threadtransmisja.h"
#include "ui/Mainform.h"

namespace quorvex {

void TMainForm1::BuildPortMenuItems()
{
    for (int i = 0; i < kPortMenuItems; ++i) {
        QAction* item = MenuSettings->addAction(QStringLiteral("Com%1").arg(i + 1));
        item->setObjectName(QStringLiteral("MenuCom%1").arg(i + 1));
        item->setCheckable(true);
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, item] { MenuComClick(item); });
        MenuCom[i] = item;
    }
    MenuComOther = MenuSettings->addAction(QString());
    MenuComOther->setObjectName(QStringLiteral("MenuComOther"));
    MenuComOther->setCheckable(true);
    MenuComOther->setVisible(false);
    connect(MenuComOther, &QAction::triggered, this, [this] { MenuComClick(MenuComOther); });
}

bool TMainForm1::IsListedLink(const QString& name) const
{
    if (name.compare(MenuUSB->text(), Qt::CaseInsensitive) == 0) return true;
    for (QAction* item : MenuCom)
        if (item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void TMainForm1::OfferStartLink(const QString& name)
{
    MenuComOther->setText(name);
    MenuComOther->setVisible(!name.isEmpty() && !IsListedLink(name));
}

void TMainForm1::MenuPortComInit() { MenuPortComInit(SystemSerialPorts()); }

void TMainForm1::MenuPortComInit(const QList<SerialPortEntry>& ports)
{
    const PortMenuPlan plan = PlanPortMenu(ports);
    if (plan.TooMany) AddMessageLine(QStringLiteral("Funkcja MenuPortComInit. Wykryto więcej portów niż sześć"));
    for (int i = 0; i < plan.Captions.size(); ++i) {
        MenuCom[i]->setText(plan.Captions[i]);
        MenuCom[i]->setVisible(true);
    }
    // A start link the system lists after all needs no item of its own.
    if (MenuComOther->isVisible() && IsListedLink(MenuComOther->text())) MenuComOther->setVisible(false);
}

void TMainForm1::SelectStartLink()
{
    // A start link the system does not list gets its item first, so that it is ticked.
    OfferStartLink(portName);
    portName = PortComSelected(portName);
    if (thread && thread->LinkName() != portName) thread->SetLinkName(portName);
}

QString TMainForm1::PortComSelected(const QString& name)
{
    // The new link's first failure is reported again.
    portErrorShown = false;
    hidAbsentShown = false;
    hidDeniedShown = false;
    MenuUSB->setChecked(false);
    for (QAction* item : MenuCom) item->setChecked(false);
    MenuComOther->setChecked(false);
    // Only items that show a port can be chosen; hidden ones keep their design captions.
    QAction* match = nullptr;
    if (name.compare(MenuUSB->text(), Qt::CaseInsensitive) == 0) match = MenuUSB;
    for (QAction* item : MenuCom)
        if (!match && item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) match = item;
    if (!match && MenuComOther->isVisible() && name.compare(MenuComOther->text(), Qt::CaseInsensitive) == 0)
        match = MenuComOther;
    if (!match) {
        AddMessageLine(QStringLiteral("Funkcja PortComSelected. Nie znaleziono nazwy portu."));
        return name;
    }
    match->setChecked(true);
    // The item's spelling is the link's: the thread takes "USB" only as written so, and
    // device paths are case-sensitive.
    return match->text();
}

void TMainForm1::MenuComClick(QAction* item)
{
    if (item) ChooseLink(item->text());
}

void TMainForm1::ChooseLink(const QString& name)
{
    portName = PortComSelected(name);
    if (thread) thread->SetLinkName(portName);
    MonitorReset();
}

void TMainForm1::StartDeviceWatcher()
{
    if (watcher_ || !thread) return;
    watcher_ = new DeviceWatcher(this);
    if (!watcher_->Start()) {
        AddMessageLine(QStringLiteral("Funkcja StartDeviceWatcher. ") + watcher_->Error());
        return;
    }
    connect(watcher_, &DeviceWatcher::arrived, this, [this] { DeviceChange(true); });
    connect(watcher_, &DeviceWatcher::removed, this, [this] { DeviceChange(false); });
}

void TMainForm1::DeviceChange(bool arrival)
{
    if (destroyed_) return;
    FillHidList();
    if (arrival || !thread) return;
    // The logger may have been the device that went: close it and open it again if it is
    // still there. The thread's own HID calls and this one take turns on the HID lock; on a
    // serial link the thread does not use the HID logger, so there is nothing to reopen.
    if (thread->LinkName() == ThreadTransmisja::kUsbLinkName) thread->ReopenHid();
}

void TMainForm1::ShowHidAccessDenied()
{
    auto* box = new QMessageBox(
        QMessageBox::Warning, translator->Tr(QStringLiteral("[1020]Błąd")),
        translator->Tr(QStringLiteral("[2010]Logger został znaleziony, ale system odmówił dostępu do niego.")) +
            QLatin1Char('\n') +
            translator->Tr(QStringLiteral("[2011]Zainstaluj regułę udev 70-quorvex-logger.rules w katalogu "
                                          "/etc/udev/rules.d i podłącz Logger ponownie.")),
        QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("HidDeniedBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
    box->open();
}

}  // namespace quorvex
