// Entry point: the application object, the windows in their fixed order, the
// message loop.
#include <QCommandLineParser>

#include <exception>

#include "params/Datamanager.h"
#include "ui/Application.h"
#include "ui/IniFile.h"
#include "ui/Mainform.h"

using namespace quorvex;

int main(int argc, char** argv)
{
    QuorvexApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvex"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Temperature and humidity logger companion"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Link for this run: USB or a serial port path."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("Settings file to use."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Polski, Angielski or Niemiecki."), QStringLiteral("LANG"));
    parser.addOptions({port, settings, language});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Results file (text or CSV) to open."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);

    try {
        MDataParametry model;
        MainFormOptions options;
        options.settingsPath = SettingsPath(QCoreApplication::applicationFilePath(), parser.value(settings));
        options.portOverride = parser.value(port);
        options.languageOverride = parser.value(language);
        options.resultsFile = parser.positionalArguments().value(0);
        auto* mainForm = new TMainForm1(model, options);
        mainForm->setAttribute(Qt::WA_DeleteOnClose);
        CreateForms(mainForm);
        app.CloseOnTermination(mainForm);
        mainForm->show();
        QApplication::exec();
        AppForms = Forms{};
    } catch (const std::exception& e) {
        QuorvexApplication::ShowException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QuorvexApplication::ShowException(QString());
    }
    return 0;
}
