#pragma once
// The link items of the settings menu: "USB", six serial port items filled from the
// system's ports (again as adapters come and go) and an item for a start link the system
// does not list, one of them ticked. It also keeps what the operator was told about the
// link chosen: one port error box per episode (until a link is chosen again or the port
// opens), the box about a USB logger without access rights once per absence. It watches
// HID devices coming and going and passes them on; the main window gives the transmission
// thread the link chosen.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

#include "ui/PortMenu.h"

class QAction;
class QMenu;
class QMessageBox;
class QWidget;

namespace quorvex {

class DeviceWatcher;
class Translator;

class LinkMenu : public QObject {
    Q_OBJECT
public:
    // Adds the items to `menu`. `window`: the parent of the boxes; `ports`: where the
    // serial ports come from (the system's when null).
    LinkMenu(QMenu& menu, QWidget& window, Translator& translator, std::shared_ptr<const SerialPortSource> ports);

    // The link chosen: the menu's spelling of it once the menu knows it.
    const QString& Chosen() const { return chosen_; }
    // The link this run starts on, spelled as the menu will spell it.
    void SetStartLink(const QString& name);
    // The port items anew from the system's ports.
    void Fill();
    void Fill(const QList<SerialPortEntry>& ports);
    // The start link ticked, with an item of its own when the system does not list it.
    void SelectStartLink();
    // Ticks the item that names `name` ignoring case and returns its caption (the link's own
    // spelling); `name` itself when no item matches. The new link's first failures are told again.
    QString Select(const QString& name);
    // Select(), and the link it ticked becomes the link chosen.
    void Choose(const QString& name) { chosen_ = Select(name); }
    // Serial adapters came or went: the port items anew, the ticked one kept if still there.
    void Refresh();
    // Watches serial adapters, and HID devices too when `hid`.
    void WatchDevices(bool hid);

    // What the link said, as the operator is told of it.
    // The port or the USB logger opened: no port error box until a link is chosen again.
    void Opened();
    // The serial port failed to open (`refusal`: why); false when that was known already.
    bool Refused(int refusal);
    // Tells of the failure Refused() took: the message log, and a box once per episode
    // (none for an unplugged port, whose box goes).
    void TellRefusal(int refusal, const QString& linkName);
    // Why the serial port is failing, while it fails; nothing while it is open.
    std::optional<int> PortRefusal() const { return portRefusal_; }
    // The USB logger was found and opened.
    void HidFound();
    enum class Absence { Known, Changed, New };
    // The USB logger is absent (`reason`: the thread's); New the first time, Changed when it
    // turned usable or unusable since. A logger without access rights gets its box once.
    Absence HidMissing(int reason);
    // A logger is there whose reports do not fit the link.
    bool HidUnusable() const { return hidUnusable_; }

signals:
    // The operator chose the link `name` from the menu.
    void picked(const QString& name);
    // A line for the message log.
    void note(const QString& line);
    // A HID device arrived (true) or was removed (false); `node` is its device node.
    void changed(bool arrival, const QString& node);

private:
    bool IsListed(const QString& name) const;
    void OfferStartLink(const QString& name);
    void ShowHidAccessDenied();
    void ShowPortError(bool accessDenied, const QString& linkName);

    QWidget& window_;
    Translator& translator_;
    std::shared_ptr<const SerialPortSource> ports_;
    QString chosen_;
    QAction* usbItem_ = nullptr;
    QAction* portItems_[kPortMenuItems] = {};  // MenuCom1 … MenuCom6
    // After the six: the link this run started with when the system does not list it
    // (a pseudo-terminal given with --port, a port stored earlier), so it can be chosen again.
    QAction* otherPortItem_ = nullptr;
    QList<SerialPortEntry> systemPorts_;  // the ports the menu was last filled from
    DeviceWatcher* hidWatcher_ = nullptr;
    DeviceWatcher* ttyWatcher_ = nullptr;  // serial adapters coming and going
    // The link chosen has had its port error box, or has opened: no further box until the
    // operator chooses a link again (a replug, an unplugged adapter are not told by boxes).
    bool portErrorShown_ = false;
    std::optional<int> portRefusal_;
    bool hidAbsentShown_ = false;
    bool hidDeniedShown_ = false;  // the box about a logger without access rights, once per episode
    bool hidUnusable_ = false;
    QPointer<QMessageBox> portErrorBox_;  // the one port error box on screen
};

}  // namespace quorvex
