#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "core/SimLogger.h"
#include "modbus/Crc16.h"
#include "params/Cp1250.h"

namespace quorvex::test {
namespace {

using sim::SimLogger;

// A logger whose clock only moves when the test says so.
struct FixedClockLogger {
    std::int64_t monotonicMs = 0;
    SimLogger logger;

    explicit FixedClockLogger(sim::Scenario s = {}, const char* clock = "2024-05-01 12:00:00")
        : logger((s.clock = clock, s), [this] { return monotonicMs; }) {}
    void Advance(std::int64_t seconds) { monotonicMs += seconds * 1000; }

    std::vector<std::uint8_t> Ask(const Request& r) { return logger.Handle(Frame(r)).bytes; }
    std::uint16_t Reg(std::uint16_t n) {
        const auto reply = Ask(ReadOf(n, 1));
        EXPECT_EQ(Check(ReadOf(n, 1), reply), ReplyCheck::Accepted) << "register " << n;
        return reply.size() >= 7 ? WordAt(reply, 0) : 0xFFFF;
    }
    std::uint32_t Count24(std::uint16_t first) { return std::uint32_t{Reg(first)} << 8 | Reg(first + 1) >> 8; }
    std::uint32_t Pair(std::uint16_t first) { return std::uint32_t{Reg(first)} << 16 | Reg(first + 1); }
};

TEST(SimLogger, PollBlocksPassTheProgramsChecksAndDescribeTheScenario) {
    FixedClockLogger sim;
    const auto low = sim.Ask(ReadOf(0, 29));
    const auto high = sim.Ask(ReadOf(256, 90));
    ASSERT_EQ(Check(ReadOf(0, 29), low), ReplyCheck::Accepted);
    ASSERT_EQ(Check(ReadOf(256, 90), high), ReplyCheck::Accepted);
    ASSERT_EQ(low[2], 58);
    ASSERT_EQ(high[2], 180);
    auto r = [&](int n) { return n < 256 ? WordAt(low, n) : WordAt(high, n - 256); };

    EXPECT_EQ(r(0), 0x0001);  // start from the computer, not recording
    EXPECT_EQ(r(1), 2024);    // clock 2024-05-01 12:00:00
    EXPECT_EQ(r(2), 0x0501);
    EXPECT_EQ(r(3), 0x0C00);
    EXPECT_EQ(r(4), 0x0000);
    // 250 records of 300 s end at the clock: the session started 20 h 50 min earlier.
    EXPECT_EQ(r(5), 2024);
    EXPECT_EQ(r(6), 0x041E);
    EXPECT_EQ(r(7), 0x0F0A);
    EXPECT_EQ((r(9) << 8) | (r(10) >> 8), 300);
    EXPECT_EQ((r(11) << 8) | (r(12) >> 8), 250);  // write index = records held
    EXPECT_EQ((r(13) << 8) | (r(14) >> 8), 1);    // next record to read
    EXPECT_EQ(r(17), 0x0201);
    EXPECT_EQ(r(22), 0x0105);
    EXPECT_EQ(r(23) >> 8, 87);
    const std::uint32_t counter = (std::uint32_t(r(23) & 0xFF) << 24) | (std::uint32_t(r(24)) << 8) | (r(25) >> 8);
    EXPECT_EQ(counter, 40250u);
    EXPECT_EQ(r(25) & 0xFF, 0x20);  // production 2021-03-15 in BCD
    EXPECT_EQ(r(26), 0x2103);
    EXPECT_EQ(r(27), 0x1500);
    EXPECT_EQ(r(279), 0x0201);
    EXPECT_EQ(r(280), 0x0019);
    EXPECT_EQ(r(281), 0xA7F3);
    EXPECT_EQ(r(300), 0x0080);
    EXPECT_EQ(r(301), 0x0080);

    std::vector<std::uint8_t> name(high.begin() + 3, high.begin() + 3 + 46);
    const auto end = std::find(name.begin(), name.end(), 0);
    ASSERT_NE(end, name.end());
    EXPECT_EQ(quorvex::FromCp1250(QByteArray(reinterpret_cast<const char*>(name.data()), end - name.begin())),
              QString::fromUtf8("Magazyn próbek – Łódź"));
    EXPECT_EQ(name[7 + 3], 0xF3);  // ó in Windows-1250

    const std::uint32_t current = (std::uint32_t(r(15)) << 16) | r(16);
    EXPECT_GT(RecordTemperature(current), 14.0);
    EXPECT_LT(RecordTemperature(current), 28.0);
    EXPECT_GT(RecordHumidity(current), 20.0);
    EXPECT_LT(RecordHumidity(current), 70.0);
    const std::uint32_t lowPair = (std::uint32_t(r(18)) << 16) | r(19);
    const std::uint32_t highPair = (std::uint32_t(r(20)) << 16) | r(21);
    EXPECT_DOUBLE_EQ(RecordTemperature(lowPair), 2.0);
    EXPECT_DOUBLE_EQ(RecordHumidity(lowPair), 25.0);
    EXPECT_DOUBLE_EQ(RecordTemperature(highPair), 30.0);
    EXPECT_DOUBLE_EQ(RecordHumidity(highPair), 75.0);
}

TEST(SimLogger, ClockRunsAndTheReadingDriftsSlowlyWithTheDay) {
    FixedClockLogger sim({}, "2024-05-01 02:59:30");
    sim.Advance(31);
    EXPECT_EQ(sim.Reg(3), 0x0300);
    EXPECT_EQ(sim.Reg(4), 0x0100);
    double previous = RecordTemperature(sim.Pair(15));
    const double night = previous;
    double largestStep = 0;
    for (int minute = 0; minute < 12 * 60; ++minute) {
        sim.Advance(60);
        const double t = RecordTemperature(sim.Pair(15));
        largestStep = std::max(largestStep, std::abs(t - previous));
        previous = t;
    }
    EXPECT_EQ(sim.Reg(3), 0x0F00);  // 15:00
    EXPECT_GT(previous - night, 3.0) << "afternoon warmer than the night";
    EXPECT_LT(largestStep, 0.3) << "a minute changes the reading only a little";
}

TEST(SimLogger, ReadsOutsideTheMapAreRefusedAsIllegalAddress) {
    FixedClockLogger sim;
    struct Case {
        std::uint16_t start, count;
        std::uint8_t code;
    };
    for (const Case c : {Case{28, 2, 2}, Case{80, 1, 2}, Case{144, 1, 2}, Case{255, 2, 2}, Case{345, 2, 2},
                         Case{500, 12, 2}, Case{511, 2, 2}, Case{0, 0, 3}, Case{256, 126, 3}}) {
        const auto reply = sim.Ask(ReadOf(c.start, c.count));
        ASSERT_EQ(reply.size(), 5u) << c.start << "/" << c.count;
        EXPECT_EQ(reply[1], 0x83);
        EXPECT_EQ(reply[2], c.code) << c.start << "/" << c.count;
        EXPECT_EQ(Check(ReadOf(c.start, c.count), reply),
                  c.start == kLogRegister ? ReplyCheck::RefusedLogRead : ReplyCheck::WrongFunction);
    }
}

TEST(SimLogger, WritesEchoPersistAndRespectReadOnlyRegisters) {
    FixedClockLogger sim;
    const Request single = WriteOf(18, 0x4125);
    const auto echo = sim.Ask(single);
    EXPECT_EQ(echo, Frame(single));
    EXPECT_EQ(Check(single, echo), ReplyCheck::Accepted);
    EXPECT_EQ(sim.Reg(18), 0x4125);

    std::vector<std::uint16_t> name(22, 0);
    name[0] = 0x4142;  // "AB"
    name[1] = 0xA3F3;  // "Łó" in Windows-1250
    Request many = WriteManyOf(256, name);
    const auto reply = sim.Ask(many);
    ASSERT_EQ(Check(many, reply), ReplyCheck::Accepted);
    ASSERT_EQ(reply.size(), 8u);
    ApplyReply(many, reply.data(), reply.size());
    EXPECT_EQ(many.StartRegister, 256);
    EXPECT_EQ(many.Count, 22);
    EXPECT_EQ(sim.Reg(256), 0x4142);
    EXPECT_EQ(sim.Reg(257), 0xA3F3);
    EXPECT_EQ(sim.Reg(258), 0);

    // Identity, counters and measurements belong to the firmware: refused, nothing stored.
    for (std::uint16_t reg : {11, 15, 17, 22, 279, 280, 144, 400}) {
        const auto refused = sim.Ask(WriteOf(reg, 0x1234));
        ASSERT_EQ(refused.size(), 5u) << reg;
        EXPECT_EQ(refused[1], 0x86);
        EXPECT_EQ(refused[2], 2);
    }
    EXPECT_EQ(sim.Reg(17), 0x0201);
    const std::uint16_t high = sim.Reg(20);
    const auto partly = sim.Ask(WriteManyOf(20, {0x1111, 0x2222, 0x3333}));  // 22 is read only
    EXPECT_EQ(partly[1], 0x90);
    EXPECT_EQ(sim.Reg(20), high) << "a refused write changes none of its registers";
}

TEST(SimLogger, WritingTheClockSetsItAndBadValuesAreRefused) {
    FixedClockLogger sim;
    ASSERT_EQ(sim.Ask(WriteManyOf(1, {2023, 0x0C1F}))[1], 16);    // 2023-12-31
    ASSERT_EQ(sim.Ask(WriteManyOf(3, {0x173B, 0x3200}))[1], 16);  // 23:59:50
    sim.Advance(15);
    EXPECT_EQ(sim.Reg(1), 2024);
    EXPECT_EQ(sim.Reg(2), 0x0101);
    EXPECT_EQ(sim.Reg(3), 0x0000);
    EXPECT_EQ(sim.Reg(4), 0x0500);

    const auto badMonth = sim.Ask(WriteManyOf(1, {2024, 0x0D01}));
    EXPECT_EQ(badMonth[1], 0x90);
    EXPECT_EQ(badMonth[2], 3);
    EXPECT_EQ(sim.Reg(2), 0x0101);
    const auto noInterval = sim.Ask(WriteManyOf(9, {0, 0}));
    EXPECT_EQ(noInterval[2], 3);
    EXPECT_EQ((sim.Reg(9) << 8) | (sim.Reg(10) >> 8), 300);
    ASSERT_EQ(sim.Ask(WriteManyOf(9, {0x0001, 0x6800}))[1], 16);  // 360 s
    EXPECT_EQ((sim.Reg(9) << 8) | (sim.Reg(10) >> 8), 360);
}

TEST(SimLogger, CommandRegistersDriveTheStatusBits) {
    FixedClockLogger sim;
    ASSERT_EQ(sim.Reg(0), 0x0001);
    sim.Ask(WriteOf(80, 0));
    sim.Ask(WriteOf(81, 2));
    EXPECT_EQ(sim.Reg(0), 0x0002) << "start mode 2";
    sim.Ask(WriteOf(83, 8));
    EXPECT_EQ(sim.Reg(0), 0x000A) << "overwrite on";
    sim.Ask(WriteOf(83, 0));
    EXPECT_EQ(sim.Reg(0), 0x0002);
    sim.Ask(WriteOf(80, 1));
    sim.Ask(WriteOf(81, 0));
    EXPECT_EQ(sim.Reg(0), 0x0001);

    // Start: a new session begins now with its first record; the old log is gone.
    const auto echo = sim.Ask(WriteOf(82, 4));
    EXPECT_EQ(echo, Frame(WriteOf(82, 4)));
    EXPECT_EQ(sim.Reg(0), 0x0005);
    EXPECT_EQ(sim.Count24(11), 1u);
    EXPECT_EQ(sim.Reg(7), 0x0C00);  // started 12:00:00
    sim.Advance(3 * 300);
    EXPECT_EQ(sim.Count24(11), 4u);
    sim.Ask(WriteOf(82, 0));
    EXPECT_EQ(sim.Reg(0), 0x0001);
    sim.Advance(3 * 300);
    EXPECT_EQ(sim.Count24(11), 4u) << "a stopped logger takes no records";
    EXPECT_EQ(sim.logger.Records().size(), 4u);
}

TEST(SimLogger, ResetCommandIsAnsweredAndRecordedButChangesNothing) {
    FixedClockLogger sim;
    const std::uint16_t status = sim.Reg(0);
    const auto records = sim.logger.Records();
    const auto reply = sim.Ask(ResetOf());
    EXPECT_EQ(reply, Frame(ResetOf()));
    EXPECT_EQ(Check(ResetOf(), reply), ReplyCheck::Accepted);
    EXPECT_EQ(sim.logger.ResetCommandCount(), 1u);
    EXPECT_EQ(sim.Reg(0), status);
    EXPECT_EQ(sim.logger.Records(), records);
}

TEST(SimLogger, LogReadsReturnEveryRecordOnceThenTheEndOfTheLog) {
    FixedClockLogger sim;
    ASSERT_EQ(sim.Ask(WriteManyOf(13, {0, 0x0100}))[1], 16);
    std::vector<std::uint32_t> got;
    std::vector<std::size_t> blocks;
    const Request logRead = ReadOf(kLogRegister, 0);
    for (int guard = 0; guard < 100; ++guard) {
        const auto reply = sim.Ask(logRead);
        const ReplyCheck check = Check(logRead, reply);
        if (check == ReplyCheck::RefusedLogRead) break;
        ASSERT_EQ(check, ReplyCheck::Accepted);
        ASSERT_LE(reply.size(), kMaxFrameLength);
        ASSERT_EQ(reply[2] % 4, 0);
        ASSERT_EQ(reply.size(), 5u + reply[2]);
        blocks.push_back(reply[2] / 4u);
        for (std::size_t i = 3; i + 4 <= 3u + reply[2]; i += 4)
            got.push_back(std::uint32_t(reply[i]) << 24 | reply[i + 1] << 16 | reply[i + 2] << 8 | reply[i + 3]);
    }
    EXPECT_EQ(blocks, (std::vector<std::size_t>{62, 62, 62, 62, 2}));
    EXPECT_EQ(got, std::vector<std::uint32_t>(sim.logger.Records().begin(), sim.logger.Records().end()));
    EXPECT_EQ(sim.Count24(13), 251u) << "the pointer stands after the last record";

    // Records follow a day-night curve around the scenario's climate.
    double lo = 1e9, hi = -1e9;
    for (std::uint32_t v : got) {
        lo = std::min(lo, RecordTemperature(v));
        hi = std::max(hi, RecordTemperature(v));
        EXPECT_GE(RecordHumidity(v), 0.0);
        EXPECT_LE(RecordHumidity(v), 100.0);
        EXPECT_EQ(v & 0xF, 0u);
    }
    EXPECT_GT(hi - lo, 2.0);
    EXPECT_GT(lo, 14.0);
    EXPECT_LT(hi, 28.0);

    // Starting in the middle sends the rest.
    sim.Ask(WriteManyOf(13, {0, 200 << 8}));
    const auto rest = sim.Ask(logRead);
    ASSERT_EQ(Check(logRead, rest), ReplyCheck::Accepted);
    EXPECT_EQ(rest[2], 51 * 4);
}

TEST(SimLogger, ListedRecordsAreSentAsWritten) {
    FixedClockLogger sim(ScenarioText("[records]\n-12.5 45.6\n0x00000000\n399.9 199.9\n21.3\n"));
    const auto reply = sim.Ask(ReadOf(kLogRegister, 0));
    ASSERT_EQ(reply.size(), 5u + 16);
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 3, reply.begin() + 7),
              (std::vector<std::uint8_t>{0x82, 0x4A, 0x45, 0x60}));
    EXPECT_EQ(std::vector<std::uint8_t>(reply.begin() + 11, reply.begin() + 15),
              (std::vector<std::uint8_t>{0x73, 0x33, 0x99, 0x90}));
    EXPECT_DOUBLE_EQ(RecordTemperature(std::uint32_t(reply[15]) << 24 | reply[16] << 16), 21.3);
}

