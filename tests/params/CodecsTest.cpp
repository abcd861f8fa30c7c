// Number codecs: BCD tenths in packed fields, corrections and ParseNumber's
// separator, each text checked in the three locales the program ships with.
#include <gtest/gtest.h>

#include <limits>

#include "LocaleGuard.h"
#include "params/Codecs.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

TEST(TemperatureCodec, EncodesInSinglePrecisionAndPacksIntoBits1To15) {
    EXPECT_EQ(EncodeTemperature(25.3f), 0x0253);  // 252.99999… in double precision
    std::uint16_t first = 0x0001;
    StoreTemperatureField(EncodeTemperature(25.3f), first);
    EXPECT_EQ(first, 0x04A7);
    EXPECT_EQ(EncodeTemperature(-12.5f), 0x4125);
    EXPECT_EQ(DecodeTemperature(0x824A0000u), -12.5f);
    EXPECT_EQ(DecodeTemperature(0x824AFFFFu), -12.5f);  // the second register is not part of it
    EXPECT_EQ(DecodeTemperature(0x0A00u << 17), 0.0f);  // A–F digit
    EXPECT_EQ(DecodeTemperature(static_cast<std::uint32_t>(0x0399) << 17), 39.9f);
}

TEST(TemperatureCodec, RoundTripsEveryTenthOfTheField) {
    for (int tenths = -3999; tenths <= 3999; ++tenths) {
        const float value = static_cast<float>(tenths * 0.1);
        std::uint16_t first = 0;
        StoreTemperatureField(EncodeTemperature(value), first);
        ASSERT_EQ(DecodeTemperature(static_cast<std::uint32_t>(first) << 16), value) << tenths;
    }
}

TEST(HumidityCodec, EncodesPacksAndDecodes) {
    EXPECT_EQ(EncodeHumidity(55.5f), 0x0555);
    std::uint16_t first = 0x0000, second = 0x000F;
    StoreHumidityField(EncodeHumidity(55.5f), first, second);
    EXPECT_EQ(first, 0x0000);
    EXPECT_EQ(second, 0x555F);
    EXPECT_EQ(DecodeHumidity(0x0000555Fu), 55.5f);
    EXPECT_EQ(EncodeHumidity(-3.0f), 0);
    // 100.0 % needs bit 16 of the pair, the first register's bit 0.
    first = 0xF332;  // -399.9 °C in bits 1–15
    second = 0;
    StoreHumidityField(EncodeHumidity(100.0f), first, second);
    EXPECT_EQ(first, 0xF333);
    EXPECT_EQ(DecodeHumidity((static_cast<std::uint32_t>(first) << 16) | second), 100.0f);
    EXPECT_EQ(DecodeTemperature((static_cast<std::uint32_t>(first) << 16) | second), -399.9f);  // untouched
}

