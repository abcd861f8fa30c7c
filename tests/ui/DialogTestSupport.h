#pragma once
// Shared ground of the parameter-dialog tests: the application object, a
// parameter model filled from the in-process simulated logger, a recording
// EnqueueHook, and a run of the recorded requests against that logger through
// the program's own frame builders and reply checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "../params/LocaleGuard.h"
#include "core/SimLogger.h"
#include "modbus/FrameRules.h"
#include "params/Datamanager.h"
#include "params/Zmienneglobalne.h"

namespace quorvex::dialogtest {

inline void EnsureApplication()
{
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // never destroyed: widgets of other tests may outlive a static one
}

// A logger whose clock stands still at 30 March 2015 12:00:00, start mode 1,
// stopping when full, timed start 1 March 2015 08:30:00.
inline sim::Scenario DefaultScenario(const std::string& extra = {})
{
    std::string error;
    const std::string text = "[logger]\nname = Chłodnia 3\ntype = 0201\nmode = 1\noverwrite = 0\n"
                             "clock = 2015-03-30 12:00:00\nstart = 2015-03-01 08:30:00\n" + extra +
                             "[records]\ncount = 10\n";
    auto s = sim::Scenario::Parse(text, &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

// One request as a short line: "w1=07df,031f" (function 16), "c80=0"
// (function 6), "r0+1" (function 3 of one register from 0).
inline QString Describe(const MstrRamka& r)
{
    switch (r.Function) {
    case FN_READ_HOLDING: return QStringLiteral("r%1+%2").arg(r.StartRegister).arg(r.Count);
    case FN_WRITE_SINGLE: return QStringLiteral("c%1=%2").arg(r.StartRegister).arg(r.Value);
    case FN_WRITE_MULTIPLE: {
        QStringList words;
        for (std::uint16_t v : r.Values) words << QStringLiteral("%1").arg(v, 4, 16, QChar(u'0'));
        return QStringLiteral("w%1=%2").arg(r.StartRegister).arg(words.join(u','));
    }
    default: return QStringLiteral("f%1").arg(r.Function);
    }
}

class DialogFixture : public ::testing::Test {
protected:
    explicit DialogFixture(const sim::Scenario& scenario = DefaultScenario())
        : logger(std::make_unique<sim::SimLogger>(scenario, [] { return std::int64_t{0}; }))
    {
        EnsureApplication();
        EnqueueHook = [this](const MstrRamka& r) { queued.push_back(r); };
    }
    ~DialogFixture() override { EnqueueHook = nullptr; }

    // One exchange as the transmission thread runs it; read replies go to the model.
    void Exchange(MstrRamka r)
    {
        const BuiltRequest request = EncodeRequest(r);
        ASSERT_EQ(request.error, BuildError::None) << Describe(r).toStdString();
        const sim::SimReply reply = logger->Handle(request.bytes);
        ASSERT_FALSE(reply.bytes.empty()) << Describe(r).toStdString();
        ASSERT_EQ(CheckReply(r, reply.bytes.data(), reply.bytes.size()), ReplyCheck::Accepted)
            << Describe(r).toStdString() << ": " << logger->LastNote();
        ApplyReply(r, reply.bytes.data(), reply.bytes.size());
        if (r.Function == FN_READ_HOLDING) model.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
    }
    // The two poll blocks.
    void Poll()
    {
        MstrRamka low, high;
        low.Function = high.Function = FN_READ_HOLDING;
        low.Count = 29;
        high.StartRegister = 256;
        high.Count = 90;
        Exchange(low);
        Exchange(high);
    }
    // Sends every recorded request to the logger, in order.
    void Run()
    {
        const std::vector<MstrRamka> requests = std::move(queued);
        queued.clear();
        for (const MstrRamka& r : requests) Exchange(r);
    }
    QStringList Requests() const
    {
        QStringList out;
        for (const MstrRamka& r : queued) out << Describe(r);
        return out;
    }

    test::LocaleGuard locale{"pl_PL"};
    std::unique_ptr<sim::SimLogger> logger;
    MDataParametry model;
    std::vector<MstrRamka> queued;
};

}  // namespace quorvex::dialogtest