TEST(SimLogger, RecordingFillsTheMemoryThenStopsOrOverwrites) {
    FixedClockLogger stops(
        ScenarioText("[logger]\nrecording = 1\ncapacity = 5\ninterval = 60\n[records]\ncount = 3\n"));
    stops.Advance(10 * 60);
    EXPECT_EQ(stops.Reg(0) & 4, 0) << "memory full: recording stops";
    EXPECT_EQ(stops.logger.Records().size(), 5u);

    FixedClockLogger wraps(
        ScenarioText("[logger]\nrecording = 1\noverwrite = 1\ncapacity = 5\ninterval = 60\n"
                     "[records]\ncount = 5\n"));
    const std::uint16_t startMinute = wraps.Reg(7) & 0xFF;
    const std::uint32_t second = wraps.logger.Records()[1];
    wraps.Advance(60);
    EXPECT_EQ(wraps.Reg(0) & 4, 4);
    ASSERT_EQ(wraps.logger.Records().size(), 5u);
    EXPECT_EQ(wraps.logger.Records()[0], second) << "the oldest record was overwritten";
    EXPECT_EQ(wraps.Reg(7) & 0xFF, (startMinute + 1) % 60) << "start moment follows the oldest record";
    wraps.Advance(24 * 3600);  // a day later, still five records, the newest ones
    EXPECT_EQ(wraps.Count24(11), 5u);
    auto minutes = [](std::uint16_t hm) { return (hm >> 8) * 60 + (hm & 0xFF); };
    // Clock 12:01:00; records every minute at :30, the newest 12:00:30, the oldest 11:56:30.
    EXPECT_EQ(minutes(wraps.Reg(3)) - minutes(wraps.Reg(7)), 5);
    EXPECT_EQ(wraps.Reg(8), 30 << 8);
}