TEST(NumberCodecs, TenthsBeyondTheFieldWrapAndNonFiniteValuesGiveZero) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(EncodeTemperature(6553.7f), 0x0001);   // 65537 tenths kept modulo 65536
    EXPECT_EQ(EncodeTemperature(-3.0e38f), 0x4000);  // × 10 overflows single precision
    EXPECT_EQ(EncodeTemperature(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(EncodeHumidity(inf), 0);
    EXPECT_EQ(EncodeHumidity(999.9f), 0x1999);  // 0x9999 cut to 13 bits: why SetText checks the fit
    EXPECT_FALSE(FitsHumidity(200.0f));
    EXPECT_TRUE(FitsHumidity(-3.0f));
    EXPECT_FALSE(FitsTemperature(400.0f));
    EXPECT_TRUE(FitsTemperature(-399.9f));
    EXPECT_FALSE(FitsTemperature(inf));
}

TEST(ParseNumber, AcceptsCommaOrPointAndLeavesTheScreenSeparatorAlone) {
    for (const char* name : test::kLocales) {
        LocaleGuard locale(name);
        const std::uint32_t pair = static_cast<std::uint32_t>(0x0253 << 1) << 16;
        const QString shown = TemperatureText(pair);
        float v = 0;
        for (auto [text, value] : {std::pair{"7.5", 7.5f}, std::pair{" -7,5 ", -7.5f}, std::pair{"30", 30.0f}}) {
            ASSERT_TRUE(ParseNumber(QString::fromLatin1(text), v)) << text;
            EXPECT_EQ(v, value) << text;
            EXPECT_EQ(TemperatureText(pair), shown) << name << " after " << text;
        }
    }
}

TEST(ParseNumber, RejectsWhatIsNoNumber) {
    float v = 42.0f;
    for (const char* text : {"", "  ", "1,234.5", "1.234,5", "1.2.3", "abc", "12a", "-", ",", "1e", "e5", "inf", "nan",
                             "--1", "1e39", "-1e39", "1 000", "0x10"}) {
        EXPECT_FALSE(ParseNumber(QString::fromUtf8(text), v)) << text;
        EXPECT_EQ(v, 42.0f) << text;
    }
    EXPECT_TRUE(ParseNumber(QStringLiteral("1e3"), v));
    EXPECT_EQ(v, 1000.0f);
    EXPECT_TRUE(ParseNumber(QStringLiteral(",5"), v));
    EXPECT_EQ(v, 0.5f);
    EXPECT_FALSE(ParseNumber(QString(400, u'9'), v));
}

TEST(NumberText, UsesTheLocaleSeparatorUntilParseNumberChangesIt) {
    const struct {
        const char* name;
        const char* temperature;
        const char* humidity;
    } cases[] = {{"pl_PL", "-12,5", "55,5"}, {"en_US", "-12.5", "55.5"}, {"de_DE", "-12,5", "55,5"}};
    for (const auto& c : cases) {
        LocaleGuard locale(c.name);
        EXPECT_EQ(TemperatureText(0x824A0000u), QString::fromLatin1(c.temperature)) << c.name;
        EXPECT_EQ(HumidityText(0x0000555Fu), QString::fromLatin1(c.humidity)) << c.name;
        EXPECT_EQ(TemperatureText(0x80000000u), QStringLiteral("0") + DecimalSeparator() + u'0') << "no negative zero";
    }
}

TEST(CorrectionCodec, TextAndParsing) {
    for (const char* name : test::kLocales) {
        LocaleGuard locale(name);
        std::uint16_t reg = 0x1234;
        ASSERT_TRUE(ParseCorrection(QStringLiteral("-0,3"), reg));
        EXPECT_EQ(reg, 125);
        const QChar point = DecimalSeparator();  // whatever was typed
        EXPECT_EQ(CorrectionText(125), QStringLiteral("-0") + point + u'3');
        EXPECT_EQ(CorrectionText(128), QStringLiteral("0") + point + u'0');
        EXPECT_EQ(CorrectionText(0xFFFF), QString());
        ASSERT_TRUE(ParseCorrection(QStringLiteral("12.7"), reg));
        EXPECT_EQ(reg, 255);
        EXPECT_EQ(CorrectionText(0x7700 | 0), QStringLiteral("-12") + point + u'8') << "high byte ignored";
        for (const char* bad : {"12.8", "-12.9", "x", "", "1e30"}) {
            reg = 0x0080;
            EXPECT_FALSE(ParseCorrection(QString::fromLatin1(bad), reg)) << bad;
            EXPECT_EQ(reg, 0x0080) << bad;
        }
    }
}

TEST(SmallTexts, HumidityDeviceIsTypeTwo) {
    EXPECT_TRUE(IsHumidityDevice(QStringLiteral("0201")));
    EXPECT_FALSE(IsHumidityDevice(QStringLiteral("0101")));
    EXPECT_FALSE(IsHumidityDevice(QString()));
    EXPECT_FALSE(IsHumidityDevice(QStringLiteral("0")));
}

}  // namespace
}  // namespace quorvex
