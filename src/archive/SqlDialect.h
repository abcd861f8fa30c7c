#pragma once
// Everything that differs between the archive's two databases, SQLite and PostgreSQL, as one table
// of operations per backend (SqliteDialect.cpp, PostgresDialect.cpp). The rest of the archive
// speaks through the table of its connection and never asks which backend it is on; a third
// backend would be a third table.
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <memory>

namespace quorvex {

enum class ArchiveDialect { Sqlite, Postgres };

struct ArchiveLocation;
class ArchiveDatabase;
class RecordInserter;
class RecordRowsReader;

// What a failure of the database means to the operator.
enum class DatabaseFault { Busy, Damaged, Full, Other };

struct SqlDialect {
    ArchiveDialect kind;
    const char* driver;         // Qt's SQL driver
    const char* driverPackage;  // the package that installs it, for the message when it is missing
    const char* begin;          // opens a write transaction
    // The schema's words (ArchiveSchema.cpp): a key the database numbers, a key the program
    // numbers, a byte string, and what follows a table kept in the order of its key.
    const char* identityKey;
    const char* numberedKey;
    const char* bytes;
    const char* clustered;
    // Taken inside the transaction that creates or upgrades the tables; empty: none needed.
    const char* schemaLock;
    // One row of one boolean: whether the archive's tables are there.
    const char* hasSchema;
    // A database that is there without the archive's tables is something else (damaged, not
    // an archive) rather than missing.
    bool foreignWithoutSchema;
    // What follows a SELECT of the change log's head so that the row stays locked until the
    // transaction ends (empty where the write transaction holds the whole database).
    const char* lockRow;

    // Before connecting: the place the archive goes (SQLite: its folder, made unless
    // `existingOnly`). False with the reason left in `db`.
    bool (*prepareLocation)(ArchiveDatabase& db, bool existingOnly);
    // Database, user, server and connect options of the new connection.
    void (*configure)(QSqlDatabase& db, const ArchiveLocation& location, int busyTimeoutMs);
    // Statements each connection runs once open.
    QStringList (*sessionSettings)(int busyTimeoutMs);
    DatabaseFault (*fault)(const QSqlError& error);
    // The change log's canonical bytes (ChangeLog.h) built by the database: one field of a
    // column, and the joined fields as bytes.
    QString (*canonicalField)(const QString& column, bool numeric);
    QString (*canonicalBytes)(const QString& joined);
    // A query of record rows (number, raw, temperature, humidity, moment) with its bound values,
    // each row handed to `rows`.
    bool (*readRecordRows)(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values,
                           RecordRowsReader& rows);
    // What puts new records into the record table on this connection.
    std::unique_ptr<RecordInserter> (*recordInserter)(ArchiveDatabase& db);
};

const SqlDialect& SqliteDialect();
const SqlDialect& PostgresDialect();
const SqlDialect& DialectOf(ArchiveDialect kind);

}  // namespace quorvex
