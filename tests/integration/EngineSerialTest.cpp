// The transmission thread against quorvex-sim over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "EngineFixture.h"
#include "Pty.h"
#include "SimProcess.h"
#include "link/SerialLink.h"
#include "modbus/Tick.h"

using namespace quorvex;
using namespace quorvex::test;
using namespace std::chrono_literals;

namespace {
QString PortPath(const SimProcess& sim) { return QString::fromStdString(sim.LinkPath()); }

std::vector<std::string> Args(std::initializer_list<std::string> faults) {
    std::vector<std::string> args{"--no-pacing"};
    for (const auto& f : faults) {
        args.push_back("--fault");
        args.push_back(f);
    }
    return args;
}

// A request queued once the port is open (the open empties the queue), ahead of any poll.
std::int32_t QueueAfterOpen(Engine& e, Request r) {
    EXPECT_TRUE(e.target.WaitFor(Msg::PortOpened));
    e.thread->AddRecord(std::move(r));
    return e.thread->History().back().SeqNo;
}
}  // namespace

TEST(EngineSerial, OpensThePortAndPollsAlternatingBlocksAboutASecondApart) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 3, 15s));

    EXPECT_EQ(e.target.CountOf(Msg::PortOpened), 1);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_SERIAL_OPEN);
    const auto texts = e.target.StatusTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        QStringLiteral("Port ") + PortPath(sim) + QStringLiteral(" został otwarty")),
              texts.end());

    const auto h = e.HandOvers();
    ASSERT_GE(h.size(), 3u);
    const std::uint16_t starts[] = {256, 0, 256};
    const std::uint16_t counts[] = {90, 29, 90};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(h[i].Id, Msg::ReadDone);
        EXPECT_EQ(h[i].Record.Tag, TAG_POLL);
        EXPECT_EQ(h[i].Record.StartRegister, starts[i]);
        EXPECT_EQ(h[i].Record.Count, counts[i]);
        EXPECT_EQ(h[i].Record.ByteCount, 2 * counts[i]);
        EXPECT_EQ(h[i].Data.size(), 2u * counts[i]);
        EXPECT_EQ(e.HistoryEntry(h[i].Record.SeqNo).Status, STATUS_DONE);
    }
    // Each poll is queued a second after the previous exchange ended (its hand-over).
    const auto reads = e.target.Of(Msg::ReadDone);
    const auto queued = e.target.Of(Msg::CommandQueued);
    ASSERT_GE(queued.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        const auto gap = TicksBetween(reads[i - 1].Tick, queued[i].Tick);
        EXPECT_GE(gap, 990u);
        EXPECT_LT(gap, 1300u);
    }
    EXPECT_EQ(e.thread->Counters().FramesReceivedCount, static_cast<std::uint32_t>(e.target.CountOf(Msg::ReadDone)));
}

