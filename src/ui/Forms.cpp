#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"
#include "ui/Mainform.h"
#include "ui/dialogs/CorrectionDialog.h"
#include "ui/dialogs/SaveIntervalDialog.h"
#include "ui/dialogs/HumidityThresholdDialog.h"
#include "ui/dialogs/LoggerNameDialog.h"
#include "ui/dialogs/ParameterReadWindow.h"
#include "ui/dialogs/StartDialog.h"
#include "ui/dialogs/TemperatureThresholdDialog.h"
#include "ui/dialogs/ClockDialog.h"

namespace quorvex {

void CreateForms(TMainForm1* mainForm)
{
    AppForms.MainForm1 = mainForm;
    AppForms.FormOdczytParam1 = new ParameterReadWindow(mainForm);
    auto* chart = new ChartWindow(mainForm);
    chart->setWindowFlag(Qt::Window);  // its own window, not a part of the main one
    AppForms.FormWykres1 = chart;
    AppForms.FormWilgotnosc = new HumidityThresholdDialog(mainForm->Model(), mainForm);
    AppForms.FormKorekcja = new CorrectionDialog(mainForm->Model(), mainForm);
    AppForms.FormZegar1 = new ClockDialog(mainForm->Model(), mainForm);
    AppForms.FormNazwa1 = new LoggerNameDialog(mainForm->Model(), mainForm);
    AppForms.FormStartLog1 = new StartDialog(mainForm->Model(), mainForm);
    AppForms.FormFreqSave1 = new SaveIntervalDialog(mainForm->Model(), mainForm);
    AppForms.FormDrukuj1 = new PrintDialog(mainForm->SettingsFilePath(), mainForm);
    AppForms.FormTemperatura = new TemperatureThresholdDialog(mainForm->Model(), mainForm);
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
