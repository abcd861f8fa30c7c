// The threshold dialogs driven as an operator would: texts typed into the
// edits, Save pressed, error boxes read; the requests they queue are checked
// one by one, then sent to the simulated logger.
#include <QLineEdit>
#include <QPushButton>

#include "../sim/SimTestUtil.h"
#include "DialogTestUtil.h"
#include "ui/dialogs/Formhum.h"
#include "ui/dialogs/Formtemp.h"

namespace quorvex::test {
namespace {

const QString kUpperNotNumber = QStringLiteral("Parametr górny próg.\nWpisana wartość musi być liczbą");
const QString kLowerNotNumber = QStringLiteral("Parametr dolny próg.\nWpisana wartość musi być liczbą");
const QString kUpperOutTemp =
    QStringLiteral("Parametr górny próg.\nWpisana liczba nie mieści się w zakresie [-99..200°C]");
const QString kLowerOutTemp =
    QStringLiteral("Parametr dolny próg.\nWpisana liczba nie mieści się w zakresie [-99..200°C]");
const QString kLowerOutHum = QStringLiteral("Parametr dolny próg.\nWpisana liczba nie mieści się w zakresie [0..100%]");

class ThresholdDialogs : public DialogFixture {
protected:
    // Registers 18–21 as a logger keeps them: lower −12,5 °C / 10,0 %,
    // upper 21,5 °C / 90,0 %.
    void StoreThresholds() { Store(18, {0x4125 << 1, 0x100F, 0x0215 << 1, 0x900F}); }

    // Shows the dialog, types both texts and presses Save; the error boxes
    // that open on the way are read and closed.
    QStringList Save(ThresholdDialog& dialog, const QString& upper, const QString& lower) {
        if (!dialog.isVisible()) dialog.show();
        dialog.EditUpperLimit->setText(upper);
        dialog.EditLowerLimit->setText(lower);
        ErrorBoxCatcher catcher;
        dialog.ButtonSave->click();
        for (const auto& box : catcher.boxes) {
            EXPECT_EQ(box.caption, QStringLiteral("Błąd"));
            EXPECT_EQ(box.icon, QMessageBox::Critical);
        }
        return catcher.Texts();
    }
};

TEST_F(ThresholdDialogs, ShowsTheLoggerValuesAndWritesNothingWhenLeftAsShown) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.EditUpperLimit->text(), QStringLiteral("21,5"));
    EXPECT_EQ(dialog.EditLowerLimit->text(), QStringLiteral("-12,5"));
    EXPECT_TRUE(Save(dialog, QStringLiteral("21,5"), QStringLiteral("-12,5")).isEmpty());
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ThresholdDialogs, TemperatureRangeEndsAreAcceptedAndWrittenWithTheHumidityKept) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    EXPECT_TRUE(Save(dialog, QStringLiteral("200"), QStringLiteral("-99")).isEmpty());
    // 200,0 = BCD 2000 and −99,0 = sign + BCD 0990, each shifted past the
    // humidity bit; the second register of each pair is carried unchanged.
    EXPECT_EQ(TakeRequests(), QStringList({"16 @20 [4000 900F]", "3 @20 x2", "16 @18 [9320 100F]", "3 @18 x2"}));
    EXPECT_FALSE(dialog.isVisible());
    // Nothing unconfirmed is shown: the written thresholds wait for their read-back.
    EXPECT_TRUE(model.Param<CHighTemp>().GetText().isEmpty());
    EXPECT_TRUE(model.Param<CLowTemp>().GetText().isEmpty());
}

TEST_F(ThresholdDialogs, OutOfRangeUpperOrLowerIsRefusedAndNothingIsWritten) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    EXPECT_EQ(Save(dialog, QStringLiteral("200,1"), QStringLiteral("0")), QStringList{kUpperOutTemp});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), dialog.EditUpperLimit);
    // A valid new upper threshold is not written while the lower one is refused.
    EXPECT_EQ(Save(dialog, QStringLiteral("30"), QStringLiteral("-99,1")), QStringList{kLowerOutTemp});
    EXPECT_EQ(dialog.focusWidget(), dialog.EditLowerLimit);
    EXPECT_EQ(Save(dialog, QStringLiteral("30"), QStringLiteral("")), QStringList{kLowerNotNumber});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(queued.empty());
}

TEST_F(ThresholdDialogs, UpperIsCheckedFirstAndTextsThatAreNotNumbersAreRefused) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    // The lower field is not examined after the upper one fails.
    for (const char* upper : {"", "abc", "inf", "nan", "1e39", "21,5,0", "2 1"}) {
        SCOPED_TRACE(upper);
        EXPECT_EQ(Save(dialog, QString::fromUtf8(upper), QStringLiteral("x")), QStringList{kUpperNotNumber});
    }
    EXPECT_TRUE(queued.empty());
}

