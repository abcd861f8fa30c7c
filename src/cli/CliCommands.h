#pragma once
// The commands of quorvex-cli on the engine the window uses. Each returns the program's exit
// code (CliOptions.h) and reports on standard error; results go to standard output.
#include <QString>

#include "cli/CliOptions.h"
#include "cli/LoggerSession.h"

namespace quorvex {

class StopSignals;

// What every command starts from: the options, the link and language resolved against the
// window's settings file, and the stop signals.
struct CliContext {
    const CliOptions& options;
    StopSignals& stop;
    QString link;
    QString language;
    QString settingsFile;  // the window's settings file (rules, report table)

    LoggerSession::Options SessionOptions() const;
    bool Interrupted() const;
    // The exit code of a session that did not come up, with its reason said.
    int ConnectFailed(const LoggerSession& session, LoggerSession::Outcome outcome) const;
};

// Resolves link and language and runs the chosen command.
int RunCli(const CliOptions& options);

int RunInfo(const CliContext& context);
int RunSetClock(const CliContext& context);
int RunRecording(const CliContext& context, bool start);
int RunDownload(const CliContext& context);
int RunReport(const CliContext& context);
int RunEvaluate(const CliContext& context);

// "quorvex-cli: " + line on standard error; Print writes to standard output as it is.
void Say(const QString& line);
void Print(const QString& text);

}  // namespace quorvex
