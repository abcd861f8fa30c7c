// The archive as its callers see it: each call handed to the part that does that job (the
// connection and its transactions in ArchiveDatabase, what differs between SQLite and
// PostgreSQL in SqlDialect, writing records in RecordMerge, reading them in ArchivedRecords,
// the list in ArchiveListing, the change log in ChangeLogTable and DownloadFingerprints).
#include "archive/Archive.h"

#include <QSqlQuery>
#include <QSysInfo>

#include <algorithm>
#include <vector>

#include "archive/ArchiveCatalog.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveListing.h"
#include "archive/ArchiveSchema.h"
#include "archive/ArchivedRecords.h"
#include "archive/ChangeLogTable.h"
#include "archive/DownloadFingerprints.h"
#include "archive/FileImport.h"
#include "archive/LogTally.h"
#include "archive/RecordMerge.h"
#include "archive/StudyStore.h"

namespace quorvex {

namespace {

const QString kOutcomes[] = {QStringLiteral("complete"), QStringLiteral("short"), QStringLiteral("stopped"),
                             QStringLiteral("imported")};

}  // namespace

std::int64_t MomentSeconds(Moment moment) {
    const QDateTime t = FromMoment(moment);
    return t.isValid() ? kMomentEpoch.startOfDay(Qt::UTC).secsTo(t) : 0;
}

QString OutcomeName(ArchiveOutcome outcome) { return kOutcomes[static_cast<int>(outcome)]; }

QList<ArchiveText> DifferenceTexts(const QList<ArchiveDifference>& differences) {
    QList<ArchiveText> out;
    for (const ArchiveDifference& d : differences)
        out.push_back({QStringLiteral("[2305]%1 rekord różni się od zarchiwizowanego odczytu z %2|"
                                      "%1 rekordy różnią się od zarchiwizowanego odczytu z %2|"
                                      "%1 rekordów różni się od zarchiwizowanego odczytu z %2"),
                       {QString::number(d.count),
                        d.archivedDownload.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))}});
    return out;
}

ArchiveDownloadFacts LocalDownloadFacts(const QString& program, const QString& link) {
    ArchiveDownloadFacts f;
    f.moment = QDateTime::currentDateTimeUtc();
    f.host = QSysInfo::machineHostName();
    f.user = LocalUserName();
    f.program = program;
    f.link = link;
    return f;
}

struct Archive::Impl {
    Impl(const ArchiveLocation& location, int busyTimeoutMs) : db(location, busyTimeoutMs), merge(db) {}

    ArchiveDatabase db;
    RecordMerge merge;  // after the database: its statements go before the connection closes
};

Archive::Archive(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Archive::~Archive() = default;

std::unique_ptr<Archive> Archive::OpenExisting(const ArchiveLocation& location, ArchiveText& error, int busyTimeoutMs) {
    return OpenAs(location, error, busyTimeoutMs, true);
}

std::unique_ptr<Archive> Archive::Open(const ArchiveLocation& location, ArchiveText& error, int busyTimeoutMs) {
    return OpenAs(location, error, busyTimeoutMs, false);
}

std::unique_ptr<Archive> Archive::OpenAs(const ArchiveLocation& location, ArchiveText& error, int busyTimeoutMs,
                                         bool existingOnly) {
    if (location.kind == ArchiveLocation::Kind::None) return nullptr;
    auto impl = std::make_unique<Impl>(location, busyTimeoutMs);
    if (!impl->db.Open(existingOnly)) {
        error = impl->db.Error();
        return nullptr;
    }
    return std::unique_ptr<Archive>(new Archive(std::move(impl)));
}

const ArchiveLocation& Archive::Location() const { return d->db.Location(); }
const ArchiveText& Archive::LastError() const { return d->db.Error(); }
int Archive::SchemaVersion() { return NewestSchemaVersion(); }

std::optional<std::int64_t> Archive::BeginDownload(const ArchiveLogKey& key, const ArchiveDownloadFacts& facts) {
    std::optional<std::int64_t> id;
    d->db.Write([&] {
        const auto log = LogId(d->db, key, facts.sourceFile, true);
        if (!log || *log == 0) return false;
        id = InsertDownload(d->db, *log, facts,
                            facts.sourceFile.isEmpty() ? ArchiveOutcome::Stopped : ArchiveOutcome::Imported);
        if (id) d->merge.Began(*id, *log);
        return id.has_value();
    });
    return id;
}

bool Archive::AddRecords(std::int64_t download, int firstNumber, std::span<const std::uint32_t> raw) {
    const std::int64_t log = d->merge.LogOf(download);
    if (log == 0) return d->db.Fail(QStringLiteral("no such download"));
    if (raw.empty()) return true;
    std::vector<RecordRow> rows;
    rows.reserve(raw.size());
    int number = firstNumber;
    for (const std::uint32_t value : raw) {
        const DecodedRecord r = DecodeLogRecord(value);
        const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                               static_cast<char>(value >> 8), static_cast<char>(value)};
        rows.push_back({number++, QByteArray(bytes, 4), Tenths(r.temperature), Tenths(r.humidity), QVariant()});
    }
    const int last = number - 1;
    return d->db.Write(
        [&] { return d->merge.Merge(log, download, rows) && d->merge.ExtendRange(download, firstNumber, last); });
}

