// A whole download against the simulated logger: the controller's requests go
// through the program's frame builders to the simulator core, and its replies
// pass the program's reply checks before they reach the controller, as the
// transmission thread hands them over (ReadDone to the parameter model, LogReadDone to
// AppendLogBlock, EndOfLog to ReadFinished). Stop, resume and a logger that
// falls silent are included.
#include <gtest/gtest.h>

#include <deque>

#include "LogTestUtil.h"
#include "core/SimLogger.h"
#include "logs/LogDownload.h"
#include "modbus/FrameRules.h"
#include "params/LoggerChannel.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

sim::Scenario MakeScenario(int records, const char* type = "0201") {
    std::string error;
    const std::string text = std::string("[logger]\nname = Hall: A/B\ntype = ") + type +
                             "\nserial = 0019A7F3\nmode = 1\nrecording = 0\ninterval = 300\n"
                             "clock = 2015-03-30 12:00:00\nstart = 2015-03-01 08:30:00\n"
                             "[records]\ncount = " +
                             std::to_string(records) + "\nseed = 7\n";
    auto s = sim::Scenario::Parse(text, &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

class SimDownload : public ::testing::Test {
protected:
    void SetUp() override {
        LoggerChannel channel;
        channel.enqueue = [this](const Request& r) { queue.push_back(r); };
        params.Connect(std::move(channel));
        manager.SetView(&view);
        manager.Reset();
    }

    // One exchange as the protocol runs it; false when the logger did not answer.
    bool Exchange(Request r) {
        const sim::SimReply reply = logger->Handle(EncodeRequest(r).bytes);
        ++exchanges;
        if (reply.bytes.empty()) return false;
        const auto* frame = reply.bytes.data();
        switch (CheckReply(r, frame, reply.bytes.size())) {
        case ReplyCheck::Accepted:
            ApplyReply(r, frame, reply.bytes.size());
            if (r.Tag == TAG_LOG)
                manager.AppendLogBlock(r.Data, r.ByteCount);
            else if (r.Function == FN_READ_HOLDING)
                params.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
            break;
        case ReplyCheck::RefusedLogRead:
            manager.ReadFinished();
            break;
        default:
            ADD_FAILURE() << "reply refused";
        }
        return true;
    }
    // The two poll blocks; paramsReady once every parameter holds a value.
    void ReadParameters() {
        Request low, high;
        low.Function = high.Function = FN_READ_HOLDING;
        low.StartRegister = 0;
        low.Count = 29;
        high.StartRegister = 256;
        high.Count = 90;
        ASSERT_TRUE(Exchange(low));
        ASSERT_TRUE(Exchange(high));
        manager.SetParamsReady(params.ValueCount() == params.ParameterCount());
    }
    // Runs queued requests until the queue is empty or `limit` of them ran;
    // a request without an answer stops the run (the link is "lost").
    bool Run(int limit = 1 << 30) {
        while (!queue.empty() && limit-- > 0) {
            const Request r = queue.front();
            queue.pop_front();
            if (!Exchange(r)) return false;
        }
        return true;
    }
    void ExpectStoreMatchesLogger() {
        const auto& records = logger->Records();
        ASSERT_EQ(store.Count(), static_cast<int>(records.size()));
        const QDateTime start(QDate(2015, 3, 1), QTime(8, 30), Qt::UTC);
        for (int i = 0; i < store.Count(); ++i) {
            const DecodedRecord d = DecodeLogRecord(records[static_cast<std::size_t>(i)]);
            ASSERT_EQ(store[i].temperature, d.temperature) << i;
            ASSERT_EQ(store[i].humidity, d.humidity) << i;
            ASSERT_EQ(FromMoment(store[i].time), start.addSecs(300LL * i)) << i;
        }
    }

    LocaleGuard locale{"pl_PL"};
    std::unique_ptr<sim::SimLogger> logger;
    ParameterModel params;
    ResultsStore store;
    LogDownload manager{params, store};
    test::RecordingView view{store};
    std::deque<Request> queue;
    int exchanges = 0;
};

TEST_F(SimDownload, FiveThousandRecordsArriveWholeInEightyOneReplies) {
    logger = std::make_unique<sim::SimLogger>(MakeScenario(5000));
    ReadParameters();
    ASSERT_EQ(params.ValueCount(), params.ParameterCount());
    EXPECT_EQ(params.Param<WriteIndex>().GetText(), QStringLiteral("5000"));
    exchanges = 0;
    manager.StartRead();
    EXPECT_TRUE(Run());
    EXPECT_EQ(exchanges, 1 + 81 + 1);  // the write, 81 blocks, the refusal
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    EXPECT_EQ(view.status,
              QStringList({QStringLiteral("Odczyt danych zakończony"), "", QStringLiteral("Pobrano 5000 logów")}));
    EXPECT_EQ(view.model.rowCount(), 5000);
    EXPECT_EQ(view.blocks.size(), 81u);
    EXPECT_EQ(view.progress, 5000);
    EXPECT_EQ(view.progressMax, 5000);
    EXPECT_EQ(store.loggerName, QStringLiteral("Hall: A/B"));
    EXPECT_TRUE(store.HasHumidity());
    ExpectStoreMatchesLogger();
}

TEST_F(SimDownload, StopThenResumeGivesTheSameResultAsOneRun) {
    logger = std::make_unique<sim::SimLogger>(MakeScenario(1000, "0101"));
    ReadParameters();
    manager.StartRead();
    ASSERT_TRUE(Run(1 + 5));  // the write and five blocks
    manager.StopRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
    EXPECT_EQ(view.boxes.back().caption, QStringLiteral("Odczyt przerwany"));
    EXPECT_EQ(view.boxes.back().text, QStringLiteral("Nie odczytano wszystkich danych"));
    EXPECT_EQ(store.Count(), 5 * 62);
    EXPECT_TRUE(Run());  // the read queued before the stop is answered and ignored
    EXPECT_EQ(store.Count(), 5 * 62);
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);

    ReadParameters();
    manager.ResumeRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Reading);
    ASSERT_EQ(queue.size(), 2u);  // the logger is asked for record 311 first
    EXPECT_EQ(queue[0].StartRegister, 13);
    EXPECT_EQ(queue[0].Values, (std::deque<std::uint16_t>{0x0001, 0x3700}));
    EXPECT_EQ(queue[1].Tag, TAG_LOG);
    EXPECT_TRUE(Run());
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    EXPECT_EQ(view.model.data(view.model.index(999, 0)).toString(), QStringLiteral("1000"));
    ExpectStoreMatchesLogger();
}

