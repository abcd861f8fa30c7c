// Fast frame end: a complete reply is taken at once, anything doubtful still waits for the
// 800 ms of silence. Against quorvex-sim over a pseudo-terminal and the fake HID backend.
#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "SimHidLogger.h"
#include "SimProcess.h"

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

namespace {

Request MakeRequest(std::uint8_t function, std::uint16_t reg = 0) {
    Request r = ReadRequest(reg, function == FN_READ_HOLDING && reg != kLogRegister ? 29 : 0, 1);
    r.Function = function;
    if (function == FN_WRITE_MULTIPLE) {
        r.Count = 1;
        r.Values = {0x4142};
    }
    return r;
}

// For every transmission, the milliseconds until its reply was judged: taken (Counters with 120),
// refused as bad (Counters with 200) or handed over as the end of the log (EndOfLog).
std::vector<std::uint32_t> ReplyTimes(const RecordingTarget& target) {
    std::vector<std::uint32_t> out;
    std::uint32_t sentAt = 0;
    bool waiting = false;
    for (const auto& m : target.Messages()) {
        if (m.Id == Msg::FrameSent) {
            sentAt = m.Tick;
            waiting = true;
        } else if (waiting &&
                   ((m.Id == Msg::Counters && (m.WParam == 120 || m.WParam == 200)) || m.Id == Msg::EndOfLog)) {
            out.push_back(TicksBetween(sentAt, m.Tick));
            waiting = false;
        }
    }
    return out;
}

}  // namespace

TEST(EngineFastFrames, CompleteRepliesEndAtOnceEverythingElseByTheSilence) {
    // One fault per request, in the order queued below.
    SimProcess sim({"--no-pacing", "--fault", "badcrc at=2", "--fault", "function at=3", "--fault", "garbage at=4",
                    "--fault", "short at=5", "--fault", "exception at=9", "--fault", "pause at=10 ms=400", "--fault",
                    "trailing at=11 bytes=9"});
    ASSERT_TRUE(sim.Running());
    Engine e(QString::fromStdString(sim.LinkPath()));
    e.thread->SetFastFrames(true);
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpened));
    const Request requests[] = {
        MakeRequest(FN_READ_HOLDING),        MakeRequest(FN_READ_HOLDING),  MakeRequest(FN_READ_HOLDING),
        MakeRequest(FN_READ_HOLDING),        MakeRequest(FN_READ_HOLDING),  MakeRequest(FN_WRITE_SINGLE, 82),
        MakeRequest(FN_WRITE_MULTIPLE, 256), MakeRequest(FN_RESET_COMMAND), MakeRequest(FN_READ_HOLDING, kLogRegister),
        MakeRequest(FN_READ_HOLDING),        MakeRequest(FN_READ_HOLDING),  MakeRequest(FN_READ_HOLDING),
    };
    for (const auto& r : requests) e.thread->AddRecord(r);
    const auto last = e.thread->History().back().SeqNo;
    ASSERT_TRUE(e.WaitFinished(last, 30s));

    const auto times = ReplyTimes(e.target);
    ASSERT_EQ(times.size(), 12u);
    // A bad CRC at the expected length, an unknown function, noise and a short reply: silence.
    for (int i : {1, 2, 3, 4}) EXPECT_GE(times[i], TransmissionThread::kSilenceMs) << "request " << i + 1;
    // Reads, both writes, the reset command's echo, the end of the log and a reply followed by
    // stray bytes: each taken as soon as it was complete.
    for (int i : {0, 5, 6, 7, 8, 10, 11}) EXPECT_LT(times[i], 600u) << "request " << i + 1;
    // A reply that stops for 400 ms half-way is waited for, not cut.
    EXPECT_GE(times[9], 400u);
    EXPECT_LT(times[9], 400u + TransmissionThread::kSilenceMs);

    const auto c = e.thread->Counters();
    EXPECT_EQ(c.CrcErrorCount, 2u);  // the bad CRC and the noise
    EXPECT_EQ(c.CommandErrorCount, 1u);
    EXPECT_EQ(c.FrameTooShortCount, 1u);
    EXPECT_EQ(c.FrameTooLongCount, 0u);
    EXPECT_EQ(c.NoResponseCount, 4u);
    EXPECT_EQ(c.FramesReceivedCount, 7u);
    // The split reply and the two after the stray bytes are whole.
    const auto h = e.HandOvers();
    ASSERT_GE(h.size(), 3u);
    for (std::size_t i = h.size() - 3; i < h.size(); ++i) {
        EXPECT_EQ(h[i].Id, Msg::ReadDone);
        EXPECT_EQ(h[i].Data.size(), 58u);
    }

    // Switched off, a good reply ends by the silence again.
    e.thread->SetFastFrames(false);
    e.thread->AddRecord(MakeRequest(FN_READ_HOLDING));
    ASSERT_TRUE(e.WaitFinished(e.thread->History().back().SeqNo));
    EXPECT_GE(ReplyTimes(e.target).back(), TransmissionThread::kSilenceMs);
}

TEST(EngineFastFrames, StrayBytesAfterAHidReplyDoNotReachTheNextOne) {
    // HID has no receive side to purge: what follows a complete reply must be read away.
    SimHidLogger logger({"trailing at=1 bytes=20"});
    Engine e(QStringLiteral("USB"), logger.Backend());
    e.thread->SetFastFrames(true);
    ASSERT_TRUE(e.target.WaitFor(Msg::HidConnected));
    e.thread->AddRecord(MakeRequest(FN_READ_HOLDING));
    e.thread->AddRecord(MakeRequest(FN_READ_HOLDING));
    ASSERT_TRUE(e.WaitFinished(e.thread->History().back().SeqNo));

    const auto c = e.thread->Counters();
    EXPECT_EQ(c.FramesReceivedCount, 2u);
    EXPECT_EQ(c.CrcErrorCount + c.CommandErrorCount + c.FrameTooShortCount + c.NoResponseCount, 0u);
    for (std::uint32_t t : ReplyTimes(e.target)) EXPECT_LT(t, 600u);
}