bool Archive::EndDownload(std::int64_t download, ArchiveOutcome outcome) {
    return d->db.Write([&] {
        QSqlQuery q(d->db.Connection());
        if (!d->db.Prepare(q, QStringLiteral("UPDATE download SET outcome = ? WHERE id = ?"))) return false;
        q.addBindValue(OutcomeName(outcome));
        q.addBindValue(static_cast<qint64>(download));
        return d->db.Exec(q) && AppendDownloadChange(d->db, download) && TallyDownloadLog(d->db, download);
    });
}

QList<ArchiveDifference> Archive::Differences(std::int64_t download) const {
    QList<ArchiveDifference> out;
    const auto byDownload = d->merge.Differing(download);
    for (auto it = byDownload.cbegin(); it != byDownload.cend(); ++it) {
        QSqlQuery q(d->db.Connection());
        q.prepare(QStringLiteral("SELECT moment FROM download WHERE id = ?"));
        q.addBindValue(static_cast<qint64>(it.key()));
        const QDateTime moment = q.exec() && q.next() ? MomentFromText(q.value(0).toString()) : QDateTime();
        out.push_back({moment, static_cast<int>(it->size())});
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.archivedDownload < b.archivedDownload; });
    return out;
}

std::optional<int> Archive::Import(const QString& path, ArchiveDownloadFacts facts) {
    return ImportResultsFile(d->db, d->merge, path, std::move(facts));
}

std::optional<QList<ArchiveLoggerRow>> Archive::Loggers() { return ListLoggers(d->db); }

std::optional<QList<ArchiveLogRow>> Archive::Logs(const QString& serial) { return ListLogs(d->db, serial); }

bool Archive::LoadRecords(std::int64_t log, ResultsStore& into, std::optional<Moment> from, std::optional<Moment> to) {
    return quorvex::LoadRecords(d->db, log, into, from, to);
}

std::optional<int> Archive::ChangedRecord(std::int64_t log) { return quorvex::ChangedRecord(d->db, log); }

std::optional<int> Archive::ArchivedThrough(const ArchiveLogKey& key) { return quorvex::ArchivedThrough(d->db, key); }

std::optional<std::int64_t> Archive::FindLog(const ArchiveLogKey& key) { return LogId(d->db, key, QString(), false); }

std::optional<QByteArray> Archive::RecordBytes(std::int64_t log, int number) {
    return quorvex::RecordBytes(d->db, log, number);
}

std::optional<int> Archive::AddedBy(std::int64_t download) { return quorvex::AddedBy(d->db, download); }

bool Archive::AppendChange(ChangeEntry& entry) {
    return d->db.Write([&] { return AppendChangeRow(d->db, entry); });
}

std::optional<QList<ChangeEntry>> Archive::Changes(const ChangeFilter& filter) {
    QList<ChangeEntry> out;
    if (!ReadChangeRows(d->db, filter, out)) return std::nullopt;
    return out;
}

std::optional<QStringList> Archive::ChangeSerials() { return quorvex::ChangeSerials(d->db); }

std::optional<ChangeLogCheck> Archive::CheckChanges() { return quorvex::CheckChanges(d->db); }

bool Archive::SaveStudy(const StudyDefinition& study, ChangeEntry change) { return StoreStudy(d->db, study, change); }

bool Archive::LoadStudy(const QString& name, std::optional<StudyDefinition>& out) {
    return ReadStudy(d->db, name, out);
}

std::optional<QStringList> Archive::StudyNames() { return ReadStudyNames(d->db); }

bool Archive::SaveCalibration(const Calibration& calibration, ChangeEntry change) {
    return StoreCalibration(d->db, calibration, change);
}

std::optional<QList<Calibration>> Archive::Calibrations() { return ReadCalibrations(d->db); }

}  // namespace quorvex
