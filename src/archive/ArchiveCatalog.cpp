#include "archive/ArchiveCatalog.h"

#include <QSqlQuery>

#include "archive/ArchiveDatabase.h"

namespace quorvex {

std::optional<std::int64_t> LoggerId(ArchiveDatabase& db, const QString& serial, bool create) {
    if (create) {
        QSqlQuery insert(db.Connection());
        if (!db.Prepare(insert, QStringLiteral("INSERT INTO logger (serial) VALUES (?) ON CONFLICT DO NOTHING")))
            return std::nullopt;
        insert.addBindValue(ArchiveDatabase::Text(serial));
        if (!db.Exec(insert)) return std::nullopt;
    }
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("SELECT id FROM logger WHERE serial = ?"))) return std::nullopt;
    q.addBindValue(ArchiveDatabase::Text(serial));
    return db.SingleId(q);
}

std::optional<std::int64_t> LogId(ArchiveDatabase& db, const ArchiveLogKey& key, const QString& sourceFile,
                                  bool create) {
    const auto logger = LoggerId(db, key.serial, create);
    if (!logger || *logger == 0) return logger;
    if (create) {
        QSqlQuery insert(db.Connection());
        if (!db.Prepare(insert, QStringLiteral("INSERT INTO log (logger_id, start_s, interval_s, source_file) "
                                               "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING")))
            return std::nullopt;
        insert.addBindValue(static_cast<qint64>(*logger));
        insert.addBindValue(static_cast<qint64>(key.startSeconds));
        insert.addBindValue(key.intervalSeconds);
        insert.addBindValue(ArchiveDatabase::Text(sourceFile));
        if (!db.Exec(insert)) return std::nullopt;
    }
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("SELECT id FROM log WHERE logger_id = ? AND start_s = ? AND interval_s = ? "
                                      "AND source_file = ?")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(*logger));
    q.addBindValue(static_cast<qint64>(key.startSeconds));
    q.addBindValue(key.intervalSeconds);
    q.addBindValue(ArchiveDatabase::Text(sourceFile));
    return db.SingleId(q);
}

std::optional<std::int64_t> InsertDownload(ArchiveDatabase& db, std::int64_t log, const ArchiveDownloadFacts& f,
                                           ArchiveOutcome outcome) {
    using T = ArchiveDatabase;
    QSqlQuery q(db.Connection());
    if (!db.Prepare(q, QStringLiteral("INSERT INTO download (log_id, moment, host, username, program, link, "
                                      "logger_name, logger_type, announced, first_number, last_number, outcome, "
                                      "registers) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, -1, ?, ?) RETURNING id")))
        return std::nullopt;
    for (const QVariant& v :
         {QVariant(static_cast<qint64>(log)), QVariant(MomentText(f.moment)), T::Text(f.host), T::Text(f.user),
          T::Text(f.program), T::Text(f.link), T::Text(f.loggerName), T::Text(f.loggerType), QVariant(f.announced),
          QVariant(OutcomeName(outcome)),
          f.registers.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(f.registers)})
        q.addBindValue(v);
    const auto id = db.SingleId(q);
    if (id && *id == 0) return std::nullopt;
    return id;
}

}  // namespace quorvex
