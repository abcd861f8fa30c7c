// quorvex-cli download: the window's download controller driven without a window, its
// records written to a file at the end, and whatever arrived kept when the download breaks off.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <memory>

#include <unistd.h>
#include <csignal>

#include "archive/ArchivedStart.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadArchiver.h"
#include "archive/DownloadedLogFile.h"
#include "cli/CliCommands.h"
#include "cli/ProgressReport.h"
#include "cli/StopSignals.h"
#include "i18n/ProgramTexts.h"
#include "logs/ResultsCsv.h"
#include "logs/ResultsFile.h"
#include "settings/IniFile.h"

namespace quorvex {

namespace {

using Format = ResultsFormat;

QString Extension(Format f) { return f == Format::Csv ? kResultsCsvSuffix : kResultsFileSuffix; }

bool WriteRecords(QIODevice& out, const ResultsStore& store, Format format, bool dewPoint) {
    return format == Format::Csv ? WriteResultsCsv(out, store, dewPoint) : WriteResults(out, store);
}

// Writes the whole file beside the target and puts it in place only when all of it was
// written. Empty on success, else the reason.
QString SaveAtomically(const QString& path, const ResultsStore& store, Format format, bool dewPoint,
                       const FileSigner& signer) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!WriteRecords(file, store, format, dewPoint)) {
        QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    SayUnsigned(signer.Sign(path, SignatureFactsOf(store)));
    return {};
}

QString WriteToStandardOutput(const ResultsStore& store, Format format, bool dewPoint) {
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) return out.errorString();
    if (!WriteRecords(out, store, format, dewPoint) || !out.flush()) return out.errorString();
    return {};
}

// Where the records go when their own place cannot take them: a new file in the temporary
// folder. Empty when even that fails.
QString SaveElsewhere(const ResultsStore& store, Format format, bool dewPoint, const FileSigner& signer) {
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvex-cli-XXXXXX.") + Extension(format)));
    file.setAutoRemove(false);
    if (!file.open()) return {};
    if (!WriteRecords(file, store, format, dewPoint) || !file.flush()) {
        file.remove();
        return {};
    }
    file.close();
    SayUnsigned(signer.Sign(file.fileName(), SignatureFactsOf(store)));
    return file.fileName();
}

// Writes the records to `path` (standard output when empty). Returns the exit code of a
// failure, or `success` with the records in place.
int Deliver(const ResultsStore& store, const QString& path, Format format, int success, bool dewPoint,
            const FileSigner& signer) {
    const QString where = path.isEmpty() ? QStringLiteral("standard output") : path;
    const QString reason = path.isEmpty() ? WriteToStandardOutput(store, format, dewPoint)
                                          : SaveAtomically(path, store, format, dewPoint, signer);
    if (reason.isEmpty()) {
        Say(CountForm(QStringLiteral("%1 record written to %2|%1 records written to %2"), store.Count())
                .arg(store.Count())
                .arg(where));
        return success;
    }
    Say(QStringLiteral("cannot write %1: %2").arg(where, reason));
    const QString rescue = SaveElsewhere(store, format, dewPoint, signer);
    if (rescue.isEmpty())
        Say(CountForm(QStringLiteral("the %1 record could not be saved anywhere else either|"
                                     "the %1 records could not be saved anywhere else either"),
                      store.Count())
                .arg(store.Count()));
    else
        Say(CountForm(QStringLiteral("the %1 record was saved to %2 instead|the %1 records were saved to %2 instead"),
                      store.Count())
                .arg(store.Count())
                .arg(rescue));
    return kExitFile;
}

}  // namespace

QString EndReason(DownloadEnd::Kind kind) {
    switch (kind) {
    case DownloadEnd::Kind::Finished:
        return QStringLiteral("finished");
    case DownloadEnd::Kind::Stopped:
        return QStringLiteral("stopped");
    case DownloadEnd::Kind::NoAnswer:
        return QStringLiteral("the logger stopped answering");
    case DownloadEnd::Kind::Refused:
        return QStringLiteral("the logger refused to set where the reading starts");
    case DownloadEnd::Kind::BadBlock:
        return QStringLiteral("a log block arrived whose length disagreed with its byte count");
    case DownloadEnd::Kind::CorruptedReplies:
        return QStringLiteral("the log blocks kept arriving corrupted");
    }
    return {};
}

void SayNewRead(const LogDownload& logs, bool archive, int newCount) {
    if (!archive) Say(QStringLiteral("no archive: every record of the logger is new"));
    if (logs.Disagreed())
        Say(QStringLiteral("record %1 of the logger differs from the archived one: the whole log was read")
                .arg(logs.DisagreedAt()));
    Say(CountForm(QStringLiteral("%1 new record, %2 in all|%1 new records, %2 in all"), newCount)
            .arg(newCount)
            .arg(logs.LogCount()));
}

int DeliverResults(const ResultsStore& store, const QString& path, ResultsFormat format, int success,
                   const FileSigner& signer, bool csvDewPoint) {
    return Deliver(store, path, format, success, csvDewPoint, signer);
}

bool CsvDewPoint(const CliContext& c) {
    return IniFile(c.settingsFile).ReadBool(kFilesSection, kDewPointInFilesKey, false);
}

ResultsFormat ChosenFormat(const CliOptions& options, const QString& path) {
    // As the window's save: the extension decides, unless the format is named.
    return options.format.isEmpty()              ? (path.isEmpty() ? Format::Text : ResultsFormatOf(path))
           : options.format == kResultsCsvSuffix ? Format::Csv
                                                 : Format::Text;
}

