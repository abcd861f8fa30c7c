// Ending the thread while it waits in a sent message: the waiting side delivers it the way
// the main window does (a call queued to its own thread, waited for), so the end never hangs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

#include "RecordingTarget.h"
#include "SimProcess.h"
#include "link/SerialLink.h"
#include "modbus/Tick.h"
#include "modbus/TransmissionThread.h"
#include "session/CallQueue.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {
// Delivers sent messages on the thread that made it, blocking the sender meanwhile, as the
// main window does.
class QueuedTarget : public MessageTarget {
public:
    void Post(Msg msg, QString text, int wParam) override { recorder.Post(msg, std::move(text), wParam); }
    void Send(Msg msg) override {
        waiting = true;
        calls_.AndWait([this, msg] { handled.push_back(msg); });
        waiting = false;
    }

    RecordingTarget recorder;
    std::atomic<bool> waiting{false};
    std::vector<Msg> handled;  // touched on the receiver's thread only

private:
    CallQueue calls_;
};

struct Shutdown : ::testing::Test {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QCoreApplication app{argc, argv};
    QueuedTarget target;
    SimProcess sim;

    std::unique_ptr<TransmissionThread> StartAndWaitForASend() {
        auto thread = std::make_unique<TransmissionThread>(&target, QString::fromStdString(sim.LinkPath()));
        // Do not deliver: the first poll reply leaves the thread stuck in its send.
        const auto start = GetTickCount();
        while (!target.waiting && TicksSince(start) < 10000) QThread::msleep(5);
        EXPECT_TRUE(target.waiting.load());
        return thread;
    }
};
}  // namespace

TEST_F(Shutdown, EndWhileASentMessageWaitsDeliversItAndReturns) {
    ASSERT_TRUE(sim.Running());
    auto thread = StartAndWaitForASend();
    const auto start = GetTickCount();
    EndTransmissionThread(*thread);
    EXPECT_TRUE(thread->isFinished());
    EXPECT_LT(TicksSince(start), 3000u);  // loose: catches a hang, not a speed
    EXPECT_EQ(target.handled, std::vector<Msg>{Msg::ReadDone});
    EXPECT_EQ(thread->LinkState(), TransmissionThread::LINK_SERIAL_CLOSED);
}

TEST_F(Shutdown, DestroyingTheThreadWhileItSendsAlsoDelivers) {
    ASSERT_TRUE(sim.Running());
    auto thread = StartAndWaitForASend();
    thread.reset();
    EXPECT_EQ(target.handled, std::vector<Msg>{Msg::ReadDone});
    // The port is free again.
    SerialLink other;
    EXPECT_TRUE(other.OpenPort(QString::fromStdString(sim.LinkPath())));
}

TEST(CallQueueTest, RunsOnTheReceiversThreadInOrderWhileTheCallerWaits) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    CallQueue calls;
    const auto here = std::this_thread::get_id();
    std::vector<std::pair<int, bool>> ran;  // which call, and whether on this thread
    const auto call = [&](int n) { return [&, n] { ran.emplace_back(n, std::this_thread::get_id() == here); }; };
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        calls.Later(call(1));
        calls.Later(call(2));
        calls.AndWait(call(3));
        returned = true;
    });
    // Nothing runs until the receiver's thread processes its events.
    QThread::msleep(50);
    EXPECT_FALSE(returned.load());
    while (!returned.load()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    caller.join();
    EXPECT_EQ(ran, (std::vector<std::pair<int, bool>>{{1, true}, {2, true}, {3, true}}));

    // On its own thread a waited-for call runs at once, a queued one with the next events.
    ran.clear();
    calls.Later(call(4));
    calls.AndWait(call(5));
    EXPECT_EQ(ran, (std::vector<std::pair<int, bool>>{{5, true}}));
    for (int i = 0; i < 100 && ran.size() < 2; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(ran, (std::vector<std::pair<int, bool>>{{5, true}, {4, true}}));
}
