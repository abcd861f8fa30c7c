// The correction dialog: both corrections checked before anything is sent,
// only changed ones written and read back, one reset command after a change.
#include <QLabel>

#include "DialogTestSupport.h"
#include "ui/dialogs/CorrectionDialog.h"

namespace quorvex::test {
namespace {

class CorrectionDialogTest : public DialogFixture {
protected:
    CorrectionDialogTest() {
        Store(17, {0x0201});           // a logger with humidity
        Store(300, {0x0080, 0x0085});  // 0,0 °C and 0,5 %
    }
    QStringList Save(const QString& temp, const QString& hum) {
        return DialogFixture::Save(dialog, {dialog.tempEdit, dialog.humEdit}, {temp, hum});
    }
    CorrectionDialog dialog{model};
};

TEST_F(CorrectionDialogTest, ChangedCorrectionsAreWrittenThenOneResetUnchangedSendNothing) {
    dialog.show();
    EXPECT_EQ(dialog.humEdit->text(), QStringLiteral("0,5"));
    EXPECT_EQ(Save("0,0", "0,5"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Save("0,0", "1.5"), QStringList());  // 15 tenths + 128
    EXPECT_EQ(TakeRequests(), QStringList({"w301=008f", "r301+1", "65"}));
    Store(300, {0x0080, 0x0085});
    EXPECT_EQ(Save("-3", "3"), QStringList());  // low bytes 98 and 158
    EXPECT_EQ(TakeRequests(), QStringList({"w300=0062", "r300+1", "w301=009e", "r301+1", "65"}));
}

TEST_F(CorrectionDialogTest, RefusalsComeInOrderAndNothingIsWritten) {
    const QString outside = QStringLiteral("Błąd|Parametr korekcja %1.\nWpisana liczba nie mieści się w zakresie %2");
    const QString notNumber = QStringLiteral("Błąd|Parametr korekcja %1.\nWpisana wartość musi być liczbą");
    EXPECT_EQ(Save("3,1", "x"), QStringList{outside.arg("tempeeratury", "[-3..3°C]")});
    EXPECT_EQ(Save("-", "0"), QStringList{notNumber.arg("temperatury")});
    EXPECT_EQ(Save("1", ""), QStringList{notNumber.arg("wilgotności")});
    EXPECT_EQ(Save("1", "-3,1"), QStringList{outside.arg("wilgotności", "[-3..3%]")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(TakeRequests(), QStringList());
    SetLanguage(kLanguageGerman);
    EXPECT_EQ(Save("5", "0"), QStringList{"Fehler|Parameter Temperaturkorrektur.\n"
                                          "Die eingegebene Zahl liegt außerhalb des Bereichs [-3..3°C]"});
}

TEST_F(CorrectionDialogTest, ATemperatureOnlyLoggerKeepsItsHumidityCorrectionAsItIs) {
    Store(17, {0x0101});
    dialog.show();
    EXPECT_FALSE(dialog.humEdit->isEnabled());
    EXPECT_FALSE(dialog.humCaption->isEnabled());
    EXPECT_TRUE(dialog.tempEdit->isEnabled());
    EXPECT_EQ(Save("1", "whatever"), QStringList());
    EXPECT_EQ(TakeRequests(), QStringList({"w300=008a", "r300+1", "65"}));
}

TEST_F(CorrectionDialogTest, NewCorrectionsReachTheSimulatedLoggerWithOneReset) {
    ASSERT_NO_FATAL_FAILURE(Poll());
    EXPECT_EQ(Save("-1,5", "2,4"), QStringList());
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(logger->Register(300), 128 - 15);
    EXPECT_EQ(logger->Register(301), 128 + 24);
    EXPECT_EQ(logger->ResetCommandCount(), 1u);
    EXPECT_EQ(model.Param<CorrectionHum>().GetText(), QStringLiteral("2,4"));
}

}  // namespace
}  // namespace quorvex::test