int RunDownload(const CliContext& c) {
    const QString& path = c.options.output;
    const Format format = ChosenFormat(c.options, path);
    // A file that cannot be created is found out before the logger is read, not after.
    if (!path.isEmpty()) {
        QSaveFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            Say(QStringLiteral("cannot write %1: %2; nothing was read from the logger").arg(path, probe.errorString()));
            return kExitFile;
        }
        probe.cancelWriting();
    }

    const std::unique_ptr<Archive> archive = c.OpenArchive();
    CliSession session(c.SessionOptions());
    ProgressReport progress(stderr, ::isatty(STDERR_FILENO) == 1);
    session.OnProgress([&](int records, int announced) {
        if (records > 0) progress.Update(records, announced);
    });
    LogDownload& logs = session.Logs();
    // Every block goes into the archive as it arrives; a fault there is said and the download goes on.
    DownloadArchiver archiver(archive.get(), session.Params(), logs, CliProgram(), c.link,
                              [&](const ArchiveText& text) {
                                  progress.Finish();
                                  Say(English(text));
                              });
    const DownloadObserverScope observing(logs, archiver);
    logs.Reset();
    const auto interrupted = [&] { return c.Interrupted(); };
    const auto outcome = session.Connect(interrupted);
    if (outcome == CliSession::Outcome::Interrupted) {
        Say(QStringLiteral("interrupted before the download began; nothing written"));
        return kExitIncomplete;
    }
    if (outcome != CliSession::Outcome::Ready) return c.ConnectFailed(session, outcome);

    progress.Begin();
    if (c.options.newOnly)
        StartReadOfNew(logs, archive.get(), session.Params(), true,
                       [&](const ArchiveText& text) { Say(English(text)); });
    else
        logs.StartRead();
    session.RunUntil([&] { return logs.GetState() != LogDownload::Reading; }, interrupted);
    if (logs.GetState() == LogDownload::Reading) logs.StopRead();  // Ctrl+C or SIGTERM
    progress.Finish();

    const ResultsStore& store = session.Results();
    const std::optional<DownloadEnd>& end = session.LastDownloadEnd();
    const int total = end ? std::max(0, end->announced) : 0;
    // A file written (also a partial one) goes into the change log with the records it holds.
    const auto delivered = [&](int code, const QString& written, const ResultsStore& held) {
        if (code != kExitFile && !written.isEmpty())
            RecordChange(archive.get(), FileChange(ChangeKind::FileWritten, CliProgram(), held, written));
        return code;
    };
    if (c.options.newOnly) SayNewRead(logs, archive != nullptr, NewRecords(archive.get(), archiver, logs.NewCount()));
    if (end && end->kind == DownloadEnd::Kind::Finished) {
        if (total > store.Count())
            Say(CountForm(QStringLiteral("warning: the logger announced %1 record, %2 arrived|"
                                         "warning: the logger announced %1 records, %2 arrived"),
                          total)
                    .arg(total)
                    .arg(store.Count()));
        const ArchivedLog archived = ArchivedVersion(store, archive.get(), archiver);
        if (archived.differing > 0 && archived.records) {
            // As watch does: the file holds what the archive holds, the logger's copy goes beside it.
            QString said = English(DifferingText(archived.differing)) + QStringLiteral(", the logger's copy");
            if (path.isEmpty()) {
                Say(said + QStringLiteral(" is not written (standard output takes the archive's records)"));
            } else {
                const QFileInfo target(path);
                const QString differs =
                    target.dir().filePath(target.completeBaseName() + kDiffersNameTail +
                                          (target.suffix().isEmpty() ? QString() : u'.' + target.suffix()));
                const FileSigner signer = c.Signer();
                const QString reason = SaveAtomically(differs, store, format, CsvDewPoint(c), signer);
                if (reason.isEmpty()) {
                    Say(said + QStringLiteral(" -> ") + differs);
                    delivered(kExitDone, differs, store);
                } else {
                    // Kept elsewhere rather than given up; its records are in the archive besides.
                    const QString rescue = SaveElsewhere(store, format, CsvDewPoint(c), signer);
                    Say(said + QStringLiteral(" cannot be written to %1 (%2)").arg(differs, reason) +
                        (rescue.isEmpty() ? QStringLiteral("; it is in the archive")
                                          : QStringLiteral("; saved to %1 instead").arg(rescue)));
                    if (!rescue.isEmpty()) delivered(kExitDone, rescue, store);
                }
            }
            return delivered(Deliver(*archived.records, path, format, kExitDone, CsvDewPoint(c), c.Signer()), path,
                             *archived.records);
        }
        if (archived.differing > 0)
            Say(English(DifferingText(archived.differing)) +
                QStringLiteral("; the archive's records cannot be read (%1): the logger's are written")
                    .arg(archived.errorText.section(u'\n', -1).trimmed()));
        return delivered(Deliver(store, path, format, kExitDone, CsvDewPoint(c), c.Signer()), path, store);
    }

    QString why = end ? EndReason(end->kind) : QStringLiteral("the download could not begin");
    if (session.LinkLost())
        why = session.FailureText();
    else if (c.Interrupted())
        why = c.stop.Received() == SIGINT ? QStringLiteral("interrupted") : QStringLiteral("terminated");
    Say(CountForm(
            QStringLiteral("download incomplete (%1): %2 of %3 record|download incomplete (%1): %2 of %3 records"),
            total)
            .arg(why)
            .arg(store.Count())
            .arg(total));
    if (store.IsEmpty()) {
        Say(QStringLiteral("no records arrived; nothing written"));
        return kExitIncomplete;
    }
    const QString partial = path.isEmpty() ? QString() : path + QStringLiteral(".partial");
    return delivered(Deliver(store, partial, format, kExitIncomplete, CsvDewPoint(c), c.Signer()), partial, store);
}

}  // namespace quorvex
