// Ending the thread while it waits in a sent message: the waiting side delivers it the way
// the main window does (a blocking queued call into its own thread), so the end never hangs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <atomic>
#include <thread>

#include "RecordingTarget.h"
#include "SimProcess.h"
#include "link/SerialLink.h"
#include "modbus/CallAndWait.h"
#include "modbus/TransmissionThread.h"
#include "modbus/Tick.h"

using namespace quorvex;
using namespace quorvex::test;

namespace {
// Delivers sent messages on the thread of `receiver`, blocking the sender meanwhile, as the
// main window does.
class QueuedTarget : public MessageTarget {
public:
    explicit QueuedTarget(QObject* receiver) : receiver_(receiver) {}
    void Post(Msg msg, QString text, int wParam) override { recorder.Post(msg, std::move(text), wParam); }
    void Send(Msg msg) override
    {
        waiting = true;
        CallAndWait(receiver_, [this, msg] { handled.push_back(msg); });
        waiting = false;
    }

    RecordingTarget recorder;
    std::atomic<bool> waiting{false};
    std::vector<Msg> handled;  // touched on the receiver's thread only

private:
    QObject* receiver_;
};

struct Shutdown : ::testing::Test {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QCoreApplication app{argc, argv};
    QObject receiver;
    QueuedTarget target{&receiver};
    SimProcess sim;

    std::unique_ptr<TransmissionThread> StartAndWaitForASend()
    {
        auto thread = std::make_unique<TransmissionThread>(&target, QString::fromStdString(sim.LinkPath()));
        // Do not deliver: the first poll reply leaves the thread stuck in its send.
        const auto start = GetTickCount();
        while (!target.waiting && TicksSince(start) < 10000)
            QThread::msleep(5);
        EXPECT_TRUE(target.waiting.load());
        return thread;
    }
};
}  // namespace

TEST_F(Shutdown, EndWhileASentMessageWaitsDeliversItAndReturns)
{
    ASSERT_TRUE(sim.Running());
    auto thread = StartAndWaitForASend();
    const auto start = GetTickCount();
    EndTransmissionThread(*thread);
    EXPECT_TRUE(thread->isFinished());
    EXPECT_LT(TicksSince(start), 3000u);  // loose: catches a hang, not a speed
    EXPECT_EQ(target.handled, std::vector<Msg>{Msg::ReadDone});
    EXPECT_EQ(thread->LinkState(), TransmissionThread::LINK_SERIAL_CLOSED);
}

TEST_F(Shutdown, DestroyingTheThreadWhileItSendsAlsoDelivers)
{
    ASSERT_TRUE(sim.Running());
    auto thread = StartAndWaitForASend();
    thread.reset();
    EXPECT_EQ(target.handled, std::vector<Msg>{Msg::ReadDone});
    // The port is free again.
    SerialLink other;
    EXPECT_TRUE(other.OpenPort(QString::fromStdString(sim.LinkPath())));
}

TEST(CallAndWaitTest, RunsOnTheReceiversThreadWhileTheCallerWaits)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    QObject receiver;
    std::atomic<bool> returned{false};
    std::thread::id ranOn;
    std::thread caller([&] {
        CallAndWait(&receiver, [&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    // Nothing runs until the receiver's thread processes its events.
    QThread::msleep(50);
    EXPECT_FALSE(returned.load());
    while (!returned.load())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    caller.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // On its own thread the call runs at once.
    bool direct = false;
    CallAndWait(&receiver, [&] { direct = true; });
    EXPECT_TRUE(direct);
}
