// The four dialogs as the main window handles them: translated by the window
// walk before they open, shown modally, closed from outside when the link is lost.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "DialogTestSupport.h"
#include "ui/TranslateWindow.h"
#include "ui/dialogs/CorrectionDialog.h"
#include "ui/dialogs/SaveIntervalDialog.h"
#include "ui/dialogs/TemperatureThresholdDialog.h"

namespace quorvex::test {
namespace {

class DialogCaptions : public DialogFixture {};

// The dialog's caption, then its group box, label and button captions in creation order.
QStringList Captions(QDialog& dialog, const QString& language, Translator& translator) {
    TranslateWindow(translator, language, &dialog);
    QStringList out{dialog.windowTitle()};
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (auto* box = qobject_cast<QGroupBox*>(w)) out << box->title();
        if (auto* label = qobject_cast<QLabel*>(w)) out << label->text();
        if (auto* button = qobject_cast<QPushButton*>(w)) out << w->objectName() + u'=' + button->text();
    }
    return out;
}

TEST_F(DialogCaptions, EveryNumberedCaptionIsTranslatedAndComesBackToPolish) {
    CorrectionDialog correction(model);
    SaveIntervalDialog interval(model);
    EXPECT_EQ(Captions(correction, kLanguageEnglish, translator),
              QStringList({"Change parametr", "Temperature correction:", "°C", "Humidity correction:", "%",
                           "ButtonSave=Save", "ButtonClose=Cancel"}));
    EXPECT_EQ(Captions(correction, kLanguagePolish, translator),
              QStringList({"Zmień parametr", "Korekta temperatury:", "°C", "Korekta wilgotności:", "%",
                           "ButtonSave=Zapisz", "ButtonClose=Anuluj"}));
    EXPECT_EQ(Captions(interval, kLanguageGerman, translator),
              QStringList({"Den Parameter ändern", "Speicherungsparameter",
                           "Aufzeichnungsfrequenz:", "ButtonSave=Speichern", "ButtonClose=Abbrechen"}));
}

TEST_F(DialogCaptions, LostLinkClosesTheModalDialogWithNothingSent) {
    Store(18, {0x4125 << 1, 0x100F, 0x0215 << 1, 0x900F});
    TemperatureThresholdDialog temperature(model);
    // The operator has typed a change but not saved when the monitor resets.
    QTimer::singleShot(0, &temperature, [&] {
        temperature.upperEdit->setText(QStringLiteral("1"));
        temperature.close();
    });
    EXPECT_EQ(temperature.exec(), QDialog::Rejected);
    EXPECT_TRUE(queued.empty());
}

}  // namespace
}  // namespace quorvex::test
