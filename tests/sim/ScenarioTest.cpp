#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "core/SimLogger.h"
#include "params/Cp1250.h"

namespace quorvex::test {
namespace {

using sim::Scenario;

std::string Shipped(const char* name) { return std::string(QUORVEX_SOURCE_DIR) + "/tools/sim/scenarios/" + name; }

Scenario Load(const char* name) {
    std::string error;
    auto s = Scenario::LoadFile(Shipped(name), &error);
    if (!s) throw std::runtime_error(error);
    s->clock = "2024-01-15 08:30:00";
    return *s;
}

std::vector<std::uint16_t> Registers(sim::SimLogger& logger) {
    std::vector<std::uint16_t> out;
    for (std::uint16_t r = 0; r < 512; ++r) out.push_back(logger.Register(r));
    return out;
}

std::int64_t frozen = 0;
std::int64_t Frozen() { return frozen; }

TEST(Scenario, ShippedScenariosDescribeTheirLoggers) {
    sim::SimLogger humidity(Load("humidity.ini"), Frozen);
    EXPECT_EQ(humidity.Register(17), 0x0201);
    EXPECT_EQ(humidity.Register(0), 0x0001);
    EXPECT_EQ(humidity.Records().size(), 250u);

    sim::SimLogger temperature(Load("temperature.ini"), Frozen);
    EXPECT_EQ(temperature.Register(17), 0x0101);
    EXPECT_EQ(temperature.Register(0) & 0x4, 0x4) << "recording";
    EXPECT_EQ(temperature.Records().size(), 5000u);
    int belowZero = 0;
    for (std::uint32_t v : temperature.Records()) {
        belowZero += RecordTemperature(v) < 0;
        EXPECT_EQ(RecordHumidity(v), 0.0) << "a temperature-only logger records no humidity";
    }
    EXPECT_GT(belowZero, 1000);
    EXPECT_LT(belowZero, 5000);

    sim::SimLogger timed(Load("timed.ini"), Frozen);
    EXPECT_EQ(timed.Register(0) & 0x3, 2) << "start at a set time";
    EXPECT_EQ(timed.Records().size(), 20000u);
    EXPECT_EQ((timed.Register(11) << 8) | (timed.Register(12) >> 8), 20000);
}

TEST(Scenario, TheHumidityFileIsTheBuiltInDefault) {
    Scenario builtIn;
    builtIn.clock = "2024-01-15 08:30:00";
    sim::SimLogger fromDefault(builtIn, Frozen);
    sim::SimLogger fromFile(Load("humidity.ini"), Frozen);
    EXPECT_EQ(Registers(fromDefault), Registers(fromFile));
    EXPECT_EQ(fromDefault.Records(), fromFile.Records());
}

TEST(Scenario, GeneratedLogsAreReproducibleAndDependOnTheSeed) {
    Scenario a = ScenarioText("[logger]\nclock = 2024-01-15 08:30:00\n[records]\ncount = 100\nseed = 3\n");
    Scenario b = ScenarioText("[logger]\nclock = 2024-01-15 08:30:00\n[records]\ncount = 100\nseed = 4\n");
    EXPECT_EQ(sim::SimLogger(a, Frozen).Records(), sim::SimLogger(a, Frozen).Records());
    EXPECT_NE(sim::SimLogger(a, Frozen).Records(), sim::SimLogger(b, Frozen).Records());
}

TEST(Scenario, NameIsKeptInWindows1250AndCutTo45Characters) {
    sim::SimLogger polish(ScenarioText("[logger]\nname = Łódź\n"), Frozen);
    EXPECT_EQ(polish.Register(256), 0xA3F3);
    EXPECT_EQ(polish.Register(257), 0x649F);
    EXPECT_EQ(polish.Register(258), 0x0000);

    const std::string fifty(50, 'x');
    sim::SimLogger longName(ScenarioText("[logger]\nname = " + fifty + "\n"), Frozen);
    EXPECT_EQ(longName.Register(278), 0x7800) << "byte 45 stays the terminating zero";
    EXPECT_EQ(longName.Register(277), 0x7878);
}

TEST(Scenario, MistakesAreReportedWithTheirLine) {
    struct Case {
        const char* text;
        const char* says;
    };
    for (const Case c :
         {Case{"[logger]\nmode = 7\n", "line 2"}, Case{"[loger]\n", "unknown section"},
          Case{"[logger]\ncolour = red\n", "unknown key"}, Case{"name = x\n", "before the first section"},
          Case{"[records]\n21,5 40\n", "line 2"}, Case{"[faults]\n\nsilent at=0\n", "line 3"},
          Case{"[logger]\ncapacity = 10\n[records]\ncount = 11\n", "capacity"},
          Case{"[logger]\nclock = yesterday\n", "clock"}, Case{"[logger]\nstart = now+\n", "start"},
          Case{"[logger]\ninterval = 0\n", "interval"}}) {
        std::string error;
        EXPECT_FALSE(Scenario::Parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.text << " gave: " << error;
    }
    std::string error;
    EXPECT_FALSE(Scenario::LoadFile("/nonexistent/scenario.ini", &error));
    EXPECT_NE(error.find("/nonexistent/scenario.ini"), std::string::npos);
}

}  // namespace
}  // namespace quorvex::test
