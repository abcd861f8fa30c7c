// The logger session as the window and the command line both see it: every message of the
// transmission thread comes out as its one typed signal, against the simulator over a real
// pseudo-terminal and behind the fake HID backend, with a port that fails and a logger unplugged.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "EventLoopWait.h"
#include "ProgramTextsScope.h"
#include "SimHidLogger.h"
#include "SimProcess.h"
#include "logs/LogDownload.h"
#include "logs/ResultsStore.h"
#include "modbus/Request.h"
#include "modbus/TransmissionThread.h"
#include "params/ParameterModel.h"
#include "session/LoggerSession.h"

namespace quorvex::test {
namespace {

const char* Name(LinkEvent e) {
    switch (e) {
    case LinkEvent::SerialOpened:
        return "SerialOpened";
    case LinkEvent::HidOpened:
        return "HidOpened";
    case LinkEvent::PortFailed:
        return "PortFailed";
    case LinkEvent::PortAccessDenied:
        return "PortAccessDenied";
    case LinkEvent::PortMissing:
        return "PortMissing";
    case LinkEvent::PortBusy:
        return "PortBusy";
    case LinkEvent::HidAbsent:
        return "HidAbsent";
    case LinkEvent::HidAccessDenied:
        return "HidAccessDenied";
    case LinkEvent::HidUnusable:
        return "HidUnusable";
    case LinkEvent::NoResponse:
        return "NoResponse";
    case LinkEvent::BlocksCorrupted:
        return "BlocksCorrupted";
    }
    return "?";
}

// A logger session with its model and download, and every signal it gave, in order.
struct Session {
    explicit Session(LoggerSession::Options options) {
        session = std::make_unique<LoggerSession>(params, std::move(options));
        session->SetDownload(&logs);
        LoggerSession* s = session.get();
        QObject::connect(s, &LoggerSession::linkChanged, s,
                         [this](LinkEvent e) { said << QStringLiteral("link %1").arg(QLatin1String(Name(e))); });
        QObject::connect(s, &LoggerSession::parametersRead, s,
                         [this](std::uint16_t start, std::uint16_t count, const LoggerSession::ChangedParameters& c) {
                             said << QStringLiteral("read %1 %2").arg(start).arg(count);
                             changed += static_cast<int>(c.size());
                             // As the window and the command line do once every parameter is in.
                             logs.SetParamsReady(params.ValueCount() == params.ParameterCount());
                         });
        QObject::connect(s, &LoggerSession::writeConfirmed, s,
                         [this](std::uint16_t reg) { said << QStringLiteral("confirmed %1").arg(reg); });
        QObject::connect(s, &LoggerSession::writeRefused, s,
                         [this](const WriteRefusal& r) { said << QStringLiteral("refused %1").arg(r.exceptionCode); });
        QObject::connect(s, &LoggerSession::downloadProgress, s, [this](int records, int announced) {
            said << QStringLiteral("progress %1/%2").arg(records).arg(announced);
        });
        QObject::connect(s, &LoggerSession::downloadEnded, s, [this](const DownloadEnd& end) {
            said << QStringLiteral("ended");
            ends.push_back(end);
        });
        QObject::connect(s, &LoggerSession::countersChanged, s, [this] { said << QStringLiteral("counters"); });
        QObject::connect(s, &LoggerSession::messageLine, s, [this](const QString&) { said << QStringLiteral("line"); });
        QObject::connect(s, &LoggerSession::requestsChanged, s, [this] { said << QStringLiteral("requests"); });
    }
    ~Session() { session->End(); }

    int Count(const QString& what) const { return static_cast<int>(said.count(what)); }
    int CountStarting(const QString& what) const {
        return static_cast<int>(
            std::count_if(said.begin(), said.end(), [&](const QString& s) { return s.startsWith(what); }));
    }
    bool Ready() {
        return WaitUntil([&] { return params.ValueCount() == params.ParameterCount(); }, 20000);
    }

