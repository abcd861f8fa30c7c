#pragma once
// The commands of quorvex-cli on the engine the window uses. Each returns the program's exit
// code (CliOptions.h) and reports on standard error; results go to standard output.
#include <QString>

#include <memory>

#include "archive/Archive.h"
#include "cli/CliOptions.h"
#include "cli/LoggerSession.h"
#include "logs/ResultsFile.h"
#include "sign/FileSigner.h"

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
    // What a command wants of the archive: to write into it (made when missing), to read it
    // (a missing one is an error, and nothing is made), or to note what it did in the change log
    // of an archive that is there (a missing one is no news).
    enum class ArchiveUse { Write, Read, Note };
    // The archive; nullptr for none or when it cannot be opened (said, but for Note's missing one).
    std::unique_ptr<Archive> OpenArchive(ArchiveUse use = ArchiveUse::Write) const;
    // Signs what the command writes, unless the settings file switches signing off.
    FileSigner Signer() const;
};

// Resolves link and language and runs the chosen command.
int RunCli(const CliOptions& options);

int RunInfo(const CliContext& context);
int RunSetClock(const CliContext& context);
int RunRecording(const CliContext& context, bool start);
int RunDownload(const CliContext& context);
int RunWatch(const CliContext& context);
// What a read of only what is new brought (`newCount`: records the archive lacked), said on standard error.
void SayNewRead(const LogDownload& logs, bool archive, int newCount);
int RunArchive(const CliContext& context);

// Writes the records as the window saves them, to `path` or standard output when empty, and
// says where they went; `success` when they are in place, else kExitFile. `csvDewPoint`: a
// CSV file gains the dew point column (CsvDewPoint). A file written is signed by `signer` (an
// unsigned one is said, and still counts as written).
int DeliverResults(const ResultsStore& store, const QString& path, ResultsFormat format, int success,
                   const FileSigner& signer, bool csvDewPoint = false);
// The window's switch for the dew point in CSV files ([Files] DewPoint of its settings file).
bool CsvDewPoint(const CliContext& context);
// The archived log of --serial that began at --log (as archive list shows it; without --log
// the latest, the logger's own before an imported file), its records (within from…to when
// given) loaded into `store` and its row into `chosen` when asked. kExitDone, or the exit
// code with the reason said (a bad --log: kExitUsage; no such log or an archive fault: kExitArchive).
int LoadArchivedLog(const CliContext& context, Archive& archive, ResultsStore& store, ArchiveLogRow* chosen = nullptr,
                    std::optional<Moment> from = std::nullopt, std::optional<Moment> to = std::nullopt);
// The file format --format names, else the one `path`'s extension says (text on standard output).
ResultsFormat ChosenFormat(const CliOptions& options, const QString& path);
// An archive's numbered text as quorvex-cli says it: in English.
QString English(const ArchiveText& text);
int RunReport(const CliContext& context);
int RunEvaluate(const CliContext& context);
int RunAudit(const CliContext& context);
// study create, add, list, evaluate; calibration set, list.
int RunStudy(const CliContext& context);
int RunCalibration(const CliContext& context);
// A moment on the logger clock as the operator types it: a date, with a time or not.
std::optional<Moment> ParseClock(const QString& text);
// Imports results files into the archive as archive import does (their signatures checked
// first); kExitDone, or the worst exit code of a file that was not imported.
int ImportResultsFiles(const CliContext& context, Archive& archive, const QStringList& files);

// quorvex-cli and its version, as the archive and the change log name it.
QString CliProgram();
// Appends the entry to the change log of `archive` (none: nothing); a failure is said.
void RecordChange(Archive* archive, ChangeEntry entry);
int RunKey(const CliContext& context);
int RunVerify(const CliContext& context);
// Says on standard error that a file was written unsigned, and why; nothing when it was signed.
void SayUnsigned(const SignOutcome& outcome);

// A message of several lines (a box's text) as one line: "What:\nPATH\nreason" becomes
// "What: PATH: reason".
QString MessageLine(const QString& text);
// "quorvex-cli: " + line on standard error; Print writes to standard output as it is.
void Say(const QString& line);
void Print(const QString& text);

}  // namespace quorvex
