// The transmission thread's queue, history, status texts and link texts, driven on a link
// that cannot open, so that nothing is taken from the queue.
#include <gtest/gtest.h>

#include <thread>

#include "ProgramTextsScope.h"
#include "RecordingTarget.h"
#include "modbus/Tick.h"
#include "modbus/TransmissionThread.h"

using namespace quorvex;
using quorvex::test::RecordingTarget;

namespace {
const QString kMissingPort = QStringLiteral("/nonexistent/quorvex-test-port");

Request Write(std::uint16_t reg, std::uint16_t value) {
    Request r;
    r.Function = FN_WRITE_SINGLE;
    r.StartRegister = reg;
    r.Value = value;
    r.Attempts = 2;
    r.SeqNo = 777;  // replaced by AddRecord
    return r;
}

// A thread that only ever fails to open its port: the queue stays as AddRecord leaves it.
struct StuckThread : ::testing::Test {
    RecordingTarget target;
    TransmissionThread thread{&target, kMissingPort};
    ~StuckThread() override { EndTransmissionThread(thread); }
};
}  // namespace

TEST_F(StuckThread, AddRecordNumbersFromOneQueuesInFrontAndKeepsArrivalOrderInHistory) {
    for (std::uint16_t i = 0; i < 3; ++i) thread.AddRecord(Write(80 + i, i));

    const auto queue = thread.QueueSnapshot();
    ASSERT_EQ(queue.size(), 3u);
    // Newest at the front: the protocol takes the oldest from the back.
    EXPECT_EQ(queue.front().SeqNo, 3);
    EXPECT_EQ(queue.back().SeqNo, 1);
    EXPECT_EQ(queue.back().StartRegister, 80);

    const auto history = thread.History();
    ASSERT_EQ(history.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(history[i].SeqNo, i + 1);
        EXPECT_EQ(history[i].StartRegister, 80 + i);
        EXPECT_EQ(history[i].Status, STATUS_NEW);
    }
    EXPECT_EQ(target.CountOf(Msg::CommandQueued), 3);
    for (const auto& m : target.Of(Msg::CommandQueued)) EXPECT_FALSE(m.Sent);
}

TEST_F(StuckThread, TheHundredAndFirstRequestDropsTheOldestPendingOne) {
    for (std::uint16_t i = 0; i < 101; ++i) thread.AddRecord(Write(i, i));

    const auto queue = thread.QueueSnapshot();
    ASSERT_EQ(queue.size(), TransmissionThread::kQueueLimit);
    EXPECT_EQ(queue.back().SeqNo, 2);     // number 1 was dropped
    EXPECT_EQ(queue.front().SeqNo, 101);  // the new one is queued
    EXPECT_EQ(thread.History().size(), 101u);
    EXPECT_EQ(target.CountOf(Msg::CommandQueued), 101);

    const auto texts = target.StatusTexts();
    const QString overflow = QStringLiteral("Błąd w funkcji 'AddRecord'. Przepełniona kolejka 'StdKolejkaKomendy'.");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), overflow), 1);
}

TEST_F(StuckThread, MissingPortReportsOpenErrorEveryHundredMilliseconds) {
    ASSERT_TRUE(target.WaitFor(Msg::PortOpenFailed, 6, std::chrono::seconds(5)));
    EXPECT_EQ(thread.LinkState(), TransmissionThread::LINK_SERIAL_FAILED);
    EXPECT_FALSE(thread.Connected());
    EXPECT_EQ(target.CountOf(Msg::PortOpened), 0);

    const auto errors = target.Of(Msg::PortOpenFailed);
    for (std::size_t i = 1; i < errors.size(); ++i) {
        const auto gap = TicksBetween(errors[i - 1].Tick, errors[i].Tick);
        EXPECT_GE(gap, 95u);
        EXPECT_LT(gap, 1000u);  // loose: only a hang would exceed it
    }
    // The port's own failure text is published once, not with every retry; each failure says
    // the port is not there.
    const auto texts = target.StatusTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts.front().contains(kMissingPort)) << texts.front().toStdString();
    EXPECT_EQ(errors.back().WParam, kPortMissing);
    EXPECT_EQ(thread.LinkStatusText(),
              QStringLiteral("Wybrany port ") + kMissingPort + QStringLiteral(" -wystąpił błąd otwarcia"));
}

TEST_F(StuckThread, HistoryTrimmedByTheReaderWhileRequestsArrive) {
    // The status bar trims the history on its thread while AddRecord appends on another.
    std::thread producer([&] {
        for (int i = 0; i < 500; ++i) thread.AddRecord(Write(1, 1));
    });
    std::size_t seen = 0;
    for (int i = 0; i < 200; ++i) {
        thread.WithHistory([&](std::deque<Request>& h) {
            seen += h.size();
            while (h.size() > 5) h.pop_front();
        });
    }
    producer.join();
    const auto history = thread.History();
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back().SeqNo, 500);
    for (std::size_t i = 1; i < history.size(); ++i) EXPECT_EQ(history[i].SeqNo, history[i - 1].SeqNo + 1);
}

