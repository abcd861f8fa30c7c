#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "core/FaultPlan.h"
#include "core/SimLogger.h"

namespace quorvex::test {
namespace {

using sim::Fault;
using sim::ParseFault;
using sim::SimLogger;

Fault F(const std::string& text) {
    std::string error;
    auto f = ParseFault(text, &error);
    if (!f) throw std::runtime_error(text + ": " + error);
    return *f;
}

struct Faulty {
    std::int64_t ms = 0;
    SimLogger logger{sim::Scenario{}, [this] { return ms; }};
    explicit Faulty(std::initializer_list<const char*> faults) {
        for (const char* f : faults) logger.Faults().Add(F(f));
    }
    sim::SimReply Ask(const Request& r) { return logger.Handle(Frame(r)); }
};

TEST(FaultPlan, EachFaultMeetsTheProgramsReplyCheckItIsMeantFor) {
    const Request poll = ReadOf(256, 90);
    struct Case {
        const char* fault;
        ReplyCheck expected;
        std::size_t length;  // 0 = any
    };
    for (const Case& c :
         {Case{"badcrc at=1", ReplyCheck::BadCrc, 185}, Case{"short at=1", ReplyCheck::TooShort, 4},
          Case{"long at=1", ReplyCheck::TooLong, 300}, Case{"long at=1 bytes=256", ReplyCheck::TooLong, 256},
          Case{"garbage at=1 bytes=9", ReplyCheck::BadCrc, 9}, Case{"exception at=1", ReplyCheck::WrongFunction, 5},
          Case{"cut at=1 bytes=10", ReplyCheck::Accepted, 15}}) {
        Faulty sim{c.fault};
        const auto reply = sim.Ask(poll).bytes;
        EXPECT_EQ(Check(poll, reply), c.expected) << c.fault;
        if (c.length) {
            EXPECT_EQ(reply.size(), c.length) << c.fault;
        }
    }

    Faulty cut{"cut at=1"};
    const auto halved = cut.Ask(poll).bytes;
    EXPECT_EQ(halved[2], 180);
    EXPECT_EQ(halved.size(), 5u + 90);

    Faulty silent{"silent at=1"};
    EXPECT_TRUE(silent.Ask(poll).bytes.empty());

    Faulty exception{"exception at=1 code=6"};
    const auto refused = exception.Ask(poll).bytes;
    EXPECT_EQ(refused[1], 0x83);
    EXPECT_EQ(refused[2], 6);

    // Another slave's reply is only noticed by a request to a specific address.
    Faulty other{"address at=1 address=9", "address at=2"};
    const auto fromNine = other.Ask(ReadOf(0, 29, 0x11)).bytes;
    EXPECT_EQ(fromNine[0], 9);
    EXPECT_EQ(Check(ReadOf(0, 29, 0x11), fromNine), ReplyCheck::WrongAddress);
    const auto fromOne = other.Ask(poll).bytes;
    EXPECT_EQ(fromOne[0], 1);
    EXPECT_EQ(Check(poll, fromOne), ReplyCheck::Accepted);

    Faulty slow{"delay at=1 ms=2000"};
    const auto late = slow.Ask(poll);
    EXPECT_EQ(late.delayMs, 2000);
    EXPECT_EQ(Check(poll, late.bytes), ReplyCheck::Accepted);

    // A refused log read is how the program sees the end of the log.
    Faulty endOfLog{"exception at=1 register=144"};
    EXPECT_EQ(Check(ReadOf(144, 0), endOfLog.Ask(ReadOf(144, 0)).bytes), ReplyCheck::RefusedLogRead);
}

TEST(FaultPlan, FaultsHitTheirRequestNumbersAndRepetitions) {
    Faulty sim{"badcrc at=2 count=2", "silent at=6 count=all", "delay at=4 ms=30"};
    const Request poll = ReadOf(0, 29);
    std::vector<ReplyCheck> seen;
    std::vector<int> delays;
    for (int i = 1; i <= 8; ++i) {
        const auto reply = sim.Ask(poll);
        seen.push_back(reply.bytes.empty() ? ReplyCheck::TooShort : Check(poll, reply.bytes));
        delays.push_back(reply.delayMs);
    }
    using R = ReplyCheck;
    EXPECT_EQ(seen, (std::vector<R>{R::Accepted, R::BadCrc, R::BadCrc, R::Accepted, R::Accepted, R::TooShort,
                                    R::TooShort, R::TooShort}));
    EXPECT_EQ(delays, (std::vector<int>{0, 0, 0, 30, 0, 0, 0, 0}));
    EXPECT_EQ(sim.logger.RequestCount(), 8u);
}

TEST(FaultPlan, RegisterFilterCountsOnlyItsOwnRequests) {
    Faulty sim{"silent at=2 register=144"};
    const Request logRead = ReadOf(kLogRegister, 0);
    EXPECT_FALSE(sim.Ask(ReadOf(0, 29)).bytes.empty());
    EXPECT_FALSE(sim.Ask(logRead).bytes.empty());
    EXPECT_FALSE(sim.Ask(ReadOf(256, 90)).bytes.empty());
    EXPECT_TRUE(sim.Ask(logRead).bytes.empty()) << "the second log read";
    EXPECT_FALSE(sim.Ask(logRead).bytes.empty());
    // The lost reply still moved the log pointer, as a reply lost on the line would.
    EXPECT_EQ(sim.logger.Register(14) >> 8, 62 * 3 + 1);
}

TEST(FaultPlan, ParsingRejectsWhatItCannotDoAndRoundTrips) {
    std::string error;
    for (const char* bad :
         {"", "explode at=1", "silent at=0", "silent at=x", "silent 3", "delay at=1 code=2", "exception at=1 code=0",
          "address at=1 address=300", "badcrc at=1 count=0", "silent at=1 register=70000"}) {
        EXPECT_FALSE(ParseFault(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    for (const char* good :
         {"silent at=5 count=all", "badcrc at=2 count=3", "delay at=1 ms=2500",
          "exception at=7 count=1 register=144 code=4", "garbage at=0x10 bytes=3", "address at=1 address=0"}) {
        const Fault f = F(good);
        EXPECT_EQ(F(sim::DescribeFault(f)), f) << good;
    }
    EXPECT_EQ(F("garbage at=0x10").at, 16u);
}

}  // namespace
}  // namespace quorvex::test
