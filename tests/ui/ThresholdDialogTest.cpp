// The threshold dialogs driven as an operator would: texts typed, Save
// pressed, error boxes read; then the queued requests, and the simulated logger.
#include "../sim/SimTestUtil.h"
#include "DialogTestSupport.h"
#include "ui/dialogs/HumidityThresholdDialog.h"
#include "ui/dialogs/TemperatureThresholdDialog.h"

namespace quorvex::test {
namespace {

const QString kNotNumber = QStringLiteral("Błąd|Parametr %1 próg.\nWpisana wartość musi być liczbą");
const QString kOutside = QStringLiteral("Błąd|Parametr %1 próg.\nWpisana liczba nie mieści się w zakresie [%2]");

class ThresholdDialogs : public DialogFixture {
protected:
    // Registers 18–21: lower −12,5 °C / 10,0 %, upper 21,5 °C / 90,0 %.
    void StoreThresholds() { Store(18, {0x4125 << 1, 0x100F, 0x0215 << 1, 0x900F}); }
    QStringList Save(ThresholdDialog& d, const QString& upper, const QString& lower) {
        return DialogFixture::Save(d, {d.upperEdit, d.lowerEdit}, {upper, lower});
    }
};

TEST_F(ThresholdDialogs, OnlyChangedTextsAreWrittenEachWithItsReadBack) {
    StoreThresholds();
    TemperatureThresholdDialog dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.upperEdit->text(), QStringLiteral("21,5"));
    EXPECT_EQ(dialog.lowerEdit->text(), QStringLiteral("-12,5"));
    EXPECT_EQ(Save(dialog, "21,5", "-12,5"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList());
    EXPECT_FALSE(dialog.isVisible());
    // "21.5" is the shown value typed differently: it is written all the same.
    EXPECT_EQ(Save(dialog, "21.5", "-12,5"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList({"w20=042a,900f", "r20+2"}));
    EXPECT_TRUE(model.Param<HighTemp>().GetText().isEmpty());  // shown again only once read back
    // The range ends: BCD 2000 and sign + BCD 0990 above the humidity bit; the
    // humidity half of each pair is carried as received.
    StoreThresholds();
    EXPECT_EQ(Save(dialog, "200", "-99"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList({"w20=4000,900f", "r20+2", "w18=9320,100f", "r18+2"}));
}

TEST_F(ThresholdDialogs, UpperIsCheckedBeforeLowerAndNothingIsWrittenUnlessBothPass) {
    StoreThresholds();
    TemperatureThresholdDialog dialog(model);
    for (const char* upper : {"", "abc", "inf", "nan", "1e39", "2,1,0"})
        EXPECT_EQ(Save(dialog, upper, "x"), QStringList{kNotNumber.arg("górny")}) << upper;
    EXPECT_EQ(Save(dialog, "200,1", "x"), QStringList{kOutside.arg("górny", "-99..200°C")});
    EXPECT_EQ(dialog.focusWidget(), dialog.upperEdit);
    EXPECT_EQ(Save(dialog, "30", ""), QStringList{kNotNumber.arg("dolny")});
    EXPECT_EQ(Save(dialog, "30", "-99,1"), QStringList{kOutside.arg("dolny", "-99..200°C")});
    EXPECT_EQ(dialog.focusWidget(), dialog.lowerEdit);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(TakeRequests(), QStringList());

    // Upside down or equal, as typed: refused naming both, nothing written.
    for (auto [upper, lower] : {std::pair{"1,0", "10,0"}, std::pair{"10", "10,0"}})
        EXPECT_EQ(Save(dialog, upper, lower),
                  QStringList{
                      QStringLiteral("Błąd|Górny próg (%1) musi być wyższy od dolnego progu (%2).").arg(upper, lower)});
    EXPECT_EQ(TakeRequests(), QStringList());

    SetLanguage(kLanguageEnglish);
    EXPECT_EQ(Save(dialog, "300", "0"),
              QStringList{"Error|Parameter upper threshold.\nThe number entered is outside the range [-99..200°C]"});
}

TEST_F(ThresholdDialogs, HumidityRangeAndThresholdsNotYetRead) {
    HumidityThresholdDialog dialog(model);
    dialog.show();
    EXPECT_EQ(Save(dialog, dialog.upperEdit->text(), dialog.lowerEdit->text()), QStringList{kNotNumber.arg("górny")});
    // Typed in anyway: the other half of the pair is unknown, so nothing goes out blind.
    EXPECT_EQ(Save(dialog, "50", "5"), QStringList{"Błąd|Progi nie zostały jeszcze odczytane z Loggera."});
    EXPECT_EQ(TakeRequests(), QStringList());

    dialog.reject();
    StoreThresholds();
    EXPECT_EQ(Save(dialog, "100", "-0,5"), QStringList{kOutside.arg("dolny", "0..100%")});
    EXPECT_EQ(Save(dialog, "20", "50"), QStringList{"Błąd|Górny próg (20) musi być wyższy od dolnego progu (50)."});
    // 100,0 % = BCD 1000: its top bit is bit 0 of register 20, the temperature bits stay.
    EXPECT_EQ(Save(dialog, "100", "10,0"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList({"w20=042b,000f", "r20+2"}));
}

TEST_F(ThresholdDialogs, NewThresholdsReachTheSimulatedLoggerAndComeBackConfirmed) {
    ASSERT_NO_FATAL_FAILURE(Poll());
    TemperatureThresholdDialog temperature(model);
    HumidityThresholdDialog humidity(model);
    EXPECT_EQ(Save(temperature, "35,5", "-5"), QStringList());
    ASSERT_NO_FATAL_FAILURE(Run());
    humidity.show();
    EXPECT_EQ(humidity.upperEdit->text(), QStringLiteral("75,0"));
    EXPECT_EQ(Save(humidity, "82,5", "25,0"), QStringList());
    ASSERT_NO_FATAL_FAILURE(Run());

    const auto pair = [&](std::uint16_t first) {
        return static_cast<std::uint32_t>(logger->Register(first)) << 16 | logger->Register(first + 1);
    };
    EXPECT_DOUBLE_EQ(RecordTemperature(pair(20)), 35.5);
    EXPECT_DOUBLE_EQ(RecordHumidity(pair(20)), 82.5);
    EXPECT_DOUBLE_EQ(RecordTemperature(pair(18)), -5.0);
    EXPECT_DOUBLE_EQ(RecordHumidity(pair(18)), 25.0);
    EXPECT_EQ(model.Param<HighTemp>().GetText(), QStringLiteral("35,5"));
    EXPECT_EQ(model.Param<HighHum>().GetText(), QStringLiteral("82,5"));
}

}  // namespace
}  // namespace quorvex::test
