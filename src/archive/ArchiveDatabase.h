#pragma once
// The archive's connection to its database: opening it (with the backend's settings), its
// tables created or upgraded, write transactions, and every failure turned into the numbered
// message the operator reads (Error). Everything in the archive that runs SQL (the record merge,
// the readers, the change log) runs it here. Not thread-safe: one object per thread.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveText.h"
#include "archive/SqlDialect.h"

namespace quorvex {

class ArchiveDatabase {
public:
    ArchiveDatabase(const ArchiveLocation& location, int busyTimeoutMs);
    ~ArchiveDatabase();
    ArchiveDatabase(const ArchiveDatabase&) = delete;
    ArchiveDatabase& operator=(const ArchiveDatabase&) = delete;

    // Connects and brings the tables to the newest version. `existingOnly`: a reader's open,
    // which creates nothing; an archive that is not there is an error naming it. False: Error().
    bool Open(bool existingOnly);

    const SqlDialect& Dialect() const { return *dialect_; }
    const ArchiveLocation& Location() const { return location_; }
    int BusyTimeoutMs() const { return busyTimeoutMs_; }
    QSqlDatabase& Connection() { return db_; }
    const ArchiveText& Error() const { return error_; }

    // Each leaves its message in Error() and gives false.
    bool Fail(const QSqlError& e);          // a failure of the database
    bool Fail(const QString& reason);       // the archive unusable for this reason
    bool Fail(const ArchiveText& message);  // a message of the caller's own
    bool Missing();                         // the archive is not there

    bool Exec(QSqlQuery& q) { return q.exec() || Fail(q.lastError()); }
    bool Exec(const QString& sql);
    bool Prepare(QSqlQuery& q, const QString& sql) { return q.prepare(sql) || Fail(q.lastError()); }
    // The first column of the first row as a key; 0 when there is no row.
    std::optional<std::int64_t> SingleId(QSqlQuery& q);

    // One write transaction around `body`: on SQLite the write lock is taken at once (a reader
    // turning writer halfway would be refused without waiting), and the whole is undone on a
    // failure.
    bool Write(const std::function<bool()>& body);

    // An empty text as a text, not as NULL (Qt binds a null QString as NULL).
    static QVariant Text(const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); }

private:
    bool Connect(bool existingOnly);
    std::optional<bool> HasSchema();
    bool Upgrade();

    ArchiveLocation location_;
    const SqlDialect* dialect_;
    int busyTimeoutMs_;
    QString connection_;  // the name Qt knows the connection by
    QSqlDatabase db_;
    ArchiveText error_;
};

// Moments in the tables: UTC, ISO with milliseconds.
QString MomentText(const QDateTime& utc);
QDateTime MomentFromText(const QString& text);

}  // namespace quorvex
