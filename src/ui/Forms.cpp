#include "print/Formdrukuj.h"
#include "ui/Mainform.h"
#include "ui/dialogs/Formcorrect.h"
#include "ui/dialogs/Formfreqsave.h"
#include "ui/dialogs/Formhum.h"
#include "ui/dialogs/Formodczytparam.h"
#include "ui/dialogs/Formtemp.h"
#include "ui/dialogs/Shells.h"

namespace quorvex {

void CreateForms(TMainForm1* mainForm)
{
    AppForms.MainForm1 = mainForm;
    const QString change = QStringLiteral("[600]Zmiana parametru");
    auto shell = [&](const char* name, const QString& caption) {
        return new ShellDialog(QString::fromLatin1(name), caption, mainForm);
    };
    AppForms.FormOdczytParam1 = new TFormOdczytParam1(mainForm);
    AppForms.FormWykres1 = shell("FormWykres1", QStringLiteral("[12]Pokaż wykres"));
    AppForms.FormWilgotnosc = new TFormWilgotnosc(mainForm->Model(), mainForm);
    AppForms.FormKorekcja = new TFormKorekcja(mainForm->Model(), mainForm);
    AppForms.FormZegar1 = shell("FormZegar1", change);
    AppForms.FormNazwa1 = shell("FormNazwa1", change);
    AppForms.FormStartLog1 = shell("FormStartLog1", change);
    AppForms.FormFreqSave1 = new TFormFreqSave1(mainForm->Model(), mainForm);
    AppForms.FormDrukuj1 = new TFormDrukuj1(mainForm->SettingsFilePath(), mainForm);
    AppForms.FormTemperatura = new TFormTemperatura(mainForm->Model(), mainForm);
}

void DestroyForms()
{
    // Children of the main window: they go with it unless it is still there.
    for (QWidget* w : {static_cast<QWidget*>(AppForms.FormOdczytParam1), AppForms.FormWykres1,
                       AppForms.FormWilgotnosc, AppForms.FormKorekcja, AppForms.FormZegar1, AppForms.FormNazwa1,
                       AppForms.FormStartLog1, AppForms.FormFreqSave1, AppForms.FormDrukuj1,
                       AppForms.FormTemperatura})
        delete w;
    TMainForm1* main = AppForms.MainForm1;
    AppForms = Forms{};
    AppForms.MainForm1 = main;
}

}  // namespace quorvex
