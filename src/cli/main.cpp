// quorvex-cli: the logger from a shell, on the engine of the quorvex window.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

using namespace quorvex;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    CliOptions options;
    QString error;
    const bool parsed = ParseCliOptions(arguments, options, error);
    // The report draws text and a chart: that takes the GUI module, though no display
    // (the offscreen platform unless another is asked for). Everything else runs on QtCore.
    std::unique_ptr<QCoreApplication> app;
    // A headless run (a service, cron, ssh) may have no runtime folder, which the GUI module
    // asks for as it starts: a private one (mode 0700) stands in for this run and goes with it.
    std::unique_ptr<QTemporaryDir> runtimeDir;
    if (parsed && options.command == CliOptions::Command::Report && !options.help && !options.version) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeDir =
                std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quorvex-cli-runtime-XXXXXX"));
            if (runtimeDir->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // The window's application name: its settings folder is shared.
    QCoreApplication::setApplicationName(QStringLiteral("quorvex"));

    if (!parsed) {
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
