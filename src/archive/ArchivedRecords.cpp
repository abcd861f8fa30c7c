#include "archive/ArchivedRecords.h"

#include <QSqlQuery>

#include <limits>

#include "archive/ArchiveCatalog.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveRegisters.h"
#include "archive/DownloadFingerprints.h"
#include "archive/RecordRows.h"

namespace quorvex {

bool ReadRecords(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values, qint64 start,
                 int interval, ResultsStore& into, bool imported, int expected, int& odd) {
    RecordRowsReader rows(start, interval, into, imported, expected);
    const bool ok = db.Dialect().readRecordRows(db, sql, values, rows);
    odd = rows.Finish();
    return ok;
}

bool DownloadRecords(ArchiveDatabase& db, std::int64_t download, int first, int last, ResultsStore& into, int* odd) {
    into.Clear();
    if (odd) *odd = 0;
    QSqlQuery head(db.Connection());
    head.setForwardOnly(true);
    if (!db.Prepare(head, QStringLiteral("SELECT l.id, l.start_s, l.interval_s, d.logger_type, l.source_file "
                                         "FROM download d JOIN log l ON d.log_id = l.id WHERE d.id = ?")))
        return false;
    head.addBindValue(static_cast<qint64>(download));
    if (!db.Exec(head)) return false;
    if (!head.next()) {  // gone: no records, which the fingerprint shows
        if (odd && last >= first) *odd = first;
        return true;
    }
    const qint64 log = head.value(0).toLongLong(), start = head.value(1).toLongLong();
    const int interval = head.value(2).toInt();
    const bool imported = !head.value(4).toString().isEmpty();
    into.loggerType = head.value(3).toString();
    into.intervalSeconds = interval;
    head.finish();
    int found = 0;
    if (!ReadRecords(db,
                     QStringLiteral("SELECT r.number, COALESCE(v.raw, r.raw), COALESCE(v.temperature, "
                                    "r.temperature), CASE WHEN v.number IS NULL THEN r.humidity ELSE "
                                    "v.humidity END, CASE WHEN v.number IS NULL THEN r.moment_s ELSE "
                                    "v.moment_s END FROM record r LEFT JOIN record_variant v ON v.log_id = "
                                    "r.log_id AND v.number = r.number AND v.download_id = ? "
                                    "WHERE r.log_id = ? AND r.number BETWEEN ? AND ? ORDER BY r.number"),
                     {download, log, first, last}, start, interval, into, imported, first, found))
        return false;
    if (odd) {
        *odd = found;
        // Missing at the end.
        if (*odd == 0 && last >= first && into.Count() < last - first + 1) *odd = first + into.Count();
    }
    return true;
}

bool LoadRecords(ArchiveDatabase& db, std::int64_t log, ResultsStore& into, std::optional<Moment> from,
                 std::optional<Moment> to) {
    into.Clear();
    QSqlQuery head(db.Connection());
    head.setForwardOnly(true);
    if (!db.Prepare(head, QStringLiteral("SELECT l.start_s, l.interval_s, l.source_file, g.serial FROM log l "
                                         "JOIN logger g ON l.logger_id = g.id WHERE l.id = ?")))
        return false;
    head.addBindValue(static_cast<qint64>(log));
    if (!db.Exec(head)) return false;
    if (!head.next()) return db.Fail(QStringLiteral("no such log"));
    const std::int64_t start = head.value(0).toLongLong();
    const int interval = head.value(1).toInt();
    const QString sourceFile = head.value(2).toString();
    const bool imported = !sourceFile.isEmpty();
    const QString serial = head.value(3).toString();
    head.finish();

    // Nothing changed behind the program's back goes out as if it were sound.
    const auto changed = ChangedRecord(db, log);
    if (!changed) return false;
    if (*changed > 0) {
        QString logText = FromMoment(MomentFromSeconds(start)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (imported) logText += QStringLiteral(" (%1)").arg(sourceFile);
        return db.Fail(
            ArchiveText{QStringLiteral("[2600]Zarchiwizowane rekordy loggera %1 (log z %2) zmieniono poza programem, "
                                       "od rekordu %3; log jest uszkodzony i nie zostanie użyty"),
                        {serial.isEmpty() ? QStringLiteral("-") : serial, logText, QString::number(*changed)}});
    }
    into.serialNumber = serial;
    into.archivedLogStart = MomentFromSeconds(start);

    QSqlQuery latest(db.Connection());
    latest.setForwardOnly(true);
    if (!db.Prepare(latest, QStringLiteral("SELECT logger_name, logger_type, registers FROM download WHERE log_id = ? "
                                           "ORDER BY id DESC LIMIT 1")))
        return false;
    latest.addBindValue(static_cast<qint64>(log));
    if (!db.Exec(latest)) return false;
    if (latest.next()) {
        into.loggerName = latest.value(0).toString();
        into.loggerType = latest.value(1).toString();
        if (!imported) into.thresholds = ThresholdsFromRegisters(latest.value(2).toByteArray());
    }
    latest.finish();
    into.intervalSeconds = interval;
    into.writeInterval = IntervalText(static_cast<std::uint32_t>(interval));

    // A time range is a range of numbers for a logger's log, of moments for a file's.
    qint64 low = 1, high = std::numeric_limits<int>::max();
    QString filter = QStringLiteral("number BETWEEN ? AND ?");
    if (imported) {
        filter = QStringLiteral("moment_s BETWEEN ? AND ?");
        low = from ? MomentSeconds(*from) : std::numeric_limits<qint64>::min();
        high = to ? MomentSeconds(*to) : std::numeric_limits<qint64>::max();
    } else if (interval > 0) {
        if (from) low = qMax<qint64>(1, (MomentSeconds(*from) - start + interval - 1) / interval + 1);
        if (to) high = (MomentSeconds(*to) - start) / interval + 1;
        if (to && MomentSeconds(*to) < start) high = 0;
    }
    int odd = 0;
    return ReadRecords(db,
                       QStringLiteral("SELECT number, raw, temperature, humidity, moment_s FROM record "
                                      "WHERE log_id = ? AND ") +
                           filter + QStringLiteral(" ORDER BY number"),
                       {log, low, high}, start, interval, into, true, -1, odd);
}

std::optional<int> ArchivedThrough(ArchiveDatabase& db, const ArchiveLogKey& key) {
    const auto log = LogId(db, key, QString(), false);
    if (!log) return std::nullopt;
    if (*log == 0) return 0;
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    // The first record after which one is missing; none at all when record 1 is.
    if (!db.Prepare(q,
                    QStringLiteral("SELECT MIN(r.number) FROM record r WHERE r.log_id = ? AND NOT EXISTS "
                                   "(SELECT 1 FROM record s WHERE s.log_id = r.log_id AND s.number = r.number + 1)")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(*log));
    if (!db.Exec(q)) return std::nullopt;
    const int through = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    QSqlQuery one(db.Connection());
    if (!db.Prepare(one, QStringLiteral("SELECT 1 FROM record WHERE log_id = ? AND number = 1"))) return std::nullopt;
    one.addBindValue(static_cast<qint64>(*log));
    if (!db.Exec(one)) return std::nullopt;
    return one.next() ? through : 0;
}

std::optional<int> AddedBy(ArchiveDatabase& db, std::int64_t download) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    // Within the download's range, by the record table's key: the records it archived first.
    if (!db.Prepare(q, QStringLiteral("SELECT COUNT(*) FROM download d JOIN record r ON r.log_id = d.log_id AND "
                                      "r.number BETWEEN d.first_number AND d.last_number AND r.download_id = d.id "
                                      "WHERE d.id = ?")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(download));
    if (!db.Exec(q)) return std::nullopt;
    return q.next() ? q.value(0).toInt() : 0;
}

std::optional<QByteArray> RecordBytes(ArchiveDatabase& db, std::int64_t log, int number) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT raw FROM record WHERE log_id = ? AND number = ?"))) return std::nullopt;
    q.addBindValue(static_cast<qint64>(log));
    q.addBindValue(number);
    if (!db.Exec(q)) return std::nullopt;
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

}  // namespace quorvex
