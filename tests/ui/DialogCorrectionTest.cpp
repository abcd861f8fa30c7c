// The correction dialog: both corrections checked before anything is sent,
// only changed ones written and read back, one reset command after a change.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTestUtil.h"
#include "ui/dialogs/Formcorrect.h"

namespace quorvex::test {
namespace {

class CorrectionDialog : public DialogFixture {
protected:
    CorrectionDialog() { Store(300, {0x0080, 0x0085}); }  // 0,0 °C and 0,5 %

    QStringList Save(const QString& temp, const QString& hum) {
        if (!dialog.isVisible()) dialog.show();
        dialog.EditTemp->setText(temp);
        dialog.EditHum->setText(hum);
        ErrorBoxCatcher catcher;
        dialog.ButtonSave->click();
        return catcher.Texts();
    }

    TFormKorekcja dialog{model};
};

TEST_F(CorrectionDialog, UnchangedTextsSendNothingNotEvenTheReset) {
    dialog.show();
    EXPECT_EQ(dialog.EditTemp->text(), QStringLiteral("0,0"));
    EXPECT_EQ(dialog.EditHum->text(), QStringLiteral("0,5"));
    EXPECT_TRUE(Save(QStringLiteral("0,0"), QStringLiteral("0,5")).isEmpty());
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(CorrectionDialog, RangeEndsAreWrittenInOrderFollowedByOneReset) {
    EXPECT_TRUE(Save(QStringLiteral("-3"), QStringLiteral("3")).isEmpty());
    // −30 and 30 tenths offset by 128: low bytes 98 and 158, high bytes 0.
    EXPECT_EQ(TakeRequests(), QStringList({"16 @300 [0062]", "3 @300 x1", "16 @301 [009E]", "3 @301 x1", "65"}));
    EXPECT_TRUE(model.Param<CCorrectionTemp>().GetText().isEmpty());  // until the read-back
}

TEST_F(CorrectionDialog, OnlyTheHumidityCorrectionChanged) {
    EXPECT_TRUE(Save(QStringLiteral("0,0"), QStringLiteral("1.5")).isEmpty());
    EXPECT_EQ(TakeRequests(), QStringList({"16 @301 [008F]", "3 @301 x1", "65"}));  // 15 tenths + 128
}

TEST_F(CorrectionDialog, RefusalsComeInOrderAndNothingIsWritten) {
    EXPECT_EQ(Save(QStringLiteral("3,1"), QStringLiteral("0")),
              QStringList{QStringLiteral("Parametr korekcja tempeeratury.\n"
                                         "Wpisana liczba nie mieści się w zakresie [-3..3°C]")});
    EXPECT_EQ(Save(QStringLiteral("-"), QStringLiteral("0")),
              QStringList{QStringLiteral("Parametr korekcja temperatury.\nWpisana wartość musi być liczbą")});
    // A valid temperature change is not sent when the humidity is refused.
    EXPECT_EQ(Save(QStringLiteral("1"), QStringLiteral("")),
              QStringList{QStringLiteral("Parametr korekcja wilgotności.\nWpisana wartość musi być liczbą")});
    EXPECT_EQ(Save(QStringLiteral("1"), QStringLiteral("-3,1")),
              QStringList{QStringLiteral("Parametr korekcja wilgotności.\n"
                                         "Wpisana liczba nie mieści się w zakresie [-3..3%]")});
    EXPECT_EQ(dialog.focusWidget(), dialog.EditHum);
    EXPECT_TRUE(queued.empty());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CorrectionDialog, GermanLabelsAndErrors) {
    translator.SetLanguage(kLanguageGerman);
    EXPECT_EQ(translator.Tr(dialog.Label1->text()), QStringLiteral("Temperaturkorrektur:"));
    EXPECT_EQ(Save(QStringLiteral("5"), QStringLiteral("0")),
              QStringList{QStringLiteral("Parameter Temperaturkorrektur.\n"
                                         "Die eingegebene Zahl liegt außerhalb des Bereichs [-3..3°C]")});
}

TEST_F(CorrectionDialog, NewCorrectionsReachTheSimulatedLoggerWithOneReset) {
    sim::SimLogger logger;
    ASSERT_NO_FATAL_FAILURE(Poll(logger));
    dialog.show();
    EXPECT_EQ(dialog.EditTemp->text(), QStringLiteral("0,0"));
    EXPECT_TRUE(Save(QStringLiteral("-1,5"), QStringLiteral("2,4")).isEmpty());
    ASSERT_NO_FATAL_FAILURE(Deliver(logger));
    EXPECT_EQ(logger.Register(300), 128 - 15);
    EXPECT_EQ(logger.Register(301), 128 + 24);
    EXPECT_EQ(logger.ResetCommandCount(), 1u);
    EXPECT_EQ(model.Param<CCorrectionTemp>().GetText(), QStringLiteral("-1,5"));
    EXPECT_EQ(model.Param<CCorrectionHum>().GetText(), QStringLiteral("2,4"));

    // Shown again unchanged: nothing more reaches the logger.
    EXPECT_TRUE(Save(dialog.EditTemp->text(), dialog.EditHum->text()).isEmpty());
    EXPECT_TRUE(queued.empty());
}

}  // namespace
}  // namespace quorvex::test