TEST_F(StuckThread, HistoryStaysBoundedWhenNobodyPaintsIt) {
    const int added = static_cast<int>(TransmissionThread::kHistoryLimit) * 3;
    for (int i = 0; i < added; ++i) thread.AddRecord(Write(1, 1));
    const auto history = thread.History();
    ASSERT_EQ(history.size(), TransmissionThread::kHistoryLimit);
    // The newest requests stay, in order.
    EXPECT_EQ(history.back().SeqNo, added);
    for (std::size_t i = 1; i < history.size(); ++i) EXPECT_EQ(history[i].SeqNo, history[i - 1].SeqNo + 1);
}

TEST(ThreadLifecycle, EndsPromptlyAndLeavesTheLinkClosed) {
    RecordingTarget target;
    auto thread = std::make_unique<TransmissionThread>(&target, kMissingPort);
    ASSERT_TRUE(target.WaitFor(Msg::PortOpenFailed));
    const auto start = GetTickCount();
    EndTransmissionThread(*thread);
    EXPECT_TRUE(thread->isFinished());
    EXPECT_LT(TicksSince(start), 2000u);
    EXPECT_EQ(thread->LinkState(), TransmissionThread::LINK_SERIAL_CLOSED);
    thread.reset();  // destruction after the end is harmless
}

TEST(ThreadLifecycle, SuspendedThreadCanBeDestroyedWithoutRunning) {
    RecordingTarget target;
    {
        TransmissionThread thread(&target, kMissingPort, {}, true);
        thread.AddRecord(Write(82, 4));
        EXPECT_EQ(thread.QueueSize(), 1u);
        EXPECT_EQ(thread.LinkState(), TransmissionThread::LINK_NONE);
        EXPECT_EQ(thread.ProtocolState(), 0);
    }
    EXPECT_EQ(target.CountOf(Msg::PortOpenFailed), 0);
    EXPECT_EQ(target.CountOf(Msg::CommandQueued), 1);
}

TEST(LinkStatusText, EachLinkStateInPolishAndTranslated) {
    // Before any translator is installed: the Polish wordings.
    const QString name = QStringLiteral("/dev/ttyUSB0");
    const QString prefix = QStringLiteral("Wybrany port /dev/ttyUSB0 ");
    EXPECT_EQ(LinkStatusText(name, 0), prefix);
    EXPECT_EQ(LinkStatusText(name, 1), prefix + QStringLiteral("-zamknięty"));
    EXPECT_EQ(LinkStatusText(name, 2), prefix + QStringLiteral("-otwarty"));
    EXPECT_EQ(LinkStatusText(name, 3), prefix + QStringLiteral("-wystąpił błąd otwarcia"));
    EXPECT_EQ(LinkStatusText(QStringLiteral("USB"), 4), QStringLiteral("Wybrany port USB -kabel podłączony"));
    EXPECT_EQ(LinkStatusText(QStringLiteral("USB"), 5), QStringLiteral("Wybrany port USB -kabel odłączony"));
    EXPECT_EQ(LinkStatusText(name, 6), QStringLiteral("___"));
    EXPECT_EQ(LinkStatusText(name, -1), QStringLiteral("___"));

    // Every numbered part in the installed language on its own; the name as it is.
    test::ProgramTextsScope english(kLanguageEnglish);
    EXPECT_EQ(LinkStatusText(QStringLiteral("USB"), 5), QStringLiteral("Selected port USB -cable disconnected"));
    EXPECT_EQ(LinkStatusText(QStringLiteral("USB"), 0), QStringLiteral("Selected port USB "));
    english.SetLanguage(kLanguageGerman);
    EXPECT_EQ(LinkStatusText(name, 2), QStringLiteral("Der ausgewählte Port /dev/ttyUSB0 -auf"));
}

TEST(Tick, DifferencesSurviveTheWrap) {
    EXPECT_EQ(TicksBetween(0xFFFFFF00u, 0x00000064u), 0x164u);
    EXPECT_EQ(TicksLeft(0xFFFFFC18u, 0x00000000u, 1000), 0u);    // exactly 1000 passed over the wrap
    EXPECT_EQ(TicksLeft(0xFFFFFFF6u, 0x0000000Au, 1000), 980u);  // 20 passed
    EXPECT_EQ(TicksLeft(5, 5, 1000), 1000u);
    const auto a = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(TicksSince(a), 19u);
}

TEST(CounterTable, SevenLabelledLinesInOrder) {
    TransmissionCounters c;
    c.NoResponseCount = 1;
    c.FrameTooShortCount = 2;
    c.FrameTooLongCount = 3;
    c.CrcErrorCount = 4;
    c.AddressErrorCount = 5;
    c.CommandErrorCount = 6;
    c.FramesReceivedCount = 4000000000u;
    const QStringList expected{
        QStringLiteral("Brak odpowiedzi=1"),         QStringLiteral("Ramka za krótka=2"),
        QStringLiteral("Ramka za długa=3"),          QStringLiteral("Nieprawidłowa suma kontrolna=4"),
        QStringLiteral("Nieprawidłowy adres=5"),     QStringLiteral("Nieprawidłowa komenda=6"),
        QStringLiteral("Ramka odebrana=4000000000"),
    };
    EXPECT_EQ(CounterTableLines(c), expected);
    EXPECT_EQ(MessageName(Msg::ReadDone), QStringLiteral("WM_READ_DONE"));
}
