#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"
#include "ui/ChartPrinting.h"
#include "ui/MainWindow.h"
#include "ui/dialogs/ClockDialog.h"
#include "ui/dialogs/CorrectionDialog.h"
#include "ui/dialogs/HumidityThresholdDialog.h"
#include "ui/dialogs/LoggerNameDialog.h"
#include "ui/dialogs/ParameterReadWindow.h"
#include "ui/dialogs/SaveIntervalDialog.h"
#include "ui/dialogs/StartDialog.h"
#include "ui/dialogs/TemperatureThresholdDialog.h"

namespace quorvex {

void CreateWindows(MainWindow* mainWindow)
{
    AppWindows.mainWindow = mainWindow;
    AppWindows.parameterReadWindow = new ParameterReadWindow(mainWindow);
    auto* chart = new ChartWindow(mainWindow);
    chart->setWindowFlag(Qt::Window);  // its own window, not a part of the main one
    AppWindows.chartWindow = chart;
    AppWindows.humidityDialog = new HumidityThresholdDialog(mainWindow->Model(), mainWindow);
    AppWindows.correctionDialog = new CorrectionDialog(mainWindow->Model(), mainWindow);
    AppWindows.clockDialog = new ClockDialog(mainWindow->Model(), mainWindow);
    AppWindows.loggerNameDialog = new LoggerNameDialog(mainWindow->Model(), mainWindow);
    AppWindows.startDialog = new StartDialog(mainWindow->Model(), mainWindow);
    AppWindows.saveIntervalDialog = new SaveIntervalDialog(mainWindow->Model(), mainWindow);
    auto* print = new PrintDialog(mainWindow->SettingsFilePath(), mainWindow);
    AppWindows.printDialog = print;
    AppWindows.temperatureDialog = new TemperatureThresholdDialog(mainWindow->Model(), mainWindow);
    ConnectChartPrinting(*chart, *print);
    QObject::connect(print, &PrintDialog::PdfWritten, mainWindow, &MainWindow::PrintoutSaved);
}

void DestroyWindows()
{
    // Children of the main window: they go with it unless it is still there.
    for (QWidget* w : {static_cast<QWidget*>(AppWindows.parameterReadWindow), AppWindows.chartWindow,
                       AppWindows.humidityDialog, AppWindows.correctionDialog, AppWindows.clockDialog, AppWindows.loggerNameDialog,
                       AppWindows.startDialog, AppWindows.saveIntervalDialog, AppWindows.printDialog,
                       AppWindows.temperatureDialog})
        delete w;
    MainWindow* main = AppWindows.mainWindow;
    AppWindows = ProgramWindows{};
    AppWindows.mainWindow = main;
}

}  // namespace quorvex