TEST(SimLogger, TimedStartBeginsRecordingAtTheSetMoment) {
    FixedClockLogger sim(
        ScenarioText("[logger]\nmode = 2\nrecording = 0\nstart = now+120\ninterval = 60\n"
                     "[records]\ncount = 40\n"));
    EXPECT_EQ(sim.Reg(0), 0x0002);
    EXPECT_EQ(sim.Reg(7), 0x0C02) << "start 12:02:00";
    sim.Advance(119);
    EXPECT_EQ(sim.Reg(0), 0x0002);
    EXPECT_EQ(sim.logger.Records().size(), 40u);
    sim.Advance(2);
    EXPECT_EQ(sim.Reg(0), 0x0006);
    EXPECT_EQ(sim.logger.Records().size(), 1u);
    EXPECT_EQ(sim.Reg(7), 0x0C02);
}

TEST(SimLogger, AnswersFromTheRequestsAddressAndIgnoresBrokenFrames) {
    FixedClockLogger sim;
    const auto reply = sim.Ask(ReadOf(17, 1, 0x07));
    ASSERT_EQ(Check(ReadOf(17, 1, 0x07), reply), ReplyCheck::Accepted);
    EXPECT_EQ(reply[0], 0x07);

    auto broken = Frame(ReadOf(0, 29));
    broken[3] ^= 1;
    const std::uint32_t before = sim.logger.RequestCount();
    EXPECT_TRUE(sim.logger.Handle(broken).bytes.empty());
    EXPECT_EQ(sim.logger.RequestCount(), before);

    // Function 4 is not the logger's: illegal function.
    Request other = ReadOf(0, 1);
    auto fn4 = Frame(other);
    fn4[1] = 4;
    fn4.resize(6);
    std::uint8_t buf[8];
    std::copy(fn4.begin(), fn4.end(), buf);
    const std::size_t n = AppendCrc(buf, 6);
    const auto refused = sim.logger.Handle(std::vector<std::uint8_t>(buf, buf + n)).bytes;
    ASSERT_EQ(refused.size(), 5u);
    EXPECT_EQ(refused[1], 0x84);
    EXPECT_EQ(refused[2], 1);
}

}  // namespace
}  // namespace quorvex::test
