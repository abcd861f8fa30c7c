#include "ui/LinkMenu.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "link/DeviceWatcher.h"
#include "link/SerialLink.h"
#include "modbus/Messages.h"
#include "ui/ObjectNames.h"

namespace quorvex {

LinkMenu::LinkMenu(QMenu& menu, QWidget& window, Translator& translator, std::shared_ptr<const SerialPortSource> ports)
    : QObject(&menu),
      window_(window),
      translator_(translator),
      ports_(ports ? std::move(ports) : std::make_shared<SystemPortSource>()) {
    const auto add = [this, &menu](const QString& caption, const QString& name) {
        QAction* item = menu.addAction(caption);
        item->setObjectName(name);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item] { emit picked(item->text()); });
        return item;
    };
    usbItem_ = add(kUsbLink, QString::fromLatin1(objname::kUsbItem));
    for (int i = 0; i < kPortMenuItems; ++i) {
        portItems_[i] = add(QStringLiteral("Com%1").arg(i + 1), QString::fromLatin1(objname::kPortItem).arg(i + 1));
        portItems_[i]->setVisible(false);
    }
    otherPortItem_ = add(QString(), QString::fromLatin1(objname::kOtherPortItem));
    otherPortItem_->setVisible(false);
}

void LinkMenu::SetStartLink(const QString& name) {
    // The thread starts on the link at once: give it the menu's spelling before the menu
    // exists, or "usb" would be tried as a serial device.
    chosen_ = MenuSpelling(name, ports_->Ports());
}

