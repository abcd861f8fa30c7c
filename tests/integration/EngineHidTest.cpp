// The transmission thread on the USB link, against the simulated logger behind the fake
// HID backend.
#include <gtest/gtest.h>

#include <thread>

#include "EngineFixture.h"
#include "SimHidLogger.h"
#include "SimProcess.h"
#include "core/SimHidDevice.h"
#include "link/HidLink.h"
#include "link/SerialLink.h"

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

TEST(EngineHid, ConnectsToTheLoggerAndPolls) {
    SimHidLogger logger;
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 1, 10s));

    EXPECT_EQ(e.target.CountOf(Msg::HidConnected), 1);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_HID_CONNECTED);
    const auto texts = e.target.StatusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), QStringLiteral("Urządzenie HID Logger podłączone"));
    const auto h = e.HandOvers();
    EXPECT_EQ(h[0].Record.StartRegister, 256);
    EXPECT_EQ(h[0].Data.size(), 180u);
    // One output report per frame byte: the 8-byte poll request.
    EXPECT_EQ(logger.Backend()->OutputReports(logger.Device()).size(), 8u);
    EXPECT_EQ(e.thread->LinkStatusText(), QStringLiteral("Wybrany port USB -kabel podłączony"));
}

TEST(EngineHid, AbsentLoggerIsLookedForOnceASecondWithoutOpeningOtherDevicesAndAtOnceOnArrival) {
    auto backend = std::make_shared<sim::FakeHidBackend>();
    sim::FakeHidDevice other;
    other.Path = "/dev/hidraw-keyboard";
    other.Product = "Keyboard";
    const int keyboard = backend->AddDevice(other);
    Engine e(QStringLiteral("USB"), backend);
    ASSERT_TRUE(e.target.WaitFor(Msg::HidAbsent, 25, 5s));
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_HID_ABSENT);
    const auto absent = e.target.Of(Msg::HidAbsent);
    for (std::size_t i = 1; i < absent.size(); ++i) EXPECT_GE(TicksBetween(absent[i - 1].Tick, absent[i].Tick), 95u);
    // About 2.4 s of absence: looked at on start and once a second since, never opened.
    const std::uint32_t span = TicksBetween(absent.front().Tick, absent.back().Tick);
    EXPECT_LE(backend->EnumerateCalls(), static_cast<int>(span / HidLink::kSearchIntervalMs) + 2);
    EXPECT_GE(backend->EnumerateCalls(), 2);
    EXPECT_EQ(backend->OpenCalls(keyboard), 0);

    // Plugged in just after a look: found on the arrival notice, not a second later.
    sim::SimLogger simLogger;
    const int enumerations = backend->EnumerateCalls();
    ASSERT_TRUE(e.target.WaitUntil([&](const auto&) { return backend->EnumerateCalls() > enumerations; }, 3s));
    backend->AddDevice(sim::MakeSimHidDevice(simLogger, "/dev/hidraw-logger"));
    const std::uint32_t plugged = GetTickCount();
    e.thread->HidDeviceArrived();
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected, 1, 5s));
    EXPECT_LT(TicksBetween(plugged, e.target.Of(Msg::HidConnected).front().Tick), 500u);
    EXPECT_EQ(backend->OpenCalls(keyboard), 0);
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 1, 10s));
}

TEST(EngineHid, BadCrcIsRetriedOverHid) {
    SimHidLogger logger({"badcrc at=1"});
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected));
    e.thread->AddRecord(ReadRequest(0, 29));
    const auto seq = e.thread->History().back().SeqNo;
    ASSERT_TRUE(e.WaitFinished(seq));
    EXPECT_EQ(e.TransmissionStatuses(seq), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(e.HistoryEntry(seq).Status, STATUS_DONE);
    EXPECT_EQ(e.thread->Counters().CrcErrorCount, 1u);
    EXPECT_EQ(e.thread->Counters().FramesReceivedCount, 1u);
}

// No device notices here, as inside a container without udev: the hang-up of the node alone
// tells the thread the logger is gone.
TEST(EngineHid, LoggerUnpluggedMidReplyIsClosedAndFoundAgainAndTheQueueEmptied) {
    SimHidLogger logger;
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 1, 10s));
    e.thread->AddRecord(ReadRequest(256, 90));  // a reply of 185 reports, 185 ms long
    const auto seq = e.thread->History().back().SeqNo;
    ASSERT_TRUE(e.target.WaitUntil([&](const auto&) { return !e.TransmissionStatuses(seq).empty(); }, 10s));
    std::this_thread::sleep_for(60ms);
    logger.SetPresent(false);
    const std::uint32_t unplugged = GetTickCount();
    const int absentBefore = e.target.CountOf(Msg::HidAbsent);
    ASSERT_TRUE(e.target.WaitFor(Msg::HidAbsent, absentBefore + 1, 5s));
    EXPECT_LT(TicksBetween(unplugged, e.target.Of(Msg::HidAbsent).back().Tick), 500u);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_HID_ABSENT);
    EXPECT_EQ(logger.Backend()->OpenHandles(), 0) << "the dead handle is let go";

    // Asked for while no logger is there: not sent to whichever is plugged in next.
    Request reset;
    reset.Function = FN_RESET_COMMAND;
    reset.Attempts = 1;
    e.thread->AddRecord(reset);
    const auto resetSeq = e.thread->History().back().SeqNo;
    logger.SetPresent(true);
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected, 2, 5s));
    EXPECT_LT(TicksBetween(unplugged, e.target.Of(Msg::HidConnected).back().Tick), 3000u);
    const int reads = e.target.CountOf(Msg::ReadDone);
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, reads + 1, 10s));
    EXPECT_TRUE(e.TransmissionStatuses(resetSeq).empty());
    EXPECT_EQ(e.HistoryEntry(resetSeq).Status, STATUS_NEW);
    // The exchange broken off carries on with the logger back, as over a serial line.
    EXPECT_TRUE(e.WaitFinished(seq));
    EXPECT_EQ(e.thread->LinkStatusText(), QStringLiteral("Wybrany port USB -kabel podłączony"));
}

TEST(EngineHid, SwitchingBetweenUsbAndSerialClosesTheOtherLink) {
    SimHidLogger logger;
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected));

    e.thread->SetLinkName(QString::fromStdString(sim.LinkPath()));
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpened, 1, 5s));
    EXPECT_EQ(logger.Backend()->OpenHandles(), 0);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_SERIAL_OPEN);

    e.thread->SetLinkName(QStringLiteral("USB"));
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected, 2, 5s));
    EXPECT_EQ(logger.Backend()->OpenHandles(), 1);
    // The serial port was let go: the simulator's line can be opened by someone else.
    SerialLink other;
    EXPECT_TRUE(other.OpenPort(QString::fromStdString(sim.LinkPath())));
}