    ParameterModel params;
    ResultsStore store;
    LogDownload logs{params, store};
    std::unique_ptr<LoggerSession> session;
    QStringList said;
    int changed = 0;
    std::vector<DownloadEnd> ends;
};

LoggerSession::Options Link(const QString& link, std::shared_ptr<HidBackend> hid = {}) {
    LoggerSession::Options o;
    o.link = link;
    o.hidBackend = std::move(hid);
    return o;
}

// Without a thread, what a test hands in as the thread would: each message gives its one
// signal, once; a lost link also stops the download.
TEST(LoggerSession, EachMessageGivesItsOneTypedSignal) {
    ProgramTextsScope texts;
    LoggerSession::Options o;
    o.startThread = false;
    Session s(o);
    EXPECT_EQ(s.session->Thread(), nullptr);
    const struct {
        Msg msg;
        int wParam;
        QStringList said;
    } cases[] = {
        {Msg::PortOpened, 0, {"link SerialOpened"}},
        {Msg::HidConnected, 0, {"link HidOpened"}},
        {Msg::PortOpenFailed, 0, {"link PortFailed"}},
        {Msg::PortOpenFailed, kPortAccessDenied, {"link PortAccessDenied"}},
        {Msg::PortOpenFailed, kPortMissing, {"link PortMissing"}},
        {Msg::PortOpenFailed, kPortBusy, {"link PortBusy"}},
        {Msg::HidAbsent, 0, {"link HidAbsent"}},
        {Msg::HidAbsent, kHidAccessDenied, {"link HidAccessDenied"}},
        {Msg::HidAbsent, kHidUnusable, {"link HidUnusable"}},
        {Msg::NoResponse, 0, {"link NoResponse", "requests"}},
        {Msg::ReadDone, 0, {"read 0 0"}},
        {Msg::WriteDone, 0, {"requests"}},
        {Msg::WriteRefused, 0, {"requests"}},
        {Msg::LogReadDone, 0, {"progress 0/0", "requests"}},
        {Msg::EndOfLog, 0, {"requests"}},
        {Msg::LogReadFailed, 0, {"requests"}},
        {Msg::StatusText, 0, {"line"}},
        {Msg::Counters, 0, {"counters"}},
        {Msg::FrameSent, 0, {"requests"}},
        {Msg::CommandQueued, 0, {"requests"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(MessageName(c.msg).toStdString() + " " + std::to_string(c.wParam));
        s.said.clear();
        s.session->Deliver(c.msg, QStringLiteral("text"), c.wParam);
        RunFor(20);
        EXPECT_EQ(s.said, c.said);
    }
    // After the end nothing is taken.
    s.session->End();
    s.said.clear();
    s.session->Deliver(Msg::PortOpened);
    EXPECT_TRUE(s.said.isEmpty());
}

// Over a pseudo-terminal: the link opens once, both parameter blocks arrive, a refused write and
// a confirmed one are told as such, and a download reports its progress and its one end.
TEST(LoggerSession, SerialLoggerOpensReadsWritesAndDownloads) {
    ProgramTextsScope texts;
    SimProcess sim({"--no-pacing", "--records", "130", "--fault", "exception register=83 at=1 code=3"});
    ASSERT_TRUE(sim.Running());
    Session s(Link(QString::fromStdString(sim.LinkPath())));
    s.session->SetFastFrames(true);
    ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("link SerialOpened")) == 1; }));
    s.session->ReadParametersNow();
    ASSERT_TRUE(s.Ready());
    EXPECT_GE(s.Count(QStringLiteral("read 256 90")), 1);
    EXPECT_GE(s.Count(QStringLiteral("read 0 29")), 1);
    EXPECT_GE(s.changed, s.params.ParameterCount());  // each parameter at least once, from empty
    EXPECT_EQ(s.Count(QStringLiteral("link SerialOpened")), 1);
    EXPECT_EQ(s.session->LinkState(), TransmissionThread::LINK_SERIAL_OPEN);