TEST_F(ThresholdDialogs, TextsAreComparedAsTyped) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    // "21.5" is the value shown as "21,5", but typed differently: it is written.
    EXPECT_TRUE(Save(dialog, QStringLiteral("21.5"), QStringLiteral("-12,5")).isEmpty());
    EXPECT_EQ(TakeRequests(), QStringList({"16 @20 [042A 900F]", "3 @20 x2"}));
}

TEST_F(ThresholdDialogs, HumidityRangeAndTheTemperatureKeptInTheSameRegisters) {
    Store(17, {0x0201});  // a humidity logger
    StoreThresholds();
    TFormWilgotnosc dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.EditUpperLimit->text(), QStringLiteral("90,0"));
    EXPECT_EQ(Save(dialog, QStringLiteral("100"), QStringLiteral("-0,5")), QStringList{kLowerOutHum});
    EXPECT_TRUE(queued.empty());
    EXPECT_TRUE(Save(dialog, QStringLiteral("100"), QStringLiteral("10,0")).isEmpty());
    // 100,0 % = BCD 1000: its top bit goes to bit 0 of register 20, the rest to
    // the top of register 21; the temperature bits stay as the logger sent them.
    EXPECT_EQ(TakeRequests(), QStringList({"16 @20 [042B 000F]", "3 @20 x2"}));
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("ButtonCancel")), nullptr);
}

TEST_F(ThresholdDialogs, ThresholdsNotYetReadGiveErrorOneAndAreNeverWrittenBlind) {
    TFormTemperatura dialog(model);
    dialog.show();
    EXPECT_TRUE(dialog.EditUpperLimit->text().isEmpty());
    EXPECT_EQ(Save(dialog, dialog.EditUpperLimit->text(), dialog.EditLowerLimit->text()),
              QStringList{kUpperNotNumber});
    // Typed in anyway: the pair's other half is unknown, so nothing is sent.
    EXPECT_EQ(Save(dialog, QStringLiteral("20"), QStringLiteral("5")),
              QStringList{QStringLiteral("Progi nie zostały jeszcze odczytane z Loggera.")});
    EXPECT_TRUE(queued.empty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ThresholdDialogs, ErrorBoxAndCaptionsFollowTheLanguage) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    translator.SetLanguage(kLanguageEnglish);
    dialog.show();
    ErrorBoxCatcher catcher;
    dialog.EditUpperLimit->setText(QStringLiteral("300"));
    dialog.ButtonSave->click();
    ASSERT_EQ(catcher.boxes.size(), 1u);
    EXPECT_EQ(catcher.boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(catcher.boxes[0].text,
              QStringLiteral("Parameter upper threshold.\nThe number entered is outside the range [-99..200°C]"));
}

TEST_F(ThresholdDialogs, CancelClosesWithoutWriting) {
    StoreThresholds();
    TFormTemperatura dialog(model);
    dialog.show();
    dialog.EditUpperLimit->setText(QStringLiteral("25"));
    dialog.ButtonClose->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(queued.empty());
}

TEST_F(ThresholdDialogs, NewThresholdsReachTheSimulatedLoggerAndComeBackConfirmed) {
    sim::SimLogger logger;
    ASSERT_NO_FATAL_FAILURE(Poll(logger));
    TFormTemperatura temperature(model);
    temperature.show();
    EXPECT_EQ(temperature.EditUpperLimit->text(), QStringLiteral("30,0"));
    EXPECT_TRUE(Save(temperature, QStringLiteral("35,5"), QStringLiteral("-5")).isEmpty());
    ASSERT_NO_FATAL_FAILURE(Deliver(logger));

    TFormWilgotnosc humidity(model);
    humidity.show();
    EXPECT_EQ(humidity.EditUpperLimit->text(), QStringLiteral("75,0"));
    EXPECT_TRUE(Save(humidity, QStringLiteral("82,5"), QStringLiteral("25,0")).isEmpty());
    ASSERT_NO_FATAL_FAILURE(Deliver(logger));

    const auto pair = [&](std::uint16_t first) {
        return static_cast<std::uint32_t>(logger.Register(first)) << 16 | logger.Register(first + 1);
    };
    EXPECT_DOUBLE_EQ(RecordTemperature(pair(20)), 35.5);
    EXPECT_DOUBLE_EQ(RecordHumidity(pair(20)), 82.5);
    EXPECT_DOUBLE_EQ(RecordTemperature(pair(18)), -5.0);
    EXPECT_DOUBLE_EQ(RecordHumidity(pair(18)), 25.0);
    // The read-backs have brought the confirmed values into the model.
    EXPECT_EQ(model.Param<CHighTemp>().GetText(), QStringLiteral("35,5"));
    EXPECT_EQ(model.Param<CLowTemp>().GetText(), QStringLiteral("-5,0"));
    EXPECT_EQ(model.Param<CHighHum>().GetText(), QStringLiteral("82,5"));
}

}  // namespace
}  // namespace quorvex::test
