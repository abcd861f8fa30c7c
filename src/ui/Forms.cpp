#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"
#include "ui/Mainform.h"
#include "ui/dialogs/Formcorrect.h"
#include "ui/dialogs/Formfreqsave.h"
#include "ui/dialogs/Formhum.h"
#include "ui/dialogs/Formnazwa.h"
#include "ui/dialogs/Formodczytparam.h"
#include "ui/dialogs/Formstartlog.h"
#include "ui/dialogs/Formtemp.h"
#include "ui/dialogs/Formzegar.h"

namespace quorvex {

void CreateForms(TMainForm1* mainForm)
{
    AppForms.MainForm1 = mainForm;
    AppForms.FormOdczytParam1 = new TFormOdczytParam1(mainForm);
    auto* chart = new ChartWindow(mainForm);
    chart->setWindowFlag(Qt::Window);  // its own window, not a part of the main one
    AppForms.FormWykres1 = chart;
    AppForms.FormWilgotnosc = new TFormWilgotnosc(mainForm->Model(), mainForm);
    AppForms.FormKorekcja = new TFormKorekcja(mainForm->Model(), mainForm);
    AppForms.FormZegar1 = new TFormZegar1(mainForm->Model(), mainForm);
    AppForms.FormNazwa1 = new TFormNazwa1(mainForm->Model(), mainForm);
    AppForms.FormStartLog1 = new TFormStartLog1(mainForm->Model(), mainForm);
    AppForms.FormFreqSave1 = new TFormFreqSave1(mainForm->Model(), mainForm);
    AppForms.FormDrukuj1 = new PrintDialog(mainForm->SettingsFilePath(), mainForm);
    AppForms.FormTemperatura = new TFormTemperatura(mainForm->Model(), mainForm);
    chart->SetPrintWindow(static_cast<PrintDialog*>(AppForms.FormDrukuj1));
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
