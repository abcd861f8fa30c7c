#include "archive/ArchiveListing.h"

#include <QSqlQuery>

#include "archive/ArchiveDatabase.h"
#include "archive/LogTally.h"

namespace quorvex {

namespace {

ArchiveOutcome OutcomeFromName(const QString& name) {
    for (const ArchiveOutcome o :
         {ArchiveOutcome::Complete, ArchiveOutcome::Short, ArchiveOutcome::Stopped, ArchiveOutcome::Imported})
        if (OutcomeName(o) == name) return o;
    return ArchiveOutcome::Stopped;
}

}  // namespace

std::optional<QList<ArchiveLoggerRow>> ListLoggers(ArchiveDatabase& db) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT g.serial, COUNT(DISTINCT l.id), MAX(dl.moment) FROM logger g "
                               "JOIN log l ON l.logger_id = g.id JOIN download dl ON dl.log_id = l.id "
                               "GROUP BY g.serial ORDER BY g.serial"))) {
        db.Fail(q.lastError());
        return std::nullopt;
    }
    QList<ArchiveLoggerRow> out;
    while (q.next())
        out.push_back({q.value(0).toString(), {}, {}, MomentFromText(q.value(2).toString()), q.value(1).toInt()});
    q.finish();
    QSqlQuery latest(db.Connection());
    if (!db.Prepare(latest, QStringLiteral("SELECT dl.logger_name, dl.logger_type FROM download dl "
                                           "JOIN log l ON dl.log_id = l.id JOIN logger g ON l.logger_id = g.id "
                                           "WHERE g.serial = ? ORDER BY dl.moment DESC, dl.id DESC LIMIT 1")))
        return std::nullopt;
    for (ArchiveLoggerRow& row : out) {
        latest.addBindValue(ArchiveDatabase::Text(row.serial));
        if (!db.Exec(latest)) return std::nullopt;
        if (latest.next()) {
            row.name = latest.value(0).toString();
            row.type = latest.value(1).toString();
        }
        latest.finish();
    }
    return out;
}

std::optional<QList<ArchiveLogRow>> ListLogs(ArchiveDatabase& db, const QString& serial) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT l.id, l.start_s, l.interval_s, l.source_file FROM log l "
                                      "JOIN logger g ON l.logger_id = g.id WHERE g.serial = ? "
                                      "ORDER BY l.start_s, l.source_file")))
        return std::nullopt;
    q.addBindValue(ArchiveDatabase::Text(serial));
    if (!db.Exec(q)) return std::nullopt;
    QList<ArchiveLogRow> out;
    while (q.next()) {
        ArchiveLogRow row;
        row.id = q.value(0).toLongLong();
        row.key = {serial, q.value(1).toLongLong(), q.value(2).toInt()};
        row.sourceFile = q.value(3).toString();
        out.push_back(row);
    }
    q.finish();
    QSqlQuery ends(db.Connection()), spans(db.Connection()), downloads(db.Connection());
    ends.setForwardOnly(true);
    spans.setForwardOnly(true);
    downloads.setForwardOnly(true);
    // A log's records are counted as its downloads closed (LogTally). A logger's log spans its
    // lowest to its highest number, each found in the key's order at once; only a file's log has
    // moments of its own to look through.
    LogCounter counter(db);
    if (!counter.Prepared() ||
        !db.Prepare(ends, QStringLiteral("SELECT (SELECT MIN(number) FROM record WHERE log_id = ?), "
                                         "(SELECT MAX(number) FROM record WHERE log_id = ?)")) ||
        !db.Prepare(spans, QStringLiteral("SELECT MIN(moment_s), MAX(moment_s) FROM record WHERE log_id = ?")) ||
        !db.Prepare(downloads, QStringLiteral("SELECT id, moment, host, username, program, link, first_number, "
                                              "last_number, outcome, announced, logger_name, logger_type "
                                              "FROM download WHERE log_id = ? ORDER BY id")))
        return std::nullopt;
    for (ArchiveLogRow& row : out) {
        const auto archived = counter.Count(row.id);
        if (!archived) return std::nullopt;
        if (*archived > 0) {
            row.archived = *archived;
            if (row.sourceFile.isEmpty()) {
                for (int i = 0; i < 2; ++i) ends.addBindValue(static_cast<qint64>(row.id));
                if (!db.Exec(ends)) return std::nullopt;
                if (ends.next()) {
                    const auto at = [&](int n) {
                        return MomentFromSeconds(row.key.startSeconds + std::int64_t{n - 1} * row.key.intervalSeconds);
                    };
                    row.firstRecord = at(ends.value(0).toInt());
                    row.lastRecord = at(ends.value(1).toInt());
                }
                ends.finish();
            } else {
                spans.addBindValue(static_cast<qint64>(row.id));
                if (!db.Exec(spans)) return std::nullopt;
                if (spans.next()) {
                    row.firstRecord = MomentFromSeconds(spans.value(0).toLongLong());
                    row.lastRecord = MomentFromSeconds(spans.value(1).toLongLong());
                }
                spans.finish();
            }
        }
        downloads.addBindValue(static_cast<qint64>(row.id));
        if (!db.Exec(downloads)) return std::nullopt;
        while (downloads.next()) {
            ArchiveDownloadRow dl;
            dl.id = downloads.value(0).toLongLong();
            dl.moment = MomentFromText(downloads.value(1).toString());
            dl.host = downloads.value(2).toString();
            dl.user = downloads.value(3).toString();
            dl.program = downloads.value(4).toString();
            dl.link = downloads.value(5).toString();
            dl.first = downloads.value(6).toInt();
            dl.last = downloads.value(7).toInt();
            dl.outcome = OutcomeFromName(downloads.value(8).toString());
            row.announced = qMax(row.announced, downloads.value(9).toInt());
            row.loggerName = downloads.value(10).toString();
            row.loggerType = downloads.value(11).toString();
            row.downloads.push_back(dl);
        }
        downloads.finish();
    }
    return out;
}

}  // namespace quorvex