TEST(EngineSerial, SilentLoggerGetsThreeTransmissionsThenTheRequestIsGivenUp) {
    SimProcess sim(Args({"silent at=1 count=all"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    ASSERT_TRUE(e.target.WaitFor(Msg::NoResponse, 1, 15s));
    ASSERT_TRUE(e.target.WaitFor(Msg::Counters, 1, 1s));  // posted right after NoResponse

    const auto sent = e.target.Of(Msg::FrameSent);
    ASSERT_GE(sent.size(), 3u);
    for (int i = 1; i < 3; ++i) {
        const auto gap = TicksBetween(sent[i - 1].Tick, sent[i].Tick);
        EXPECT_GE(gap, 1500u);
        EXPECT_LT(gap, 1800u);
    }
    const auto tx = e.Transmissions();
    EXPECT_EQ(tx[0].Tag, TAG_POLL);
    EXPECT_EQ(e.TransmissionStatuses(tx[0].SeqNo), (std::vector<std::uint8_t>{1, 2, 2}));
    EXPECT_EQ(e.HistoryEntry(tx[0].SeqNo).Status, STATUS_NO_REPLY);
    EXPECT_EQ(e.thread->Counters().NoResponseCount, 1u);
    const auto counters = e.target.Of(Msg::Counters);
    ASSERT_FALSE(counters.empty());
    EXPECT_EQ(counters.front().WParam, 3);
    EXPECT_TRUE(e.HandOvers().empty());
}

TEST(EngineSerial, BadCrcThenGoodReplyIsRetriedAndAccepted) {
    SimProcess sim(Args({"badcrc at=1"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    const auto seq = QueueAfterOpen(e, ReadRequest(0, 29));
    ASSERT_TRUE(e.WaitFinished(seq));

    EXPECT_EQ(e.TransmissionStatuses(seq), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(e.HistoryEntry(seq).Status, STATUS_DONE);
    const auto c = e.thread->Counters();
    EXPECT_EQ(c.CrcErrorCount, 1u);
    EXPECT_EQ(c.FramesReceivedCount, 1u);
    EXPECT_EQ(c.NoResponseCount, 0u);
    const auto counters = e.target.Of(Msg::Counters);
    ASSERT_EQ(counters.size(), 2u);
    EXPECT_EQ(counters[0].WParam, 200);
    EXPECT_EQ(counters[1].WParam, 120);
    ASSERT_EQ(e.HandOvers().size(), 1u);
    EXPECT_EQ(e.HandOvers()[0].Record.SeqNo, seq);
}

TEST(EngineSerial, ShortLongAndGarbageRepliesAreCountedAndRetried) {
    // Requests 1, 2 and 3 of the logger get a 4-byte, an over-long and a garbage reply.
    SimProcess sim(Args({"short at=1", "long at=2", "garbage at=3"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    const auto seq = QueueAfterOpen(e, ReadRequest(0, 29, 4));
    ASSERT_TRUE(e.WaitFinished(seq, 20s));

    EXPECT_EQ(e.HistoryEntry(seq).Status, STATUS_DONE);
    EXPECT_EQ(e.TransmissionStatuses(seq), (std::vector<std::uint8_t>{1, 2, 2, 2}));
    const auto c = e.thread->Counters();
    EXPECT_EQ(c.FrameTooShortCount, 1u);
    EXPECT_EQ(c.FrameTooLongCount, 1u);
    // Noise fails the CRC (or, by a 1 in 65536 chance, the function check).
    EXPECT_EQ(c.CrcErrorCount + c.CommandErrorCount, 1u);
    EXPECT_EQ(c.FramesReceivedCount, 1u);
    ASSERT_EQ(e.HandOvers().size(), 1u);
    EXPECT_EQ(e.HandOvers()[0].Data.size(), 58u);
}

TEST(EngineSerial, WrongAddressIsNotRetriedButLoggerAddressAcceptsAnySlave) {
    SimProcess sim(Args({"address at=1 count=2 address=7"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    const auto toSlave1 = QueueAfterOpen(e, ReadRequest(0, 29, 3, 1));
    e.thread->AddRecord(ReadRequest(0, 29, 3, kLoggerAddress));
    const auto toLogger = toSlave1 + 1;
    ASSERT_TRUE(e.WaitFinished(toLogger));
    ASSERT_TRUE(e.WaitFinished(toSlave1));

    EXPECT_EQ(e.TransmissionStatuses(toSlave1), (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(e.HistoryEntry(toSlave1).Status, STATUS_NO_REPLY);
    EXPECT_EQ(e.HistoryEntry(toLogger).Status, STATUS_DONE);
    const auto c = e.thread->Counters();
    EXPECT_EQ(c.AddressErrorCount, 1u);
    EXPECT_EQ(c.NoResponseCount, 1u);
    EXPECT_EQ(c.FramesReceivedCount, 1u);
    EXPECT_EQ(e.target.CountOf(Msg::NoResponse), 1);
}

TEST(EngineSerial, ExceptionToTheLogRegisterEndsTheLogOtherExceptionsAreWrongCommands) {
    SimProcess sim(Args({"exception at=1 register=144", "exception at=1 register=0"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    const auto logRead = QueueAfterOpen(e, ReadRequest(kLogRegister, 0, 1));
    e.thread->AddRecord(ReadRequest(0, 29, 3));
    const auto plainRead = logRead + 1;
    ASSERT_TRUE(e.WaitFinished(plainRead));

    EXPECT_EQ(e.HistoryEntry(logRead).Status, STATUS_DONE);
    const auto sent = e.target.Of(Msg::EndOfLog);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].Sent);
    EXPECT_EQ(e.HistoryEntry(plainRead).Status, STATUS_NO_REPLY);
    EXPECT_EQ(e.TransmissionStatuses(plainRead), (std::vector<std::uint8_t>{1}));
    const auto c = e.thread->Counters();
    EXPECT_EQ(c.CommandErrorCount, 1u);  // only the plain read counts
    EXPECT_EQ(c.NoResponseCount, 1u);
    EXPECT_EQ(c.FramesReceivedCount, 0u);
    EXPECT_EQ(c.CrcErrorCount + c.AddressErrorCount + c.FrameTooShortCount + c.FrameTooLongCount, 0u);
}

TEST(EngineSerial, CorruptedLogReplyIsHandedBackWhileSilenceStaysNoResponse) {
    // The first log read is answered with a broken CRC, the second not at all.
    SimProcess sim(Args({"badcrc at=1 register=144", "silent at=2 register=144"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    Request corrupted = ReadRequest(kLogRegister, 0, 1);
    corrupted.Chain = 7;
    const auto first = QueueAfterOpen(e, corrupted);
    e.thread->AddRecord(ReadRequest(kLogRegister, 0, 1));
    ASSERT_TRUE(e.WaitFinished(first + 1));

    const auto handOvers = e.HandOvers();
    ASSERT_EQ(handOvers.size(), 1u);
    EXPECT_EQ(handOvers[0].Id, Msg::LogReadFailed);
    EXPECT_EQ(handOvers[0].Record.SeqNo, first);
    EXPECT_EQ(handOvers[0].Record.Chain, 7u);
    EXPECT_EQ(handOvers[0].Record.ByteCount, 0);
    EXPECT_EQ(e.HistoryEntry(first).Status, STATUS_NO_REPLY);
    EXPECT_TRUE(e.target.WaitFor(Msg::NoResponse));
    EXPECT_EQ(e.target.CountOf(Msg::NoResponse), 1);  // only the silent one
    const auto c = e.thread->Counters();
    EXPECT_EQ(c.CrcErrorCount, 1u);
    EXPECT_EQ(c.NoResponseCount, 2u);
}

TEST(EngineSerial, ZeroingClearsEveryCounterThatHadCounted) {
    // Registers the poll never starts at, each answered so that other counters move: 1 short,
    // over-long, with a broken CRC and then well; 2 not at all; 3 from another slave; 4 refused.
    SimProcess sim(Args({"short at=1 register=1", "long at=2 register=1", "badcrc at=3 register=1",
                         "silent at=1 register=2", "address at=1 register=3 address=7", "exception at=1 register=4"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    const auto first = QueueAfterOpen(e, ReadRequest(1, 1, 4));
    e.thread->AddRecord(ReadRequest(2, 1, 1));
    e.thread->AddRecord(ReadRequest(3, 1, 1, 1));
    e.thread->AddRecord(ReadRequest(4, 1, 1));
    for (auto seq = first; seq < first + 4; ++seq) ASSERT_TRUE(e.WaitFinished(seq, 20s)) << seq;
    // Nothing is counted any more once a port that does not exist failed to open.
    e.thread->SetLinkName(QStringLiteral("/nonexistent/quorvex-test-port"));
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpenFailed, 1, 5s));

    for (const QString& line : CounterTableLines(e.thread->Counters()))
        EXPECT_FALSE(line.endsWith(u"=0")) << line.toStdString();
    e.thread->ZeroCounters();
    EXPECT_EQ(e.thread->Counters(), TransmissionCounters{});
}

TEST(EngineSerial, PollReplyIsDroppedWhileAWriteWaitsAndTheWriteGoesNext) {
    SimProcess sim;
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    ASSERT_TRUE(e.target.WaitFor(Msg::FrameSent, 1, 10s));  // the first poll is on the line
    e.thread->AddRecord(WriteSingle(82, 0));
    const auto write = e.thread->History().back().SeqNo;
    ASSERT_TRUE(e.WaitFinished(write));

    const auto poll = e.Transmissions().at(0).SeqNo;
    EXPECT_EQ(e.HistoryEntry(poll).Status, STATUS_POLL_DROPPED);
    EXPECT_EQ(e.HistoryEntry(write).Status, STATUS_DONE);
    const auto h = e.HandOvers();
    ASSERT_GE(h.size(), 1u);
    EXPECT_EQ(h[0].Id, Msg::WriteDone);
    EXPECT_EQ(h[0].Record.StartRegister, 82);
    EXPECT_EQ(h[0].Record.Value, 0);
    EXPECT_EQ(e.Transmissions().at(1).SeqNo, write);
    EXPECT_EQ(e.thread->Counters().FramesReceivedCount, 2u);
}

TEST(EngineSerial, ChoosingAnotherPortClosesTheOldOneAndEmptiesTheQueue) {
    SimProcess first(Args({"silent at=1 count=all"}));
    SimProcess second;
    ASSERT_TRUE(first.Running() && second.Running());
    Engine e(PortPath(first));
    QueueAfterOpen(e, ReadRequest(0, 29));
    for (int i = 0; i < 4; ++i) e.thread->AddRecord(ReadRequest(0, 29));
    ASSERT_TRUE(e.target.WaitFor(Msg::FrameSent));

    e.thread->SetLinkName(PortPath(second));
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpened, 2, 5s));
    EXPECT_EQ(e.thread->QueueSize(), 0u);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_SERIAL_OPEN);
    EXPECT_EQ(e.thread->LinkName(), PortPath(second));
    const auto texts = e.target.StatusTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        QStringLiteral("Port ") + PortPath(second) + QStringLiteral(" został otwarty")),
              texts.end());
    // The old port is free again: another user can take it.
    SerialLink other;
    EXPECT_TRUE(other.OpenPort(PortPath(first))) << other.LastMessage().toStdString();
    // The exchange in flight carries on over the new link and gets its answer there.
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 1, 10s));
}

TEST(EngineSerial, SurvivesTheLoggerVanishingMidExchangeAndReconnects) {
    SimProcess sim(Args({"delay at=1 ms=600"}));
    ASSERT_TRUE(sim.Running());
    Engine e(PortPath(sim));
    ASSERT_TRUE(e.target.WaitFor(Msg::FrameSent, 1, 10s));
    sim.Kill();
    // The hung-up port is closed and retried like any port that will not open.
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpenFailed, 3, 10s));
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_SERIAL_FAILED);
    EXPECT_TRUE(e.thread->isRunning());

    ASSERT_TRUE(sim.Restart());
    ASSERT_TRUE(e.target.WaitFor(Msg::PortOpened, 2, 10s));
    // The request that lost its logger runs out of time as for a silent one and is sent
    // again on the new line, where it is answered.
    ASSERT_TRUE(e.target.WaitFor(Msg::ReadDone, 1, 10s));
    const auto first = e.Transmissions().at(0).SeqNo;
    const auto statuses = e.TransmissionStatuses(first);
    ASSERT_GE(statuses.size(), 2u);
    EXPECT_EQ(statuses[1], STATUS_SENT_AGAIN);
    EXPECT_EQ(e.HistoryEntry(first).Status, STATUS_DONE);
    EXPECT_EQ(e.thread->LinkState(), TransmissionThread::LINK_SERIAL_OPEN);
}

// Tests run as root, who may open any device: the refused user is a child process that gave
// up root before it starts its own transmission thread on a terminal of the "dialout" kind.
TEST(EngineSerial, PortTheUserMayNotOpenIsReportedAsRefused) {
    Pty pty;
    ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, 20), 0);
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
    int result[2];
    ASSERT_EQ(::pipe(result), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(result[0]);
        char answer = 'x';  // x: could not drop root
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
            Engine e(QString::fromStdString(pty.SlavePath()));
            answer = 't';  // t: no open error within the time
            if (e.target.WaitFor(Msg::PortOpenFailed, 1, 5s))
                answer = e.target.Of(Msg::PortOpenFailed).front().WParam == kPortAccessDenied ? 'd' : 'o';
            if (e.thread->LinkState() != TransmissionThread::LINK_SERIAL_FAILED) answer = 's';
        }
        [[maybe_unused]] const auto n = ::write(result[1], &answer, 1);
        ::_exit(0);
    }
    ::close(result[1]);
    char answer = 0;
    const auto n = ::read(result[0], &answer, 1);
    ::close(result[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(answer, 'd') << "d refused, o another open error, t none, s wrong link state, x root not dropped";
}