TEST_F(SimDownload, SilentLoggerStopsTheDownloadAndResumeFinishesIt) {
    logger = std::make_unique<sim::SimLogger>(MakeScenario(700));
    ReadParameters();
    sim::Fault silent;
    silent.kind = sim::FaultKind::Silent;
    silent.at = 4;
    silent.count = 0;
    silent.reg = kLogRegister;
    logger->Faults().Add(silent);
    manager.StartRead();
    EXPECT_FALSE(Run());
    // MonitorReset of the main window.
    params.InvalidateAll();
    manager.StopRead(DownloadEnd::Kind::NoAnswer);
    manager.SetParamsReady(false);
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);
    EXPECT_EQ(store.Count(), 3 * 62);
    EXPECT_EQ(view.boxes.back().text, QStringLiteral("Nie odczytano wszystkich danych"));
    EXPECT_FALSE(view.Enabled(LogDownloadView::ButtonRetry));
    manager.ResumeRead();
    EXPECT_EQ(manager.GetState(), LogDownload::Aborted);

    // The logger answers again.
    logger->Faults() = sim::FaultPlan{};
    queue.clear();
    ReadParameters();
    EXPECT_TRUE(view.Enabled(LogDownloadView::ButtonRetry));
    manager.ResumeRead();
    EXPECT_TRUE(Run());
    EXPECT_EQ(manager.GetState(), LogDownload::Finished);
    ExpectStoreMatchesLogger();
}

}  // namespace
}  // namespace quorvex
