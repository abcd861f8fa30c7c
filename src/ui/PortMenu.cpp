#include "ui/PortMenu.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace quorvex {

PortMenuPlan PlanPortMenu(QList<SerialPortEntry> ports) {
    PortMenuPlan plan;
    plan.TooMany = ports.size() > kPortMenuItems;
    std::stable_sort(ports.begin(), ports.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.DeviceName.compare(b.DeviceName, Qt::CaseInsensitive) < 0;
    });
    for (const SerialPortEntry& p : ports) {
        if (plan.Captions.size() == kPortMenuItems) break;
        plan.Captions << p.PortName;
    }
    return plan;
}

QList<SerialPortEntry> SystemSerialPorts() {
    QList<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append({info.portName(), info.systemLocation()});
    return ports;
}

QString MenuSpelling(const QString& name, const QList<SerialPortEntry>& ports) {
    QString usb = QStringLiteral("USB");  // not const: returned by move
    if (name.compare(usb, Qt::CaseInsensitive) == 0) return usb;
    for (const QString& caption : PlanPortMenu(ports).Captions)
        if (name.compare(caption, Qt::CaseInsensitive) == 0) return caption;
    return name;
}

}  // namespace quorvex
