#include "chart/ChartWindow.h"
#include "print/PrintDialog.h"
#include "ui/ArchiveKeeping.h"
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

void CreateWindows(MainWindow* mainWindow) {
    ProgramWindows& windows = mainWindow->Windows();
    windows.parameterReadWindow = new ParameterReadWindow(mainWindow);
    auto* chart = new ChartWindow(mainWindow->Results(), mainWindow);
    chart->setWindowFlag(Qt::Window);  // its own window, not a part of the main one
    windows.chartWindow = chart;
    windows.humidityDialog = new HumidityThresholdDialog(mainWindow->Model(), mainWindow);
    windows.correctionDialog = new CorrectionDialog(mainWindow->Model(), mainWindow);
    windows.clockDialog = new ClockDialog(mainWindow->Model(), mainWindow);
    windows.loggerNameDialog = new LoggerNameDialog(mainWindow->Model(), mainWindow);
    auto* start = new StartDialog(mainWindow->Model(), mainWindow);
    start->BeforeNewLog = [mainWindow](std::function<void()> write) {
        mainWindow->Keeping().GuardNewLog(std::move(write));
    };
    windows.startDialog = start;
    windows.saveIntervalDialog = new SaveIntervalDialog(mainWindow->Model(), mainWindow);
    auto* print = new PrintDialog(mainWindow->Results(), mainWindow->SettingsFilePath(), mainWindow);
    windows.printDialog = print;
    windows.temperatureDialog = new TemperatureThresholdDialog(mainWindow->Model(), mainWindow);
    ConnectChartPrinting(*chart, *print);
    QObject::connect(print, &PrintDialog::PdfWritten, mainWindow, &MainWindow::PrintoutSaved);
}

void DestroyWindows(MainWindow& mainWindow) {
    ProgramWindows& windows = mainWindow.Windows();
    // Children of the main window: they go with it unless it is still there.
    for (QWidget* w : {static_cast<QWidget*>(windows.parameterReadWindow), windows.chartWindow, windows.humidityDialog,
                       windows.correctionDialog, windows.clockDialog, windows.loggerNameDialog, windows.startDialog,
                       windows.saveIntervalDialog, windows.printDialog, windows.temperatureDialog})
        delete w;
    windows = ProgramWindows{};
}

}  // namespace quorvex
