#include "link/DeviceWatcher.h"

#include <QSocketNotifier>

#include <cstring>

#include <libudev.h>
#include <unistd.h>

namespace quorvex {

DeviceWatcher::DeviceWatcher(QObject* parent, QString subsystem) : QObject(parent), Subsystem_(std::move(subsystem)) {}

DeviceWatcher::~DeviceWatcher() { Stop(); }

bool DeviceWatcher::UdevDaemonRunning() { return ::access("/run/udev/control", F_OK) == 0; }

void DeviceWatcher::Stop() {
    delete Notifier_;
    Notifier_ = nullptr;
    if (Monitor_) udev_monitor_unref(Monitor_);
    Monitor_ = nullptr;
    if (Udev_) udev_unref(Udev_);
    Udev_ = nullptr;
    Source_ = Source::None;
}

bool DeviceWatcher::Start() {
    Stop();
    Error_.clear();
    Udev_ = udev_new();
    if (!Udev_) {
        Error_ = QStringLiteral("udev_new failed");
        return false;
    }
    // Events from the daemon come after its rules ran (device permissions set); without a
    // daemon nothing would ever arrive there, so the kernel's events are the next best.
    const bool daemon = UdevDaemonRunning();
    Monitor_ = udev_monitor_new_from_netlink(Udev_, daemon ? "udev" : "kernel");
    if (!Monitor_) {
        Error_ = QStringLiteral("udev_monitor_new_from_netlink failed");
        Stop();
        return false;
    }
    const QByteArray subsystem = Subsystem_.toUtf8();
    if (udev_monitor_filter_add_match_subsystem_devtype(Monitor_, subsystem.constData(), nullptr) < 0 ||
        udev_monitor_enable_receiving(Monitor_) < 0) {
        Error_ = QStringLiteral("udev monitor could not be started");
        Stop();
        return false;
    }
    const int fd = udev_monitor_get_fd(Monitor_);
    Notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(Notifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
    Source_ = daemon ? Source::Udev : Source::Kernel;
    return true;
}

void DeviceWatcher::OnReadable() {
    // The socket is non-blocking: take every queued event, then wait for the next notice.
    while (Monitor_) {
        udev_device* dev = udev_monitor_receive_device(Monitor_);
        if (!dev) break;
        const char* action = udev_device_get_action(dev);
        const char* node = udev_device_get_devnode(dev);
        // The kernel source is not filtered by the library: check the subsystem here too.
        const char* subsystem = udev_device_get_subsystem(dev);
        const QString devnode = QString::fromUtf8(node ? node : "");
        const bool ours = subsystem && Subsystem_ == QString::fromUtf8(subsystem);
        const bool add = ours && action && std::strcmp(action, "add") == 0;
        const bool remove = ours && action && std::strcmp(action, "remove") == 0;
        udev_device_unref(dev);
        if (add) emit arrived(devnode);
        if (remove) emit removed(devnode);
    }
}

}  // namespace quorvex
