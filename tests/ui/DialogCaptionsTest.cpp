// The four dialogs as the main window handles them: translated by the window
// walk before they open, shown modally, closed from outside when the link is lost.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTestUtil.h"
#include "i18n/TranslateWindow.h"
#include "ui/dialogs/Formcorrect.h"
#include "ui/dialogs/Formfreqsave.h"
#include "ui/dialogs/Formhum.h"
#include "ui/dialogs/Formtemp.h"

namespace quorvex::test {
namespace {

class DialogCaptions : public DialogFixture {};

// Captions by object name, after a walk in `language`.
QStringList Captions(QDialog& dialog, const QStringList& names) {
    QStringList out{dialog.windowTitle()};
    for (const QString& name : names) {
        QWidget* w = dialog.findChild<QWidget*>(name);
        if (auto* box = qobject_cast<QGroupBox*>(w)) out << box->title();
        else if (auto* label = qobject_cast<QLabel*>(w)) out << label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w)) out << button->text();
        else out << QStringLiteral("(no %1)").arg(name);
    }
    return out;
}

TEST_F(DialogCaptions, EveryNumberedCaptionIsTranslatedAndComesBackToPolish) {
    TFormTemperatura temperature(model);
    TFormWilgotnosc humidity(model);
    TFormKorekcja correction(model);
    TFormFreqSave1 interval(model);
    const QStringList thresholdNames{"GroupBox1", "LabelUpper", "LabelLower", "ButtonSave"};
    const QStringList correctionNames{"Label1", "Label3", "ButtonSave", "ButtonClose"};
    const QStringList intervalNames{"GroupBox3", "Label", "ButtonSave", "ButtonClose"};

    TranslateWindow(translator, kLanguageEnglish, &temperature);
    EXPECT_EQ(Captions(temperature, thresholdNames + QStringList{"ButtonClose"}),
              QStringList({"Change parametr", "Temperature", "Upper threshold", "Lower threshold", "Save", "Cancel"}));
    TranslateWindow(translator, kLanguageGerman, &humidity);
    EXPECT_EQ(Captions(humidity, thresholdNames + QStringList{"ButtonCancel"}),
              QStringList({"Den Parameter ändern", "Feuchtigkeit", "Oberer Grenzwert", "Unterer Grenzwert",
                           "Speichern", "Abbrechen"}));
    TranslateWindow(translator, kLanguageEnglish, &correction);
    EXPECT_EQ(Captions(correction, correctionNames),
              QStringList({"Change parametr", "Temperature correction:", "Humidity correction:", "Save", "Cancel"}));
    TranslateWindow(translator, kLanguageGerman, &interval);
    EXPECT_EQ(Captions(interval, intervalNames),
              QStringList({"Den Parameter ändern", "Speicherungsparameter", "Aufzeichnungsfrequenz:", "Speichern",
                           "Abbrechen"}));

    TranslateWindow(translator, kLanguagePolish, &correction);
    EXPECT_EQ(Captions(correction, correctionNames),
              QStringList({"Zmień parametr", "Korekta temperatury:", "Korekta wilgotności:", "Zapisz", "Anuluj"}));
    TranslateWindow(translator, kLanguagePolish, &interval);
    EXPECT_EQ(Captions(interval, intervalNames),
              QStringList({"Zmień parametr", "Parametry zapisu", "Częstość zapisu:", "Zapisz", "Anuluj"}));
}

TEST_F(DialogCaptions, LostLinkClosesTheModalDialogWithNothingSent) {
    Store(18, {0x4125 << 1, 0x100F, 0x0215 << 1, 0x900F});
    Store(300, {0x0080, 0x0080});
    TFormTemperatura temperature(model);
    TFormKorekcja correction(model);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&temperature, &correction}) {
        // The operator has typed a change but not saved when the monitor resets.
        QTimer::singleShot(0, dialog, [dialog] {
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) edit->setText(QStringLiteral("1"));
            dialog->close();
        });
        EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    }
    EXPECT_TRUE(queued.empty());
}

}  // namespace
}  // namespace quorvex::test
