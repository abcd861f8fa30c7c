// quorvex-cli: the logger from a shell, on the engine of the quorvex window.
#include <QCoreApplication>

#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

using namespace quorvex;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The window's application name: its settings folder is shared.
    QCoreApplication::setApplicationName(QStringLiteral("quorvex"));

    CliOptions options;
    QString error;
    if (!ParseCliOptions(QCoreApplication::arguments(), options, error)) {
        Say(error);
        std::fputs("Try 'quorvex-cli --help' for more information.\n", stderr);
        return kExitUsage;
    }
    if (options.help) {
        Print(CliHelpText());
        return kExitDone;
    }
    if (options.version) {
        Print(CliVersionText());
        return kExitDone;
    }
    return RunCli(options);
}