    // The overwrite bit: refused the first time (exception 3), confirmed the second.
    s.params.WriteCommand(ParameterModel::kOverwriteRegister, 1);
    ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("refused 3")) == 1; }));
    s.params.WriteCommand(ParameterModel::kOverwriteRegister, 1);
    ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("confirmed 83")) == 1; }));
    EXPECT_EQ(s.Count(QStringLiteral("refused 3")), 1);

    s.logs.StartRead();
    ASSERT_TRUE(WaitUntil([&] { return !s.ends.empty(); }, 30000));
    RunFor(200);
    ASSERT_EQ(s.ends.size(), 1u);
    EXPECT_EQ(s.ends[0].kind, DownloadEnd::Kind::Finished);
    EXPECT_EQ(s.ends[0].read, 130);
    EXPECT_EQ(s.ends[0].announced, 130);
    EXPECT_FALSE(s.ends[0].Short());
    // 62 + 62 + 6 records, each reply told with the count so far.
    EXPECT_EQ(s.CountStarting(QStringLiteral("progress")), 3);
    EXPECT_TRUE(s.said.contains(QStringLiteral("progress 124/130")));
    EXPECT_EQ(s.store.Count(), 130);
    EXPECT_GT(s.Count(QStringLiteral("requests")), 0);
    EXPECT_EQ(s.Count(QStringLiteral("link SerialOpened")), 1);
}

// A port that is not there fails by its kind, again on every try, and never opens; the logger
// that does not answer is told as such.
TEST(LoggerSession, AMissingPortAndASilentLoggerAreToldByTheirKind) {
    ProgramTextsScope texts;
    {
        Session s(Link(QStringLiteral("/dev/quorvex-no-such-port")));
        ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("link PortMissing")) >= 2; }));
        EXPECT_EQ(s.said.filter(QStringLiteral("link ")).size(), s.Count(QStringLiteral("link PortMissing")));
        EXPECT_EQ(s.session->LinkState(), TransmissionThread::LINK_SERIAL_FAILED);
    }
    SimProcess sim({"--no-pacing", "--fault", "silent at=3 count=all"});
    ASSERT_TRUE(sim.Running());
    Session s(Link(QString::fromStdString(sim.LinkPath())));
    ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("link NoResponse")) >= 1; }, 30000));
    EXPECT_EQ(s.Count(QStringLiteral("link SerialOpened")), 1);
}

// The USB logger unplugged while its log is read: the link is told absent and the download ends
// once, as the logger no longer answering, with what had arrived.
TEST(LoggerSession, AnUnpluggedUsbLoggerEndsTheDownloadAsNoAnswer) {
    ProgramTextsScope texts;
    SimHidLogger logger;
    Session s(Link(QStringLiteral("USB"), logger.Backend()));
    ASSERT_TRUE(WaitUntil([&] { return s.Count(QStringLiteral("link HidOpened")) == 1; }));
    s.session->ReadParametersNow();
    ASSERT_TRUE(s.Ready());
    s.logs.StartRead();
    ASSERT_TRUE(WaitUntil([&] { return s.CountStarting(QStringLiteral("progress")) >= 1; }, 30000));
    logger.SetPresent(false);
    ASSERT_TRUE(WaitUntil([&] { return !s.ends.empty(); }));
    RunFor(300);
    ASSERT_EQ(s.ends.size(), 1u);
    EXPECT_EQ(s.ends[0].kind, DownloadEnd::Kind::NoAnswer);
    EXPECT_GE(s.ends[0].read, 62);
    EXPECT_EQ(s.ends[0].read, s.store.Count());
    EXPECT_TRUE(s.ends[0].Short());
    EXPECT_GE(s.Count(QStringLiteral("link HidAbsent")) + s.Count(QStringLiteral("link NoResponse")), 1);
    EXPECT_EQ(s.logs.GetState(), LogDownload::Aborted);
}

}  // namespace
}  // namespace quorvex::test
