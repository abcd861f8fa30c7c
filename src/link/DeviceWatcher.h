#pragma once
// Tells the UI thread when HID devices come and go: a udev monitor read through a
// QSocketNotifier. Where no udev daemon runs, the kernel's own events are read instead.
#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace quorvex {

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    enum class Source { None, Udev, Kernel };

    // subsystem: the device class watched; the program watches "hidraw".
    explicit DeviceWatcher(QObject* parent = nullptr, QString subsystem = QStringLiteral("hidraw"));
    ~DeviceWatcher() override;

    // Starts watching; false when no event source could be set up (Error() says why).
    bool Start();
    Source EventSource() const { return Source_; }
    QString Error() const { return Error_; }

    // Where the daemon's processed events come from, or nothing when no daemon runs.
    static bool UdevDaemonRunning();

signals:
    void arrived(const QString& devnode);
    void removed(const QString& devnode);

private:
    void OnReadable();
    void Stop();

    QString Subsystem_;
    struct udev* Udev_ = nullptr;
    udev_monitor* Monitor_ = nullptr;
    QSocketNotifier* Notifier_ = nullptr;
    Source Source_ = Source::None;
    QString Error_;
};

}  // namespace quorvex
