#include "ui/ArchiveKeeping.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <utility>

#include "archive/Archive.h"
#include "archive/ArchiveRegisters.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadArchiver.h"
#include "archive/ImportSignature.h"
#include "i18n/ProgramTexts.h"
#include "logs/LogDownload.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/OperatorPrompts.h"

namespace quorvex {

// The archiver as the program runs it: it names the link the download runs on now, makes the
// archive where it is missing before a read begins, and says when a download has ended (a
// "Download first" waits for that).
class KeepingArchiver : public DownloadArchiver {
public:
    using DownloadArchiver::DownloadArchiver;
    std::function<QString()> currentLink;
    std::function<void()> starting;
    std::function<void()> ended;

    void LogReadStarted(bool resumed) override {
        if (starting) starting();
        if (currentLink) SetLink(currentLink());
        DownloadArchiver::LogReadStarted(resumed);
    }
    void LogReadEnded(const DownloadEnd& end) override {
        DownloadArchiver::LogReadEnded(end);
        if (ended) ended();
    }
};

namespace {

QString MomentLine(const QDateTime& moment) {
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

}  // namespace

ArchiveKeeping::ArchiveKeeping(ParameterModel& model, ResultsStore& results, IniFile& settings,
                               OperatorPrompts& prompts, Setup setup, QObject* parent)
    : QObject(parent),
      model_(model),
      results_(results),
      settings_(settings),
      prompts_(prompts),
      keyFolder_(std::move(setup.keyFolder)),
      currentLink_(std::move(setup.currentLink)),
      signing_(settings.ReadBool(kSigningSection, kSigningEnabledKey, true)) {
    model_.WatchWrites([this](const WriteOutcome& o) { RecordChange(WriteChange(o, model_, VersionText())); });
    OpenArchive(setup.archive);
}

ArchiveKeeping::~ArchiveKeeping() {
    model_.WatchWrites({});
    Detach();
}

void ArchiveKeeping::OpenArchive(const QString& given) {
    ArchiveText error;
    const auto location = ResolveArchiveLocation(given, settings_, error);
    if (location && location->kind != ArchiveLocation::Kind::None) {
        // Opening the program makes no archive: the first download or import does.
        archive_ = Archive::OpenExisting(*location, error);
        if (!archive_ && error.numbered.startsWith(kMissingArchive)) {
            missingArchive_ = *location;
            archiveProblem_ = std::exchange(error, {});
        }
    }
    if (!error.IsEmpty()) archiveProblem_ = error;
    if (!error.IsEmpty()) {
        // Said once the window is up and speaks its language; everything else works on.
        QTimer::singleShot(0, this, [this, error] {
            Reported(error);
            Reported({QStringLiteral("[2330]Program działa bez archiwum"), {}});
        });
    }
}

void ArchiveKeeping::Attach(LogDownload& logs) {
    Detach();
    logs_ = &logs;
    const QString link = currentLink_ ? currentLink_() : QString();
    archiver_ = std::make_unique<KeepingArchiver>(archive_.get(), model_, logs, VersionText(), link,
                                                  [this](const ArchiveText& text) { Reported(text); });
    archiver_->currentLink = currentLink_;
    archiver_->starting = [this] { WritableArchive(); };
    archiver_->ended = [this] {
        downloadEnded_ = QDateTime::currentDateTime();  // for the report's origin of the data
        // Not from inside the download's own step: the start may write to the logger.
        if (startAfterDownload_) QTimer::singleShot(0, this, &ArchiveKeeping::DownloadForStartEnded);
        QTimer::singleShot(0, this, &ArchiveKeeping::NewDownloadEnded);
        QTimer::singleShot(0, this, &ArchiveKeeping::DownloadKept);
    };
    logs.AddObserver(archiver_.get());
}

void ArchiveKeeping::Detach() {
    if (logs_ && archiver_) logs_->RemoveObserver(archiver_.get());
    logs_ = nullptr;
    archiver_.reset();
}

const DownloadArchiver& ArchiveKeeping::Archiver() const { return *archiver_; }

bool ArchiveKeeping::Downloading() const {
    return logs_ && (logs_->GetState() == LogDownload::Starting || logs_->GetState() == LogDownload::Reading);
}

Archive* ArchiveKeeping::WritableArchive() {
    if (archive_ || !missingArchive_) return archive_.get();
    ArchiveText error;
    archive_ = Archive::Open(*missingArchive_, error);
    if (!archive_) {
        Reported(error);
        return nullptr;
    }
    missingArchive_.reset();
    archiveProblem_ = {};
    if (archiver_) archiver_->SetArchive(archive_.get());
    emit ArchiveChanged();
    return archive_.get();
}

void ArchiveKeeping::Reported(const ArchiveText& text) {
    const QString shown = text.Translated();
    emit Note(shown);
    // Differing records are news, not a fault.
    if (text.numbered.startsWith(QStringLiteral("[2305]"))) {
        emit StatusNote(shown);
        return;
    }
    emit Fault(shown);
}

ReportSource ArchiveKeeping::ArchivedLogSource(std::int64_t log, const QString& serial) const {
    ReportSource source;
    if (!archive_) return source;
    const auto rows = archive_->Logs(serial);
    if (!rows) return source;
    for (const ArchiveLogRow& row : *rows) {
        if (row.id == log) return ReportSourceOf(row, MomentLine(FromMoment(MomentFromSeconds(row.key.startSeconds))));
    }
    return source;
}

void ArchiveKeeping::ImportChosen(const QString& folder) {
    const QStringList paths = prompts_.AskImportPaths(folder);
    if (!paths.isEmpty()) ImportResultsFiles(paths);
}

void ArchiveKeeping::ImportResultsFiles(const QStringList& paths) {
    if (!archive_ && !missingArchive_) {
        emit Fault(TranslateText(QStringLiteral("[2330]Program działa bez archiwum")));
        return;
    }
    QStringList refused;
    const QList<TrustedKey> trusted = LoadTrustedKeys(keyFolder_);
    for (const QString& path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        // A file changed after signing goes in only on the operator's word, and its entry says so.
        const ImportSignature signature = CheckImportSignature(absolute, trusted);
        if (signature.Refused() &&
            !prompts_.Confirm(TranslateText(QStringLiteral("[2315]Archiwum")),
                              ArchiveText{QStringLiteral("[2607]Plik %1 zmieniono po podpisaniu albo jego podpis "
                                                         "jest nieczytelny (%2). Zaimportować go mimo to?"),
                                          {QDir::toNativeSeparators(absolute), signature.check.Text()}}
                                  .Translated())) {
            const QString said = signature.Refusal(absolute).Translated();
            emit Note(said);
            refused << said;
            continue;
        }
        if (!WritableArchive()) return;
        ArchiveDownloadFacts facts = LocalDownloadFacts(VersionText(), absolute);
        facts.note = signature.Note();
        const auto count = archive_->Import(absolute, facts);
        const QString said = count ? ArchiveText{QStringLiteral("[2309]Zaimportowano %1 rekord z pliku %2 do archiwum|"
                                                                "Zaimportowano %1 rekordy z pliku %2 do archiwum|"
                                                                "Zaimportowano %1 rekordów z pliku %2 do archiwum"),
                                                 {QString::number(*count), absolute}}
                                         .Translated()
                                   : archive_->LastError().Translated();
        emit Note(said);
        if (count)
            emit StatusNote(said);
        else
            refused << said;
    }
    if (!refused.isEmpty()) emit Fault(refused.join(QStringLiteral("\n\n")));
    emit Imported();
}

void ArchiveKeeping::RecordChange(ChangeEntry entry) {
    // A change made to a logger is kept even before the first download; a file written from
    // results shown goes into an archive that is there.
    const bool logger = entry.kind == ChangeKind::RegisterWrite || entry.kind == ChangeKind::ClockSet ||
                        entry.kind == ChangeKind::Start || entry.kind == ChangeKind::Stop ||
                        entry.kind == ChangeKind::Reset;
    if (!(logger ? WritableArchive() : archive_.get())) return;
    if (!archive_->AppendChange(entry)) return Reported(archive_->LastError());
    emit ChangeRecorded();
}

void ArchiveKeeping::GuardNewLog(const std::function<void()>& start) {
    auto missing = RecordsNotArchived(archive_.get(), model_);
    if (!missing && archive_) {
        // The archive cannot answer: every record the logger holds counts, and the fault is told.
        Reported(archive_->LastError());
        missing = RecordsNotArchived(nullptr, model_);
    }
    if (missing.value_or(0) <= 0) return start();
    askedStart_ = start;
    emit NewLogAsked(*missing);
}

void ArchiveKeeping::StartAnyway() {
    if (const std::function<void()> start = std::exchange(askedStart_, {})) start();
}

void ArchiveKeeping::DownloadFirst() {
    startAfterDownload_ = std::exchange(askedStart_, {});
    if (!logs_ || !startAfterDownload_) return;
    emit ResultsWanted();
    logs_->StartRead();
    // A download that could not begin holds nothing back.
    if (!Downloading()) startAfterDownload_ = {};
}

void ArchiveKeeping::DownloadForStartEnded() {
    std::function<void()> start = std::exchange(startAfterDownload_, {});
    if (!start || !logs_) return;
    // Without an archive the downloaded records are in the window now, to be saved.
    if (!archive_ && logs_->GetState() == LogDownload::Finished && !logs_->ShortOfAnnounced()) return start();
    // A download stopped or cut short, or an archive that failed meanwhile, leaves records to
    // lose: they are counted again, and asked about again.
    GuardNewLog(start);
}

}  // namespace quorvex
