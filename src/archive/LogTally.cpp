#include "archive/LogTally.h"

#include "archive/ArchiveDatabase.h"

namespace quorvex {

namespace {

// The latest change-log entry of a download or import of the log named by the bound value.
const QString kLatestClose = QStringLiteral(
    "(SELECT COALESCE(MAX(c.seq), 0) FROM change_log c JOIN download d ON d.id = c.download_id "
    "WHERE d.log_id = %1 AND c.kind IN ('download', 'import'))");

std::optional<qint64> Single(ArchiveDatabase& db, QSqlQuery& q) {
    if (!db.Exec(q)) return std::nullopt;
    const qint64 value = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    return value;
}

}  // namespace

bool TallyLog(ArchiveDatabase& db, std::int64_t log, std::optional<std::pair<int, int>> fresh) {
    QSqlQuery count(db.Connection());
    count.setForwardOnly(true);
    if (fresh) {
        if (!db.Prepare(count, QStringLiteral("SELECT (SELECT COUNT(*) FROM record WHERE log_id = ? AND number < ?) + "
                                              "(SELECT COUNT(*) FROM record WHERE log_id = ? AND number > ?)")))
            return false;
        for (const qint64 v : {qint64{log}, qint64{fresh->first}, qint64{log}, qint64{fresh->second}})
            count.addBindValue(v);
    } else {
        if (!db.Prepare(count, QStringLiteral("SELECT COUNT(*) FROM record WHERE log_id = ?"))) return false;
        count.addBindValue(static_cast<qint64>(log));
    }
    auto records = Single(db, count);
    if (!records) return false;
    if (fresh) *records += fresh->second - fresh->first + 1;
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("INSERT INTO log_tally (log_id, records, through_seq) VALUES (?, ?, ") +
                           kLatestClose.arg(QStringLiteral("?")) +
                           QStringLiteral(") ON CONFLICT (log_id) DO UPDATE SET records = excluded.records, "
                                          "through_seq = excluded.through_seq")))
        return false;
    q.addBindValue(static_cast<qint64>(log));
    q.addBindValue(*records);
    q.addBindValue(static_cast<qint64>(log));
    return db.Exec(q);
}

bool TallyDownloadLog(ArchiveDatabase& db, std::int64_t download) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT log_id FROM download WHERE id = ?"))) return false;
    q.addBindValue(static_cast<qint64>(download));
    const auto log = Single(db, q);
    return log && (*log == 0 || TallyLog(db, *log));
}

LogCounter::LogCounter(ArchiveDatabase& db) : db_(db), tally_(db.Connection()), walk_(db.Connection()) {
    tally_.setForwardOnly(true);
    walk_.setForwardOnly(true);
    prepared_ =
        db_.Prepare(tally_,
                    QStringLiteral("SELECT t.records FROM log_tally t WHERE t.log_id = ? AND t.through_seq = ") +
                        kLatestClose.arg(QStringLiteral("t.log_id")) +
                        QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM download d WHERE d.log_id = t.log_id "
                                       "AND NOT EXISTS (SELECT 1 FROM change_log c WHERE c.download_id = "
                                       "d.id AND c.kind IN ('download', 'import')))")) &&
        db_.Prepare(walk_, QStringLiteral("SELECT COUNT(*) FROM record WHERE log_id = ?"));
}

std::optional<int> LogCounter::Count(std::int64_t log) {
    tally_.addBindValue(static_cast<qint64>(log));
    if (!db_.Exec(tally_)) return std::nullopt;
    if (tally_.next()) {
        const int records = tally_.value(0).toInt();
        tally_.finish();
        return records;
    }
    tally_.finish();
    walk_.addBindValue(static_cast<qint64>(log));
    const auto records = Single(db_, walk_);
    if (!records) return std::nullopt;
    return static_cast<int>(*records);
}

}  // namespace quorvex
