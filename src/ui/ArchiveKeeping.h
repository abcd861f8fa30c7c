#pragma once
// Keeping what the program reads and writes, without widgets: every download goes into the
// archive as its blocks arrive, every change made to a logger and every file written into the
// change log; results files are imported; a command that makes the logger begin a new log
// waits for the operator's word when records would be lost ("download first"); reading only
// what is new, by the button or unattended when a logger is connected; the signer of files.
// It asks the operator through OperatorPrompts and says what went wrong by its signals: the
// main window decides how to show it.
//
// Source files: ArchiveKeeping.cpp (archive, import, change log, new log), ArchiveKeepingAuto.cpp
// (only-new and automatic downloads, signing).
#include <QDateTime>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveText.h"
#include "archive/ChangeLog.h"
#include "print/Report.h"
#include "sign/FileSigner.h"

namespace quorvex {

class Archive;
class IniFile;
class LogDownload;
class OperatorPrompts;
class ParameterModel;
class ResultsStore;
class DownloadArchiver;
struct TrustedKey;

class ArchiveKeeping : public QObject {
    Q_OBJECT
public:
    struct Setup {
        // Where downloads are kept for this run (a file, a postgresql:// address or "none");
        // empty: the settings file's, else the default file.
        QString archive;
        // Where the signing key and the trusted keys live.
        QString keyFolder;
        // The link the logger is on now, named in each download kept.
        std::function<QString()> currentLink;
    };

    ArchiveKeeping(ParameterModel& model, ResultsStore& results, IniFile& settings, OperatorPrompts& prompts,
                   Setup setup, QObject* parent = nullptr);
    ~ArchiveKeeping() override;

    // The download whose blocks go into the archive; Detach before it goes.
    void Attach(LogDownload& logs);
    void Detach();

    // The archive; null when the program runs without one (none chosen, not made yet, or it
    // could not be opened: ArchiveProblem() says why).
    Archive* DownloadArchive() const { return archive_.get(); }
    const ArchiveText& ArchiveProblem() const { return archiveProblem_; }
    // What the archive knows of how an archived log came (its latest download, or its file).
    ReportSource ArchivedLogSource(std::int64_t log, const QString& serial) const;
    // When the last download finished, stopped or broke off.
    const QDateTime& DownloadEnded() const { return downloadEnded_; }

    // Asks for results files and imports them.
    void ImportChosen(const QString& folder);
    void ImportResultsFiles(const QStringList& paths);
    // Every write to the logger (through the model) and every download, import, file and report
    // goes into the change log; other parts add theirs (a signature, a file written) here.
    // Without an archive nothing is kept; a failure is told as the archive's faults are.
    void RecordChange(ChangeEntry entry);
    // Runs `start`, a command that makes the logger begin a new log, at once when that loses
    // no record; otherwise asks (NewLogAsked) and waits for DownloadFirst or StartAnyway.
    void GuardNewLog(const std::function<void()>& start);
    // The operator's answers to NewLogAsked (a cancel needs none).
    void DownloadFirst();
    void StartAnyway();

    // Signs the files the program writes while signing is on.
    FileSigner Signer();
    bool Signing() const { return signing_; }
    void SetSigning(bool on) { signing_ = on; }
    const QString& KeyFolder() const { return keyFolder_; }
    // A public key taken into the trusted ones: the change log keeps it.
    void KeyTrusted(const TrustedKey& key);

    // Starts a read of what the archive lacks of the logger's log; `automatic`: the unattended
    // one, which writes the results file into AutoFolder() and notifies the desktop when done.
    void StartNewDownload(bool automatic);
    // The archive holds part of the connected logger's current log ("[2483]Pobierz nowe" can be used).
    bool ArchivedPart() const { return archivedPart_; }
    // Downloading unattended on connection (remembered at once).
    bool AutoDownload() const;
    void SetAutoDownload(bool on);
    // The folder of the automatic files; ChooseAutoFolder asks for it (starting in `fallback`
    // while none is chosen).
    QString AutoFolder() const;
    void ChooseAutoFolder(const QString& fallback);
    // The logger's parameters are all read, or the link was reset.
    void ParamsBecameReady();
    void LinkReset() { paramsReady_ = false; }

signals:
    // A line for the message list.
    void Note(const QString& line);
    // A short note for the status bar.
    void StatusNote(const QString& text);
    // A fault of the archive, or what follows from it.
    void Fault(const QString& text);
    // The archive was made or replaced: windows that show it take it anew.
    void ArchiveChanged();
    // A download has ended and is kept; an import is done; a change is recorded.
    void DownloadKept();
    void Imported();
    void ChangeRecorded();
    // Records the archive lacks would be lost by a new log: ask whether to download first.
    void NewLogAsked(int records);
    // A download begins for the operator: the results are what they came for.
    void ResultsWanted();
    // ArchivedPart() may answer otherwise now.
    void ArchivedPartChanged();

private:
    void OpenArchive(const QString& given);
    // The archive to write into, made where it is missing (a download or an import keeps its
    // records, a write to the logger its entry); null when there is none or it cannot be made.
    Archive* WritableArchive();
    void Reported(const ArchiveText& text);
    void DownloadForStartEnded();
    void RefreshArchivedPart();
    void NewDownloadEnded();
    bool Downloading() const;
    // What keeps the downloads in the archive (and knows the last one); only while attached.
    const DownloadArchiver& Archiver() const;

    ParameterModel& model_;
    ResultsStore& results_;
    IniFile& settings_;
    OperatorPrompts& prompts_;
    QString keyFolder_;
    std::function<QString()> currentLink_;
    LogDownload* logs_ = nullptr;
    std::shared_ptr<Archive> archive_;
    // The archive chosen but not there yet: made by the first write (WritableArchive), said
    // by whatever only reads it.
    std::optional<ArchiveLocation> missingArchive_;
    ArchiveText archiveProblem_;
    std::unique_ptr<class KeepingArchiver> archiver_;  // the log download's observer
    QDateTime downloadEnded_;
    // The command a new-log question or a "Download first" holds back.
    std::function<void()> askedStart_;
    std::function<void()> startAfterDownload_;
    bool signing_ = true;
    bool paramsReady_ = false;
    bool archivedPart_ = false;     // see ArchivedPart()
    bool autoDownloading_ = false;  // the running read is the unattended one
};

}  // namespace quorvex
