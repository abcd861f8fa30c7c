// Reading only what is new: the "[2483]Pobierz nowe" button, and the automatic download when a
// logger is connected (Settings → "[2484]Pobieraj automatycznie po podłączeniu"), which also
// writes the results file into a chosen folder and tells the operator on the desktop; the
// signer of the files the program writes.
#include <QFileInfo>
#include <QTimer>

#include <utility>

#include "archive/Archive.h"
#include "archive/ArchiveRegisters.h"
#include "archive/ArchivedStart.h"
#include "archive/ChangeRecording.h"
#include "archive/DownloadArchiver.h"
#include "archive/DownloadedLogFile.h"
#include "i18n/ProgramTexts.h"
#include "logs/LogDownload.h"
#include "logs/LoggerResultsFile.h"
#include "settings/IniFile.h"
#include "sign/MinisignFormat.h"
#include "sign/SignatureCheck.h"
#include "ui/ArchiveKeeping.h"
#include "ui/CommandLine.h"
#include "ui/OperatorPrompts.h"

namespace quorvex {

namespace {
const QString kAutoSection = QStringLiteral("Okno");
const QString kAutoDownloadKey = QStringLiteral("AutoDownload");
const QString kAutoFolderKey = QStringLiteral("AutoFolder");
}  // namespace

FileSigner ArchiveKeeping::Signer() {
    FileSigner signer(QStringLiteral("Quorvex " QUORVEX_VERSION), keyFolder_, signing_);
    // Every signature made goes into the change log beside the file it signs.
    signer.SetOnSigned([this](const SignOutcome& o) {
        if (o.done) RecordChange(SignatureChange(o, VersionText()));
    });
    return signer;
}

void ArchiveKeeping::KeyTrusted(const TrustedKey& key) {
    // Taking a key in changes which files count as trusted: the change log keeps it.
    ChangeEntry e = LocalChange(ChangeKind::TrustedKey, VersionText(), QString());
    e.subject = QFileInfo(key.file).absoluteFilePath();
    e.details = QStringLiteral("key %1").arg(KeyIdText(key.key.id));
    RecordChange(e);
}

bool ArchiveKeeping::AutoDownload() const { return settings_.ReadBool(kAutoSection, kAutoDownloadKey, false); }

void ArchiveKeeping::SetAutoDownload(bool on) {
    // Remembered at once: the desk that turned it on wants it after a crash too.
    settings_.WriteBool(kAutoSection, kAutoDownloadKey, on);
    settings_.Flush();
}

QString ArchiveKeeping::AutoFolder() const { return settings_.ReadString(kAutoSection, kAutoFolderKey, QString()); }

void ArchiveKeeping::ChooseAutoFolder(const QString& fallback) {
    const QString folder = prompts_.AskFolder(TranslateText(QStringLiteral("[2485]Folder plików wyników…")),
                                              AutoFolder().isEmpty() ? fallback : AutoFolder());
    if (folder.isEmpty()) return;
    settings_.WriteString(kAutoSection, kAutoFolderKey, folder);
    settings_.Flush();
}

void ArchiveKeeping::RefreshArchivedPart() {
    archivedPart_ = false;
    if (archive_ && paramsReady_)
        if (const auto key = CurrentLogKey(model_)) archivedPart_ = archive_->ArchivedThrough(*key).value_or(0) > 0;
    emit ArchivedPartChanged();
}

void ArchiveKeeping::ParamsBecameReady() {
    paramsReady_ = true;
    RefreshArchivedPart();
    // After this step: the window finishes taking the parameters first.
    if (AutoDownload())
        QTimer::singleShot(0, this, [this] {
            if (paramsReady_ && AutoDownload()) StartNewDownload(true);
        });
}

void ArchiveKeeping::StartNewDownload(bool automatic) {
    if (!logs_ || !paramsReady_) return;
    if (Downloading()) return;
    emit ResultsWanted();
    autoDownloading_ = automatic;
    StartReadOfNew(*logs_, archive_.get(), model_, automatic, [this](const ArchiveText& text) { Reported(text); });
    if (logs_->GetState() != LogDownload::Reading) autoDownloading_ = false;
}

void ArchiveKeeping::NewDownloadEnded() {
    RefreshArchivedPart();
    if (!std::exchange(autoDownloading_, false) || !logs_ || !archiver_) return;
    const QString name = results_.loggerName.isEmpty() ? results_.serialNumber : results_.loggerName;
    const QString title = TranslateText(QStringLiteral("[2486]Logger %1")).arg(name);
    QString body;
    // New: what the archive did not hold before; a logger that gave archived records otherwise brings none.
    const int fresh = NewRecords(archive_.get(), Archiver(), logs_->NewCount());
    if (logs_->GetState() != LogDownload::Finished) {
        body = CountText(QStringLiteral("[2487]Odczyt przerwany: %1 nowy rekord, następne podłączenie go dokończy|"
                                        "Odczyt przerwany: %1 nowe rekordy, następne podłączenie go dokończy|"
                                        "Odczyt przerwany: %1 nowych rekordów, następne podłączenie go dokończy"),
                         fresh);
    } else {
        body = CountText(QStringLiteral("[2489]%1 nowy rekord|%1 nowe rekordy|%1 nowych rekordów"), fresh);
        if (!AutoFolder().isEmpty()) {
            const FileSigner signer = Signer();
            // The file holds what the archive holds; records the logger gave otherwise go beside it.
            const WrittenLog log =
                WriteDownloadedLog(AutoFolder(), results_, archive_.get(), Archiver(), ResultsFormat::Text, &signer);
            const WrittenResults& written = log.file;
            if (log.differs) {
                const QString differs = DifferingText(log.differing).Translated();
                body += u'\n' + differs;
                if (log.differs->ok) {
                    RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), results_, log.differs->path));
                    emit Note(differs + QStringLiteral(": ") + log.differs->path);
                    if (!log.differs->signature.Note().isEmpty()) emit Note(log.differs->signature.Note());
                } else {
                    emit Note(log.differs->errorText);
                }
            }
            if (written.ok) {
                RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), log.Held(results_), written.path));
                emit StatusNote(TranslateText(QStringLiteral("[2203]Wyniki zapisano w pliku")) + u' ' + written.path);
                // Unattended: the missing signature goes into the message list, not a box.
                if (!written.signature.Note().isEmpty()) emit Note(written.signature.Note());
            } else {
                emit Note(written.errorText);
                body += u'\n' + written.errorText;
                prompts_.ShowBox(OperatorPrompts::BoxIcon::Error, TranslateText(QStringLiteral("[1020]Błąd")),
                                 written.errorText);
            }
        }
    }
    emit Note(title + QStringLiteral(": ") + body);
    prompts_.Notify(title, body);
}

}  // namespace quorvex
