// The transmission thread on the USB link, against the simulated logger behind the fake
// HID backend.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "SimHidLogger.h"
#include "SimProcess.h"

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

TEST(EngineHid, ConnectsToTheLoggerAndPolls)
{
    SimHidLogger logger;
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(WM_READ_DONE, 1, 10s));

    EXPECT_EQ(e.target.CountOf(WM_HID_CONNECTED), 1);
    EXPECT_EQ(e.thread->LinkState(), ThreadTransmisja::LINK_HID_CONNECTED);
    const auto texts = e.target.StatusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), QStringLiteral("Urządzenie HID Logger podłączone"));
    const auto h = e.HandOvers();
    EXPECT_EQ(h[0].Record.StartRegister, 256);
    EXPECT_EQ(h[0].Data.size(), 180u);
    // One output report per frame byte: the 8-byte poll request.
    EXPECT_EQ(logger.Backend()->OutputReports(logger.Device()).size(), 8u);
    EXPECT_EQ(e.thread->LinkStatusText(), QStringLiteral("[1021]Wybrany port USB [1025] -kabel podłączony"));
}

TEST(EngineHid, AbsentLoggerIsReportedEveryHundredMillisecondsUntilItArrives)
{
    auto backend = std::make_shared<sim::FakeHidBackend>();
    sim::FakeHidDevice other;
    other.Path = "/dev/hidraw-keyboard";
    other.Product = "Keyboard";
    backend->AddDevice(other);
    Engine e(QStringLiteral("USB"), backend);
    ASSERT_TRUE(e.target.WaitFor(WM_HID_ABSENT, 5, 5s));
    EXPECT_EQ(e.thread->LinkState(), ThreadTransmisja::LINK_HID_ABSENT);
    const auto absent = e.target.Of(WM_HID_ABSENT);
    for (std::size_t i = 1; i < absent.size(); ++i)
        EXPECT_GE(TicksBetween(absent[i - 1].Tick, absent[i].Tick), 95u);
    EXPECT_EQ(backend->OpenHandles(), 0);  // the keyboard was not kept open
}

TEST(EngineHid, BadCrcIsRetriedOverHid)
{
    SimHidLogger logger({"badcrc at=1"});
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(WM_HID_CONNECTED));
    e.thread->AddRecord(ReadRequest(0, 29));
    const auto seq = e.thread->History().back().SeqNo;
    ASSERT_TRUE(e.WaitFinished(seq));
    EXPECT_EQ(e.TransmissionStatuses(seq), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(e.HistoryEntry(seq).Status, STATUS_DONE);
    EXPECT_EQ(e.thread->Counters().CrcErrorCount, 1u);
    EXPECT_EQ(e.thread->Counters().FramesReceivedCount, 1u);
}

TEST(EngineHid, UnpluggedLoggerIsReportedAbsentAndFoundAgain)
{
    SimHidLogger logger;
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(WM_HID_CONNECTED));
    logger.SetPresent(false);
    // The main window's answer to a removal notification: reopen, which finds nothing.
    EXPECT_FALSE(e.thread->ReopenHid());
    ASSERT_TRUE(e.target.WaitFor(WM_HID_ABSENT, 3, 5s));
    EXPECT_EQ(e.thread->LinkState(), ThreadTransmisja::LINK_HID_ABSENT);
    logger.SetPresent(true);
    ASSERT_TRUE(e.target.WaitFor(WM_HID_CONNECTED, 2, 5s));
    ASSERT_TRUE(e.target.WaitFor(WM_READ_DONE, 1, 10s));
    QStringList products;
    e.thread->ListHidProducts(products);
    EXPECT_EQ(products, QStringList{QStringLiteral("Logger")});
}

TEST(EngineHid, SwitchingBetweenUsbAndSerialClosesTheOtherLink)
{
    SimHidLogger logger;
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    Engine e(QStringLiteral("USB"), logger.Backend());
    ASSERT_TRUE(e.target.WaitFor(WM_HID_CONNECTED));

    e.thread->SetLinkName(QString::fromStdString(sim.LinkPath()));
    ASSERT_TRUE(e.target.WaitFor(WM_PORT_OPENED, 1, 5s));
    EXPECT_EQ(logger.Backend()->OpenHandles(), 0);
    EXPECT_EQ(e.thread->LinkState(), ThreadTransmisja::LINK_SERIAL_OPEN);

    e.thread->SetLinkName(QStringLiteral("USB"));
    ASSERT_TRUE(e.target.WaitFor(WM_HID_CONNECTED, 2, 5s));
    EXPECT_EQ(logger.Backend()->OpenHandles(), 1);
    // The serial port was let go: the simulator's line can be opened by someone else.
    ObiektRS232 other;
    EXPECT_TRUE(other.OpenPort(QString::fromStdString(sim.LinkPath())));
}
