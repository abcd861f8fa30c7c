// quorvex-cli watch: a receiving desk without a window. Waits for a logger, reads what is new
// into the archive, writes the logger's whole log into the output folder, says one line, and
// waits for the next; a logger left connected is read again once it holds new records.
// Nothing a logger does ends the watch: only Ctrl+C or SIGTERM do.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <memory>

#include "archive/ArchivedStart.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadArchiver.h"
#include "archive/DownloadedLogFile.h"
#include "cli/CliCommands.h"
#include "cli/StopSignals.h"
#include "logs/LoggerResultsFile.h"

namespace quorvex {
namespace {

// Between two looks for a logger that is not there.
constexpr int kLookAgainMs = 1000;

// Waits `ms`, or less when a stop signal comes.
void Pause(const CliContext& c, int ms) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer tick;
    tick.start(50);
    while (!c.Interrupted() && elapsed.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// A serial port is looked for by its name; USB is looked for by opening it.
bool LinkMayBeThere(const QString& link) {
    if (link.compare(QStringLiteral("USB"), Qt::CaseInsensitive) == 0) return true;
    return QFileInfo::exists(link.startsWith(u'/') ? link : QStringLiteral("/dev/") + link);
}

// A logger's name is the device's data: shown on one line whatever it holds.
QString OneLine(const QString& text) {
    QString out;
    for (const QChar ch : text) out += ch.unicode() < 0x20 || ch.category() == QChar::Other_Control ? u'?' : ch;
    return out;
}

class Watch {
public:
    Watch(const CliContext& c, Archive* archive, QString folder, ResultsFormat format)
        : c_(c), archive_(archive), folder_(std::move(folder)), format_(format) {}

    // One connection of a logger, from opening the link until it is lost or a stop signal.
    void Connection() {
        CliSession session(c_.SessionOptions());
        LogDownload& logs = session.Logs();
        DownloadArchiver archiver(archive_, session.Params(), logs, CliProgram(), c_.link,
                                  [](const ArchiveText& text) { Say(English(text)); });
        const DownloadObserverScope observing(logs, archiver);
        const auto interrupted = [&] { return c_.Interrupted(); };
        const auto outcome = session.Connect(interrupted);
        if (outcome == CliSession::Outcome::NoAnswer) {
            // Said once while it lasts, not at every look.
            if (session.FailureText() != lastFailure_) Say(session.FailureText());
            lastFailure_ = session.FailureText();
        }
        if (outcome != CliSession::Outcome::Ready) return;
        lastFailure_.clear();

        ParameterModel& params = session.Params();
        for (;;) {
            session.ForgetDownloadEnd();
            StartReadOfNew(logs, archive_, params, true, [](const ArchiveText& text) { Say(English(text)); });
            session.RunUntil([&] { return logs.GetState() != LogDownload::Reading; }, interrupted);
            if (logs.GetState() == LogDownload::Reading) logs.StopRead();
            Report(session, archiver);
            const auto& end = session.LastDownloadEnd();
            if (session.LinkLost() || c_.Interrupted() || !end || end->kind != DownloadEnd::Kind::Finished) return;
            // Left connected: read again once the logger holds more than it announced, or a
            // log of its own anew. Plugged in again (the link opened anew), it is another
            // connection, perhaps of another logger: a fresh session takes it.
            const int announced = logs.RecordsText().toInt();
            const int opens = session.Opens();
            const QString start = params.Param<LogStartDate>().GetText() + params.Param<LogStartTime>().GetText();
            if (!session.RunUntil(
                    [&] {
                        bool ok = false;
                        const int now = params.Param<WriteIndex>().GetText().toInt(&ok);
                        const QString at =
                            params.Param<LogStartDate>().GetText() + params.Param<LogStartTime>().GetText();
                        return session.Opens() != opens || (ok && (now > announced || (at != start && !at.isEmpty())));
                    },
                    interrupted) ||
                session.Opens() != opens)
                return;
        }
    }

private:
    void Report(CliSession& session, const DownloadArchiver& archiver) {
        const LogDownload& logs = session.Logs();
        const ResultsStore& store = session.Results();
        QString line = OneLine(store.serialNumber) + u' ' + OneLine(store.loggerName) + QStringLiteral(": ");
        // New: what the archive did not hold before (after a disagreement the whole log is read, not all of it new).
        const auto counts = [&] {
            return QStringLiteral("%1 new, %2 total")
                .arg(NewRecords(archive_, archiver, logs.NewCount()))
                .arg(logs.LogCount());
        };
        const std::optional<DownloadEnd>& end = session.LastDownloadEnd();
        if (!end || end->kind != DownloadEnd::Kind::Finished) {
            if (logs.Disagreed())
                line += QStringLiteral("record %1 differed from the archive, whole log read; ").arg(logs.DisagreedAt());
            line += counts();
            QString why = session.LinkLost() ? session.FailureText()
                          : c_.Interrupted() ? QStringLiteral("stopped")
                          : end              ? EndReason(end->kind)
                                             : QStringLiteral("the read could not begin");
            line += QStringLiteral(" of %1; read incomplete (%2)").arg(logs.RecordsText(), why);
            if (archive_) line += QStringLiteral("; what arrived is in the archive");
            return Print(line + u'\n');
        }
        const FileSigner signer = c_.Signer();
        const WrittenLog log =
            WriteDownloadedLog(folder_, store, archive_, archiver, format_, &signer, CsvDewPoint(c_));
        // The file holds the archive's records; the logger's differing ones are beside it.
        if (log.differing > 0) {
            line += English(DifferingText(log.differing)) + QStringLiteral(", the logger's copy");
            line += log.differs->ok ? QStringLiteral(" -> ") + log.differs->path + Unsigned(log.differs->signature)
                                    : QStringLiteral(" cannot be written (%1)").arg(Reason(*log.differs));
            line += QStringLiteral("; ");
        } else if (logs.Disagreed()) {
            line += QStringLiteral("record %1 differed from the archive, whole log read; ").arg(logs.DisagreedAt());
        }
        line += counts();
        const WrittenResults& written = log.file;
        if (written.ok)
            line += QStringLiteral(" -> ") + written.path + Unsigned(written.signature);
        else
            line += QStringLiteral("; cannot write %1 (%2)").arg(written.path, Reason(written)) +
                    (archive_ ? QStringLiteral("; the records are in the archive") : QString());
        Print(line + u'\n');
        // A file written goes into the change log with the records it holds; an unsigned one is said.
        if (written.ok) {
            RecordChange(archive_, FileChange(ChangeKind::FileWritten, CliProgram(), log.Held(store), written.path));
            SayUnsigned(written.signature);
        }
        if (log.differs && log.differs->ok) {
            RecordChange(archive_, FileChange(ChangeKind::FileWritten, CliProgram(), store, log.differs->path));
            SayUnsigned(log.differs->signature);
        }
    }

    static QString Unsigned(const SignOutcome& signature) {
        return signature.Note().isEmpty() ? QString() : QStringLiteral(" (unsigned)");
    }
    static QString Reason(const WrittenResults& written) {
        return written.folderMissing ? QStringLiteral("the folder does not exist")
                                     : written.errorText.section(u'\n', -1).trimmed();
    }

    const CliContext& c_;
    Archive* archive_;
    QString folder_;
    ResultsFormat format_;
    QString lastFailure_;
};

}  // namespace

int RunWatch(const CliContext& c) {
    const QString folder =
        QDir(c.options.outputDir.isEmpty() ? QDir::currentPath() : c.options.outputDir).absolutePath();
    const ResultsFormat format = c.options.format == kResultsCsvSuffix ? ResultsFormat::Csv : ResultsFormat::Text;
    const std::unique_ptr<Archive> archive = c.OpenArchive();
    if (!archive) Say(QStringLiteral("no archive: every record of a logger is new, each time it is read"));
    Say(QStringLiteral("watching %1 for loggers; results files go to %2").arg(c.link, folder));
    Watch watch(c, archive.get(), folder, format);
    while (!c.Interrupted()) {
        if (LinkMayBeThere(c.link)) watch.Connection();
        if (!c.Interrupted()) Pause(c, kLookAgainMs);
    }
    Say(QStringLiteral("watch ended"));
    return kExitDone;
}

}  // namespace quorvex
