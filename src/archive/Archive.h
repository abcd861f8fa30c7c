#pragma once
// The archive: every record every download brought, kept for good, in an SQLite file or on a
// PostgreSQL server (the same tables and queries on both; the program creates them and adds
// to them as it grows, never removing a thing).
//
// A logger is known by its serial number, a log by its logger, start moment and save interval,
// a record by its log and number (from 1). A record keeps the 4 bytes the logger sent and
// their decoded values; a download keeps when, where, by whom, over which link and with which
// program it ran, the range of records it brought, how it ended and the logger's registers as
// read (the thresholds among them). Downloading the same log again adds only what is new; a
// record that comes again with other bytes is kept beside the first as a variant, never over
// it. Files imported from disk form logs of their own, marked with the file's name.
//
// Two programs may write at once (the window and quorvex-cli, or two workstations): each
// write is one transaction, and a record two writers bring is kept once.
//
// Every call that fails leaves LastError() naming the archive and what went wrong, and
// changes nothing that was there. Not thread-safe: one object per thread.
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveText.h"
#include "archive/ChangeLog.h"
#include "logs/ResultsStore.h"
#include "study/Calibration.h"
#include "study/StudyDefinition.h"

namespace quorvex {

struct ArchiveLogKey {
    QString serial;
    std::int64_t startSeconds = 0;  // logger clock, seconds since 30 December 1899
    std::int32_t intervalSeconds = 0;
};

enum class ArchiveOutcome { Complete, Short, Stopped, Imported };

// What a download or an import brings besides its records.
struct ArchiveDownloadFacts {
    QDateTime moment = QDateTime::currentDateTimeUtc();
    QString host;
    QString user;
    QString program;  // program and version
    QString link;     // the port, or the imported file's path
    QString loggerName;
    QString loggerType;
    int announced = 0;     // records the logger said it held
    QByteArray registers;  // the register mirror as read, 2 bytes a register, high byte first
    QString sourceFile;    // set: an import of this file (its name)
    QString note;          // an import: what its change-log entry adds (the file's signature)
};

// Host, user and the program as this machine and process know them.
ArchiveDownloadFacts LocalDownloadFacts(const QString& program, const QString& link);

struct ArchiveDownloadRow {
    std::int64_t id = 0;
    QDateTime moment;  // UTC
    QString host, user, program, link;
    int first = 0, last = 0;  // records brought; last < first: none
    ArchiveOutcome outcome = ArchiveOutcome::Stopped;
};

struct ArchiveLogRow {
    std::int64_t id = 0;
    ArchiveLogKey key;
    QString sourceFile;              // set: imported from this file
    QString loggerName, loggerType;  // as the latest download found them
    int archived = 0;                // records kept
    int announced = 0;               // the most the logger announced in a download of it
    Moment firstRecord = 0, lastRecord = 0;
    QList<ArchiveDownloadRow> downloads;  // oldest first
};

struct ArchiveLoggerRow {
    QString serial, name, type;  // name and type of the latest download
    QDateTime lastDownload;      // UTC
    int logs = 0;
};

// Records of an archived download that differ from those archived before, by the download
// that archived them first.
struct ArchiveDifference {
    QDateTime archivedDownload;  // UTC
    int count = 0;
};

class Archive {
public:
    static constexpr int kDefaultBusyTimeoutMs = 10000;