bool LinkMenu::IsListed(const QString& name) const {
    if (name.compare(usbItem_->text(), Qt::CaseInsensitive) == 0) return true;
    for (QAction* item : portItems_)
        if (item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void LinkMenu::OfferStartLink(const QString& name) {
    otherPortItem_->setText(name);
    otherPortItem_->setVisible(!name.isEmpty() && !IsListed(name));
}

void LinkMenu::Fill() {
    systemPorts_ = ports_->Ports();
    Fill(systemPorts_);
}

void LinkMenu::Fill(const QList<SerialPortEntry>& ports) {
    const PortMenuPlan plan = PlanPortMenu(ports);
    if (plan.TooMany) emit note(QStringLiteral("Funkcja MenuPortComInit. Wykryto więcej portów niż sześć"));
    for (int i = 0; i < kPortMenuItems; ++i) {
        // Filled again after an adapter went: items without a port hide with their design captions.
        const bool used = i < plan.Captions.size();
        portItems_[i]->setText(used ? plan.Captions[i] : QStringLiteral("Com%1").arg(i + 1));
        portItems_[i]->setVisible(used);
    }
    // A start link the system lists after all needs no item of its own.
    if (otherPortItem_->isVisible() && IsListed(otherPortItem_->text())) otherPortItem_->setVisible(false);
}

void LinkMenu::SelectStartLink() {
    // A start link the system does not list gets its item first, so that it is ticked.
    OfferStartLink(chosen_);
    Choose(chosen_);
}

void LinkMenu::Refresh() {
    // Every tty device's coming and going is heard (consoles too): rebuild only when the
    // list of serial ports really changed.
    const QList<SerialPortEntry> ports = ports_->Ports();
    if (ports == systemPorts_) return;
    systemPorts_ = ports;
    QAction* checked = usbItem_->isChecked() ? usbItem_ : otherPortItem_->isChecked() ? otherPortItem_ : nullptr;
    QString checkedPort;
    for (QAction* item : portItems_)
        if (item->isChecked()) checkedPort = item->text();
    Fill(ports);
    // The chosen link stays chosen; only its check mark follows its port to the new place,
    // or goes when the port has gone (the thread goes on trying it as before).
    for (QAction* item : portItems_) {
        item->setChecked(false);
        if (!checked && !checkedPort.isEmpty() && item->isVisible() && item->text() == checkedPort) checked = item;
    }
    if (checked == otherPortItem_ && !otherPortItem_->isVisible()) {
        // The start link's own item gave way to a port item of the same name.
        otherPortItem_->setChecked(false);
        checked = nullptr;
        for (QAction* item : portItems_)
            if (!checked && item->isVisible() && item->text().compare(otherPortItem_->text(), Qt::CaseInsensitive) == 0)
                checked = item;
    }
    if (checked) checked->setChecked(true);
}

QString LinkMenu::Select(const QString& name) {
    // The new link's first failure is reported again.
    portErrorShown_ = false;
    portRefusal_.reset();
    hidAbsentShown_ = false;
    hidDeniedShown_ = false;
    usbItem_->setChecked(false);
    for (QAction* item : portItems_) item->setChecked(false);
    otherPortItem_->setChecked(false);
    // Only items that show a port can be chosen; hidden ones keep their design captions.
    QAction* match = nullptr;
    if (name.compare(usbItem_->text(), Qt::CaseInsensitive) == 0) match = usbItem_;
    for (QAction* item : portItems_)
        if (!match && item->isVisible() && name.compare(item->text(), Qt::CaseInsensitive) == 0) match = item;
    if (!match && otherPortItem_->isVisible() && name.compare(otherPortItem_->text(), Qt::CaseInsensitive) == 0)
        match = otherPortItem_;
    if (!match) {
        emit note(QStringLiteral("Funkcja PortComSelected. Nie znaleziono nazwy portu."));
        return name;
    }
    match->setChecked(true);
    // The item's spelling is the link's: the thread takes "USB" only as written so, and
    // device paths are case-sensitive.
    return match->text();
}

void LinkMenu::WatchDevices(bool hid) {
    if (!ttyWatcher_) {
        // Serial adapters (ttyUSB*, ttyACM*) plugged in or out while the program runs.
        ttyWatcher_ = new DeviceWatcher(this, QStringLiteral("tty"));
        if (ttyWatcher_->Start()) {
            connect(ttyWatcher_, &DeviceWatcher::arrived, this, [this] { Refresh(); });
            connect(ttyWatcher_, &DeviceWatcher::removed, this, [this] { Refresh(); });
        }
    }
    if (hidWatcher_ || !hid) return;
    hidWatcher_ = new DeviceWatcher(this);
    if (!hidWatcher_->Start()) {
        emit note(QStringLiteral("Funkcja StartDeviceWatcher. ") + hidWatcher_->Error());
        return;
    }
    connect(hidWatcher_, &DeviceWatcher::arrived, this, [this](const QString& node) { emit changed(true, node); });
    connect(hidWatcher_, &DeviceWatcher::removed, this, [this](const QString& node) { emit changed(false, node); });
}

void LinkMenu::Opened() {
    portErrorShown_ = true;
    portRefusal_.reset();
}

bool LinkMenu::Refused(int refusal) {
    if (portRefusal_ == refusal) return false;
    portRefusal_ = refusal;
    return true;
}

void LinkMenu::TellRefusal(int refusal, const QString& linkName) {
    switch (refusal) {
    case kPortMissing:
        emit note(TranslateText(QStringLiteral("[2700]Port %1 odłączony; połączenie wróci samo, gdy port "
                                               "zostanie podłączony"))
                      .arg(linkName));
        break;
    case kPortBusy:
        emit note(TranslateText(QStringLiteral("[2701]Port %1 jest otwarty przez inną aplikację")).arg(linkName));
        break;
    case kPortAccessDenied:
        emit note(translator_.Tr(QStringLiteral("[2083]Brak uprawnień do otwarcia portu")) + u' ' + linkName);
        break;
    default:
        break;
    }
    // Unplugging is normal at a desk: the status line, the state panel and the message list say
    // so and the link comes back by itself, without a box. A port held by another program or
    // refused to this user gets one box for the link chosen, before it ever opened.
    if (refusal == kPortMissing) {
        if (portErrorBox_) portErrorBox_->close();
        return;
    }
    if (portErrorShown_) return;
    portErrorShown_ = true;
    ShowPortError(refusal == kPortAccessDenied, linkName);
}

void LinkMenu::HidFound() {
    hidAbsentShown_ = false;
    hidDeniedShown_ = false;
    hidUnusable_ = false;
}

LinkMenu::Absence LinkMenu::HidMissing(int reason) {
    // A logger that is there but cannot be used says so in the state panel, also
    // when it turns up (or goes) while the absence was reported already.
    const bool unusable = reason == kHidUnusable;
    const bool changed = unusable != hidUnusable_;
    hidUnusable_ = unusable;
    Absence absence = changed ? Absence::Changed : Absence::Known;
    if (!hidAbsentShown_) {
        hidAbsentShown_ = true;
        absence = Absence::New;
    }
    // A logger the user may not open: say so once, with what to do about it.
    if (reason == kHidAccessDenied && !hidDeniedShown_) {
        hidDeniedShown_ = true;
        ShowHidAccessDenied();
    }
    return absence;
}

void LinkMenu::ShowHidAccessDenied() {
    auto* box = new QMessageBox(
        QMessageBox::Warning, translator_.Tr(QStringLiteral("[1020]Błąd")),
        translator_.Tr(QStringLiteral("[2010]Logger został znaleziony, ale system odmówił dostępu do niego.")) +
            QLatin1Char('\n') +
            translator_.Tr(QStringLiteral("[2011]Zainstaluj regułę udev 70-quorvex-logger.rules w katalogu "
                                          "/etc/udev/rules.d i podłącz Logger ponownie.")),
        QMessageBox::Ok, &window_);
    box->setObjectName(QString::fromLatin1(objname::kHidDeniedBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
    box->open();
}

void LinkMenu::ShowPortError(bool accessDenied, const QString& linkName) {
    QString text;
    if (accessDenied) {
        // On Linux the usual reason: the user is not in the group that owns the device node.
        const QString device = SerialDeviceLocation(linkName);
        const QString group = DeviceOwnerGroup(device);
        text = translator_.Tr(QStringLiteral("[2083]Brak uprawnień do otwarcia portu")) + QLatin1Char(' ') + linkName;
        if (device != linkName) text += QStringLiteral(" (") + device + QLatin1Char(')');
        text += QStringLiteral(".\n");
        if (!group.isEmpty())
            text += translator_.Tr(QStringLiteral("[2084]Urządzenie należy do grupy")) + QStringLiteral(" \"") + group +
                    QStringLiteral("\".\n") +
                    translator_.Tr(QStringLiteral("[2085]Dodaj swojego użytkownika do tej grupy, na przykład:")) +
                    QStringLiteral("\n    sudo usermod -aG ") + group + QStringLiteral(" $USER\n");
        text += translator_.Tr(QStringLiteral("[2086]Następnie wyloguj się i zaloguj ponownie."));
    } else {
        text = translator_.Tr(QStringLiteral("[1000]Wystąpił błąd otwarcia portu:")) + QLatin1Char(' ') + linkName +
               QStringLiteral(".\n") +
               translator_.Tr(QStringLiteral("[1001]Port nie istnieje lub jest otwarty\n przez inną aplikację."));
    }
    // One port error box at a time: a later failure (another port chosen meanwhile) takes its place.
    if (portErrorBox_) portErrorBox_->close();
    auto* box = new QMessageBox(QMessageBox::Critical, translator_.Tr(QStringLiteral("[1020]Błąd")), text,
                                QMessageBox::Ok, &window_);
    box->setObjectName(accessDenied ? QString::fromLatin1(objname::kPortAccessBox)
                                    : QString::fromLatin1(objname::kPortErrorBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    portErrorBox_ = box;
    // Not exec(): the thread's hand-overs must go on being delivered meanwhile.
    box->open();
}

}  // namespace quorvex
