#pragma once
// The commands of quorvex-cli on the engine the window uses. Each returns the program's exit
// code (CliOptions.h) and reports on standard error; results go to standard output.
#include <QString>

#include <memory>

#include "archive/Archive.h"
#include "cli/CliOptions.h"
#include "cli/LoggerSession.h"
#include "logs/ResultsFile.h"

namespace quorvex {

class StopSignals;

// What every command starts from: the options, the link and language resolved against the
// window's settings file, and the stop signals.
struct CliContext {
    const CliOptions& options;
    StopSignals& stop;
    QString link;
    QString language;
    ArchiveLocation archive;
    QString settingsFile;  // the window's settings file (rules, report table)

    LoggerSession::Options SessionOptions() const;
    bool Interrupted() const;
    // The exit code of a session that did not come up, with its reason said.
    int ConnectFailed(const LoggerSession& session, LoggerSession::Outcome outcome) const;
    // The archive to keep downloads in; nullptr for none or when it cannot be opened (said).
    std::unique_ptr<Archive> OpenArchive() const;
};

// Resolves link and language and runs the chosen command.
int RunCli(const CliOptions& options);

int RunInfo(const CliContext& context);
int RunSetClock(const CliContext& context);
int RunRecording(const CliContext& context, bool start);
int RunDownload(const CliContext& context);
int RunArchive(const CliContext& context);

// Writes the records as the window saves them, to `path` or standard output when empty, and
// says where they went; `success` when they are in place, else kExitFile.
int DeliverResults(const ResultsStore& store, const QString& path, ResultsFormat format, int success);
// The file format --format names, else the one `path`'s extension says (text on standard output).
ResultsFormat ChosenFormat(const CliOptions& options, const QString& path);
// An archive's numbered text as quorvex-cli says it: in English.
QString English(const ArchiveText& text);
int RunReport(const CliContext& context);
int RunEvaluate(const CliContext& context);
int RunAudit(const CliContext& context);

// quorvex-cli and its version, as the archive and the change log name it.
inline const QString kCliProgram = QStringLiteral("quorvex-cli " QUORVEX_VERSION);
// Appends the entry to the change log of `archive` (none: nothing); a failure is said.
void RecordChange(Archive* archive, ChangeEntry entry);

// "quorvex-cli: " + line on standard error; Print writes to standard output as it is.
void Say(const QString& line);
void Print(const QString& text);

}  // namespace quorvex
