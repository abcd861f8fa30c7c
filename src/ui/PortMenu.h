#pragma once
// The serial port items of the settings menu, worked out from a list of the
// system's ports: kept apart from the menu itself so any list can be fed in.
#include <QList>
#include <QString>
#include <QStringList>

namespace quorvex {

constexpr int kPortMenuItems = 6;
// The link menu's first item, and the name of the link to a USB logger.
inline const QString kUsbLink = QStringLiteral("USB");

// One serial port as the system lists it.
struct SerialPortEntry {
    QString DeviceName;  // the system's device name, e.g. ttyUSB0: the menu is ordered by it
    QString PortName;    // what the link opens, e.g. /dev/ttyUSB0: the item's caption
    bool operator==(const SerialPortEntry&) const = default;
};

struct PortMenuPlan {
    QStringList Captions;  // at most six, in menu order
    bool TooMany = false;  // the system has more ports than the menu has items
};

// Sorted by device name ignoring case; the first six become the captions.
PortMenuPlan PlanPortMenu(QList<SerialPortEntry> ports);

// The system's serial ports (device name and device path).
QList<SerialPortEntry> SystemSerialPorts();

// Where the link menu gets the serial ports it offers from.
class SerialPortSource {
public:
    virtual ~SerialPortSource() = default;
    virtual QList<SerialPortEntry> Ports() const = 0;
};

// The system's own serial ports.
class SystemPortSource : public SerialPortSource {
public:
    QList<SerialPortEntry> Ports() const override { return SystemSerialPorts(); }
};

// How the link menu spells a link name: "USB", or the caption of a menu port that equals it
// ignoring case; the name as given when none does.
QString MenuSpelling(const QString& name, const QList<SerialPortEntry>& ports);

}  // namespace quorvex
