// The device watcher on this machine's real event source.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "EventLoopWait.h"
#include "link/DeviceWatcher.h"

using namespace quorvex;
using quorvex::test::WaitUntil;

namespace {

int argc = 1;
char name[] = "test_link";
char* argv[] = {name, nullptr};

QCoreApplication& App() {
    static QCoreApplication app(argc, argv);
    return app;
}

bool Trigger(const char* action) {
    std::ofstream f("/sys/class/mem/full/uevent");
    f << action;
    f.flush();
    return static_cast<bool>(f);
}

TEST(HidDeviceWatcher, StartsOnTheSourceThisMachineHas) {
    App();
    DeviceWatcher watcher;
    ASSERT_TRUE(watcher.Start()) << watcher.Error().toStdString();
    const auto expected =
        DeviceWatcher::UdevDaemonRunning() ? DeviceWatcher::Source::Udev : DeviceWatcher::Source::Kernel;
    EXPECT_EQ(watcher.EventSource(), expected);
    std::printf("udev daemon running: %s\n", DeviceWatcher::UdevDaemonRunning() ? "yes" : "no");
}

// Synthetic add/remove events of /dev/full go through the same kernel socket as a logger's
// hidraw node would. Done only where no udev daemon would act on them and we may write sysfs.
TEST(HidDeviceWatcher, KernelEventsOfTheWatchedSubsystemBecomeArrivedAndRemoved) {
    App();
    if (DeviceWatcher::UdevDaemonRunning() || ::access("/sys/class/mem/full/uevent", W_OK) != 0)
        GTEST_SKIP() << "needs the kernel source and a writable uevent file";
    DeviceWatcher watcher(nullptr, QStringLiteral("mem"));
    DeviceWatcher hidOnly;
    ASSERT_TRUE(watcher.Start());
    ASSERT_TRUE(hidOnly.Start());
    bool arrived = false;
    bool removed = false;
    bool hidNoticed = false;
    QString node;
    QObject::connect(&watcher, &DeviceWatcher::arrived, [&](const QString& n) {
        arrived = true;
        node = n;
    });
    QObject::connect(&watcher, &DeviceWatcher::removed, [&](const QString&) { removed = true; });
    QObject::connect(&hidOnly, &DeviceWatcher::arrived, [&](const QString&) { hidNoticed = true; });
    QObject::connect(&hidOnly, &DeviceWatcher::removed, [&](const QString&) { hidNoticed = true; });

    ASSERT_TRUE(Trigger("change"));
    ASSERT_TRUE(Trigger("add"));
    ASSERT_TRUE(WaitUntil([&] { return arrived; }, 3000));
    EXPECT_EQ(node, "/dev/full");
    EXPECT_FALSE(removed) << "a change is neither arrival nor removal";
    ASSERT_TRUE(Trigger("remove"));
    EXPECT_TRUE(WaitUntil([&] { return removed; }, 3000));
    EXPECT_FALSE(hidNoticed) << "other subsystems do not reach a hidraw watcher";
}

}  // namespace
