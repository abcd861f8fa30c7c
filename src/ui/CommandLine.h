#pragma once
// The program's command line: what to run with, or what to print instead.
//   quorvex [--port NAME] [--settings FILE] [--language LANG] [--archive WHERE] [--version] [--help] [RESULTS]
// --port and --language hold for this run only: the settings file keeps the
// link and the language the operator chose in the program.
#include <QString>
#include <QStringList>

namespace quorvex {

struct CommandLine {
    enum class Action { Run, PrintVersion, PrintHelp, Fail };
    Action action = Action::Run;
    // For Run: the link and language given for this run (empty: the stored
    // ones) and the settings file named (empty: the usual place).
    QString port;
    QString language;  // one of the three stored names
    QString settingsFile;
    QString archive;      // --archive: a file, a postgresql:// address or "none" (empty: the usual place)
    QString resultsFile;  // a results file to open once the window is up (empty: none)
    // For the other actions: the text to print (on standard error for Fail).
    QString text;
};

// `arguments` as the program received them, the program's own name first.
CommandLine ParseCommandLine(const QStringList& arguments);

// The arguments ask only for a text (--version, --help): the program prints it
// without opening a window, so it works without a display too.
bool AsksOnlyForText(const QStringList& arguments);

// "quorvex 4.6".
QString VersionText();

}  // namespace quorvex
