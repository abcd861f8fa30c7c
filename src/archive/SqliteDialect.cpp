// The archive on an SQLite file: one writer at a time (BEGIN IMMEDIATE takes the lock at once and
// waits up to the busy timeout for it), readers beside the writer through the write-ahead log,
// and the records read and written through SQLite's own interface on the connection Qt holds.
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>

#include <sqlite3.h>

#include "archive/ArchiveDatabase.h"
#include "archive/RecordInserter.h"
#include "archive/RecordRows.h"
#include "archive/SqlDialect.h"
#include "archive/SqliteHandle.h"

namespace quorvex {

sqlite3* SqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QSqlError SqliteError(sqlite3* lite, const QString& where) {
    return QSqlError(where, QString::fromUtf8(sqlite3_errmsg(lite)), QSqlError::StatementError,
                     QString::number(sqlite3_extended_errcode(lite)));
}

namespace {

bool FailLite(ArchiveDatabase& db, sqlite3* lite) { return db.Fail(SqliteError(lite, QStringLiteral("archive"))); }

bool PrepareLocation(ArchiveDatabase& db, bool existingOnly) {
    const QFileInfo file(db.Location().path);
    if (existingOnly && !file.exists()) return db.Missing();
    if (!QDir().mkpath(file.absolutePath()) || !QFileInfo(file.absolutePath()).isDir())
        return db.Fail(QStringLiteral("cannot create the folder %1").arg(file.absolutePath()));
    if (file.exists() && !file.isFile()) return db.Fail(QStringLiteral("not a file"));
    return true;
}

void Configure(QSqlDatabase& db, const ArchiveLocation& location, int busyTimeoutMs) {
    db.setDatabaseName(location.path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
}

QStringList SessionSettings(int) {
    // Readers never wait for the writer; a commit survives the program being killed.
    return {QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=NORMAL")};
}

DatabaseFault Fault(const QSqlError& e) {
    switch (e.nativeErrorCode().toInt() & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseFault::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return DatabaseFault::Damaged;
    case SQLITE_FULL:
        return DatabaseFault::Full;
    default:
        return DatabaseFault::Other;
    }
}

// Text lengths count UTF-8 bytes: a text is measured as the blob of its bytes.
QString CanonicalField(const QString& column, bool numeric) {
    return (numeric ? QStringLiteral("length(%1) || ':' || %1 || char(10)")
                    : QStringLiteral("length(CAST(%1 AS BLOB)) || ':' || %1 || char(10)"))
        .arg(column);
}

QString CanonicalBytes(const QString& joined) { return QStringLiteral("CAST(%1 AS BLOB)").arg(joined); }

// A year of records is read without a QVariant per value.
bool ReadRecordRows(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values,
                    RecordRowsReader& rows) {
    sqlite3* lite = SqliteHandle(db.Connection());
    if (!lite) return ReadRecordRowsWithQt(db, sql, values, rows);
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(lite, text.constData(), static_cast<int>(text.size()), &q, nullptr) != SQLITE_OK)
        return FailLite(db, lite);
    int at = 0;
    for (const qint64 v : values) sqlite3_bind_int64(q, ++at, v);
    int step;
    while ((step = sqlite3_step(q)) == SQLITE_ROW) {
        const void* bytes = sqlite3_column_blob(q, 1);
        rows.Add(
            {sqlite3_column_int(q, 0),
             bytes ? QByteArrayView(static_cast<const char*>(bytes), sqlite3_column_bytes(q, 1)) : QByteArrayView(),
             sqlite3_column_int(q, 2), sqlite3_column_type(q, 3) != SQLITE_NULL, sqlite3_column_int(q, 3),
             sqlite3_column_type(q, 4) != SQLITE_NULL, sqlite3_column_int64(q, 4)});
    }
    const bool ok = step == SQLITE_DONE || FailLite(db, lite);
    sqlite3_finalize(q);
    return ok;
}

// The record inserts on SQLite's own interface: a million records go in without a QVariant per
// value, by statements prepared once for the connection's life.
class SqliteRecordInserter final : public RecordInserter {
public:
    explicit SqliteRecordInserter(ArchiveDatabase& db) : db_(db), qt_(db) {}
    ~SqliteRecordInserter() override {
        sqlite3_finalize(many_);
        sqlite3_finalize(one_);
    }
    SqliteRecordInserter(const SqliteRecordInserter&) = delete;
    SqliteRecordInserter& operator=(const SqliteRecordInserter&) = delete;

    bool Insert(std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
                int& inserted) override {
        sqlite3* lite = SqliteHandle(db_.Connection());
        if (!lite) return qt_.Insert(log, download, fresh, inserted);
        if (!Prepare(lite, many_, kRowsPerInsert) || !Prepare(lite, one_, 1)) return false;
        const auto step = [&](sqlite3_stmt* q) {
            const int done = sqlite3_step(q);
            sqlite3_reset(q);
            if (done != SQLITE_DONE) return FailLite(db_, lite);
            inserted += sqlite3_changes(lite);
            return true;
        };
        std::size_t i = 0;
        for (; i + kRowsPerInsert <= fresh.size(); i += kRowsPerInsert) {
            for (int k = 0; k < kRowsPerInsert; ++k)
                Bind(many_, k * kColumnsPerRow, log, download, *fresh[i + static_cast<std::size_t>(k)]);
            if (!step(many_)) return false;
        }
        for (; i < fresh.size(); ++i) {
            Bind(one_, 0, log, download, *fresh[i]);
            if (!step(one_)) return false;
        }
        return true;
    }

private:
    bool Prepare(sqlite3* lite, sqlite3_stmt*& statement, int rows) {
        if (statement) return true;
        const QByteArray sql = RecordInsertSql(rows).toUtf8();
        return sqlite3_prepare_v3(lite, sql.constData(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                  &statement, nullptr) == SQLITE_OK ||
               FailLite(db_, lite);
    }

    static void Bind(sqlite3_stmt* q, int at, std::int64_t log, std::int64_t download, const RecordRow& r) {
        sqlite3_bind_int64(q, at + 1, log);
        sqlite3_bind_int(q, at + 2, r.number);
        sqlite3_bind_int64(q, at + 3, download);
        if (r.raw.isNull()) {
            sqlite3_bind_null(q, at + 4);
        } else {
            const QByteArray bytes = r.raw.toByteArray();
            sqlite3_bind_blob(q, at + 4, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_int(q, at + 5, r.temperature);
        if (r.humidity.isNull())
            sqlite3_bind_null(q, at + 6);
        else
            sqlite3_bind_int(q, at + 6, r.humidity.toInt());
        if (r.moment.isNull())
            sqlite3_bind_null(q, at + 7);
        else
            sqlite3_bind_int64(q, at + 7, r.moment.toLongLong());
    }

    ArchiveDatabase& db_;
    QtRecordInserter qt_;           // when the connection has no SQLite handle
    sqlite3_stmt* many_ = nullptr;  // kRowsPerInsert rows
    sqlite3_stmt* one_ = nullptr;
};

std::unique_ptr<RecordInserter> MakeInserter(ArchiveDatabase& db) { return std::make_unique<SqliteRecordInserter>(db); }

const SqlDialect kSqlite{
    .kind = ArchiveDialect::Sqlite,
    .driver = "QSQLITE",
    .driverPackage = "libqt6sql6-sqlite",
    .begin = "BEGIN IMMEDIATE",
    .identityKey = "INTEGER PRIMARY KEY",
    // The row id itself, the quickest to walk in order.
    .numberedKey = "INTEGER PRIMARY KEY",
    .bytes = "BLOB",
    .clustered = " WITHOUT ROWID",
    .schemaLock = "",
    .hasSchema = "SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'schema_version')",
    // A file there already that the program did not make is none of its archives.
    .foreignWithoutSchema = true,
    .lockRow = "",
    .prepareLocation = PrepareLocation,
    .configure = Configure,
    .sessionSettings = SessionSettings,
    .fault = Fault,
    .canonicalField = CanonicalField,
    .canonicalBytes = CanonicalBytes,
    .readRecordRows = ReadRecordRows,
    .recordInserter = MakeInserter,
};

}  // namespace

const SqlDialect& SqliteDialect() { return kSqlite; }

}  // namespace quorvex
