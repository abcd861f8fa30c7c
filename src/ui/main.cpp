// Entry point: the application object, the windows in their fixed order, the
// message loop.
#include <cstdio>
#include <exception>

#include "logs/ResultsStore.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/Application.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"

using namespace quorvex;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    auto print = [](const CommandLine& line) {
        const bool failed = line.action == CommandLine::Action::Fail;
        std::fputs(qPrintable(line.text + QLatin1Char('\n')), failed ? stderr : stdout);
        return failed ? 2 : 0;
    };
    if (AsksOnlyForText(arguments)) {
        QCoreApplication textOnly(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("quorvex"));
        return print(ParseCommandLine(QCoreApplication::arguments()));
    }

    QuorvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvex"));
    const CommandLine line = ParseCommandLine(QCoreApplication::arguments());
    if (line.action != CommandLine::Action::Run) return print(line);

    try {
        // The logger's state and the results outlive every window.
        ParameterModel model;
        ResultsStore results;
        MainWindowOptions options;
        options.settingsPath = SettingsPath(QCoreApplication::applicationFilePath(), line.settingsFile);
        options.portOverride = line.port;
        options.languageOverride = line.language;
        options.resultsFile = line.resultsFile;
        options.archive = line.archive;
        auto* mainForm = new MainWindow(model, results, options);
        mainForm->setAttribute(Qt::WA_DeleteOnClose);
        CreateWindows(mainForm);
        app.CloseOnTermination(mainForm);
        mainForm->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QuorvexApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QuorvexApplication::ShowException(QString());
    }
    return 0;
}
