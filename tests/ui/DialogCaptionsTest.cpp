// The three dialogs through the translator's whole-window walk: every caption
// is reached (none keeps its bracketed number) and switching back restores Polish.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "DialogTestSupport.h"
#include "i18n/Translate.h"
#include "i18n/TranslateWindow.h"
#include "ui/dialogs/Formnazwa.h"
#include "ui/dialogs/Formstartlog.h"
#include "ui/dialogs/Formzegar.h"

namespace quorvex {
namespace {

QStringList Captions(QDialog& dialog)
{
    QStringList out{dialog.windowTitle()};
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (auto* box = qobject_cast<QGroupBox*>(w)) out << box->title();
        else if (auto* label = qobject_cast<QLabel*>(w)) out << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) out << button->text();
    }
    return out;
}

TEST(DialogCaptions, EveryCaptionIsTranslatedBothWays)
{
    dialogtest::EnsureApplication();
    MDataParametry model;
    TFormZegar1 zegar(model);
    TFormNazwa1 nazwa(model);
    TFormStartLog1 start(model);
    MTranslate translator;
    for (QDialog* d : std::initializer_list<QDialog*>{&zegar, &nazwa, &start}) {
        const QStringList numbered = Captions(*d);
        TranslateWindow(translator, kLanguageGerman, d);
        const QStringList german = Captions(*d);
        EXPECT_EQ(german.filter(QStringLiteral("[")), QStringList()) << d->objectName().toStdString();
        EXPECT_EQ(german.first(), QStringLiteral("Den Parameter ändern"));
        TranslateWindow(translator, kLanguagePolish, d);
        const QStringList polish = Captions(*d);
        ASSERT_EQ(polish.size(), numbered.size());
        for (qsizetype i = 0; i < polish.size(); ++i)
            EXPECT_TRUE(numbered[i].startsWith(u'[') && numbered[i].endsWith(u']' + polish[i])) << polish[i].toStdString();
        EXPECT_EQ(polish.filter(QStringLiteral("[")), QStringList());
    }
    EXPECT_EQ(start.RadioButtonSU3->text(), QStringLiteral("o ustalonym czasie"));
    EXPECT_EQ(zegar.CheckBoxLoggerTime->text(), QStringLiteral("Odczytuj czas z loggera"));
}

}  // namespace
}  // namespace quorvex