    // Opens (creating or upgrading the tables as needed). Nothing with the reason in `error`.
    static std::unique_ptr<Archive> Open(const ArchiveLocation& location, ArchiveText& error,
                                         int busyTimeoutMs = kDefaultBusyTimeoutMs);
    // Opens an archive that is there already (upgrading its tables as needed) and creates
    // nothing, no folder either: for whatever only reads. One that is not there is an error
    // naming it (kMissingArchive), as is a PostgreSQL database without the archive's tables.
    static std::unique_ptr<Archive> OpenExisting(const ArchiveLocation& location, ArchiveText& error,
                                                 int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const ArchiveLocation& Location() const;
    const ArchiveText& LastError() const;
    static int SchemaVersion();

    // Writing. A download's records go in as they arrive; each call is committed at once.
    std::optional<std::int64_t> BeginDownload(const ArchiveLogKey& key, const ArchiveDownloadFacts& facts);
    // Records firstNumber, firstNumber + 1, …; raw = the 4 bytes as one value, first byte highest.
    // False on failure (LastError).
    bool AddRecords(std::int64_t download, int firstNumber, std::span<const std::uint32_t> raw);
    bool EndDownload(std::int64_t download, ArchiveOutcome outcome);
    // The records of this download that differed from the archived ones, so far.
    QList<ArchiveDifference> Differences(std::int64_t download) const;

    // A saved results file (text or CSV) as a log of its own. Nothing with the reason (the
    // file's line, as opening it says) when the file is not a results file or the archive fails.
    std::optional<int> Import(const QString& path, ArchiveDownloadFacts facts);

    // Reading.
    std::optional<QList<ArchiveLoggerRow>> Loggers();
    std::optional<QList<ArchiveLogRow>> Logs(const QString& serial);
    // The log's records (those within [from, to], moments on the logger clock, when given) into
    // `into`, cleared first, filled as a download fills it: logger texts, interval and the
    // thresholds read with the log's latest download (none for an imported file). Every reader
    // of archived records comes through here: a log whose records were changed outside the
    // program (ChangedRecord) is refused, LastError naming the logger, the log and the record.
    bool LoadRecords(std::int64_t log, ResultsStore& into, std::optional<Moment> from = std::nullopt,
                     std::optional<Moment> to = std::nullopt);
    // The first record of the log that is no longer what its download archived, judged by the
    // fingerprint the change log keeps of each closed download and import and by each logger
    // record's own bytes: 0 for none (the log is sound). Where only a fingerprint tells, the
    // first record that fingerprint covers.
    std::optional<int> ChangedRecord(std::int64_t log);
    // The highest n such that records 1…n of the logger's log are all archived (0: none).
    std::optional<int> ArchivedThrough(const ArchiveLogKey& key);
    // The log of a logger's key (0: none archived) and the 4 bytes of one of its records as first
    // archived (empty: no such record).
    std::optional<std::int64_t> FindLog(const ArchiveLogKey& key);
    std::optional<QByteArray> RecordBytes(std::int64_t log, int number);
    // The records the download archived first: those the archive did not hold before it.
    std::optional<int> AddedBy(std::int64_t download);

    // The change log (ChangeLog.h). Closing a download (EndDownload) and importing a file append
    // their entries themselves, with the fingerprint of the records they brought. Appending
    // gives `entry` its sequence number and hash.
    bool AppendChange(ChangeEntry& entry);
    std::optional<QList<ChangeEntry>> Changes(const ChangeFilter& filter = {});
    // The serial numbers the change log names, sorted.
    std::optional<QStringList> ChangeSerials();
    // The chain from its first entry, then the records of every download an intact entry names
    // against the fingerprint it carries.
    std::optional<ChangeLogCheck> CheckChanges();

    // Mapping studies and the loggers' calibration (StudyStore.h): each change one transaction
    // with its change-log entry (`change`: who made it; the archive fills in what changed).
    bool SaveStudy(const StudyDefinition& study, ChangeEntry change);
    // The study of that name into `out` (empty: there is none); false: LastError().
    bool LoadStudy(const QString& name, std::optional<StudyDefinition>& out);
    std::optional<QStringList> StudyNames();
    bool SaveCalibration(const Calibration& calibration, ChangeEntry change);
    std::optional<QList<Calibration>> Calibrations();

private:
    struct Impl;
    explicit Archive(std::unique_ptr<Impl> impl);
    static std::unique_ptr<Archive> OpenAs(const ArchiveLocation& location, ArchiveText& error, int busyTimeoutMs,
                                           bool existingOnly);
    std::unique_ptr<Impl> d;
};

// The numbered texts of an archive that is not there, and of archived records changed outside
// the program (LoadRecords), by their prefix.
inline const QString kMissingArchive = QStringLiteral("[2602]");
inline const QString kChangedRecords = QStringLiteral("[2600]");

// The archive's text for an outcome as the list shows it: complete, short, stopped, imported.
QString OutcomeName(ArchiveOutcome outcome);

// "<count> records differ from the archived download of <moment>", one per difference.
QList<ArchiveText> DifferenceTexts(const QList<ArchiveDifference>& differences);

// Seconds on the logger clock for a Moment (MomentFromSeconds goes back).
std::int64_t MomentSeconds(Moment moment);

}  // namespace quorvex
