#pragma once
// Ground of the parameter-dialog tests: the application object, a parameter
// model filled from the in-process simulated logger (its clock stands still),
// a recording EnqueueHook, and a run of the recorded requests against that
// logger through the program's own frame builders and reply checks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>
#include <memory>

#include "../params/LocaleGuard.h"
#include "core/SimLogger.h"
#include "modbus/FrameRules.h"
#include "params/ParameterModel.h"
#include "params/Hooks.h"

namespace quorvex::dialogtest {

inline sim::Scenario MakeScenario(const std::string& name = "Chłodnia 3")
{
    std::string error;
    auto s = sim::Scenario::Parse("[logger]\nname = " + name + "\nmode = 1\noverwrite = 0\n"
                                  "clock = 2015-03-30 12:00:00\nstart = 2015-03-01 08:30:00\n", &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

// "w1=07df,031f" function 16, "c80=0" function 6, "r0+1" function 3.
inline QString Describe(const Request& r)
{
    if (r.Function == FN_READ_HOLDING) return QStringLiteral("r%1+%2").arg(r.StartRegister).arg(r.Count);
    if (r.Function == FN_WRITE_SINGLE) return QStringLiteral("c%1=%2").arg(r.StartRegister).arg(r.Value);
    QStringList words;
    for (std::uint16_t v : r.Values) words << QStringLiteral("%1").arg(v, 4, 16, QChar(u'0'));
    return QStringLiteral("w%1=%2").arg(r.StartRegister).arg(words.join(u','));
}

class DialogFixture : public ::testing::Test {
protected:
    explicit DialogFixture(const sim::Scenario& scenario = MakeScenario())
        : logger(std::make_unique<sim::SimLogger>(scenario, [] { return std::int64_t{0}; }))
    {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "test_ui";
            static char* argv[] = {name, nullptr};
            new QApplication(argc, argv);  // never destroyed: other tests' widgets may outlive a static one
        }
        EnqueueHook = [this](const Request& r) { queued.push_back(r); };
    }
    ~DialogFixture() override { EnqueueHook = nullptr; }

    // One exchange as the transmission thread runs it; read replies go to the model.
    void Exchange(Request r)
    {
        const sim::SimReply reply = logger->Handle(EncodeRequest(r).bytes);
        ASSERT_EQ(CheckReply(r, reply.bytes.data(), reply.bytes.size()), ReplyCheck::Accepted)
            << Describe(r).toStdString() << ": " << logger->LastNote();
        ApplyReply(r, reply.bytes.data(), reply.bytes.size());
        if (r.Function == FN_READ_HOLDING) model.StoreRegisters(r.Data, r.StartRegister, r.ByteCount);
    }
    void Poll()  // the two poll blocks
    {
        Request low, high;
        low.Function = high.Function = FN_READ_HOLDING;
        low.Count = 29;
        high.StartRegister = 256;
        high.Count = 90;
        Exchange(low);
        Exchange(high);
    }
    void Run()  // every recorded request, in order
    {
        const std::vector<Request> requests = std::move(queued);
        queued.clear();
        for (const Request& r : requests) Exchange(r);
    }
    QStringList Requests() const
    {
        QStringList out;
        for (const Request& r : queued) out << Describe(r);
        return out;
    }

    test::LocaleGuard locale{"pl_PL"};
    std::unique_ptr<sim::SimLogger> logger;
    ParameterModel model;
    std::vector<Request> queued;
};

}  // namespace quorvex::dialogtest
