// The archive on a PostgreSQL server that several workstations share: waits for a lock are
// bounded by lock_timeout, the chain's head is locked row by row, and an import's records go in
// by COPY, the server's own bulk path, on the libpq connection Qt's driver holds.
#include <QSqlDriver>

#include <charconv>

#include <libpq-fe.h>

#include "archive/ArchiveDatabase.h"
#include "archive/RecordInserter.h"
#include "archive/RecordRows.h"
#include "archive/SqlDialect.h"

namespace quorvex {

namespace {

// Bytes of COPY text handed to the server at a time.
constexpr int kCopyChunk = 1 << 20;

bool PrepareLocation(ArchiveDatabase&, bool) { return true; }

void Configure(QSqlDatabase& db, const ArchiveLocation& location, int busyTimeoutMs) {
    db.setDatabaseName(location.database);
    if (!location.user.isEmpty()) db.setUserName(location.user);
    if (!location.host.isEmpty()) db.setHostName(location.host);
    if (location.port > 0) db.setPort(location.port);
    QStringList options{QStringLiteral("connect_timeout=%1").arg(qMax(2, busyTimeoutMs / 1000)),
                        QStringLiteral("application_name=quorvex")};
    for (auto it = location.options.cbegin(); it != location.options.cend(); ++it)
        options << it.key() + u'=' + it.value();
    db.setConnectOptions(options.join(u';'));
}

QStringList SessionSettings(int busyTimeoutMs) {
    // "Already exists, skipping" is no news worth printing.
    return {QStringLiteral("SET lock_timeout = %1").arg(busyTimeoutMs),
            QStringLiteral("SET client_min_messages = warning")};
}

DatabaseFault Fault(const QSqlError& e) {
    const QString state = e.nativeErrorCode();
    if (state == QLatin1String("55P03")) return DatabaseFault::Busy;  // lock not available
    if (state == QLatin1String("53100")) return DatabaseFault::Full;  // disk full
    return DatabaseFault::Other;
}

// Text lengths count UTF-8 bytes whatever the server's own encoding.
QString CanonicalField(const QString& column, bool numeric) {
    return (numeric ? QStringLiteral("length(%1::text) || ':' || %1::text || E'\\n'")
                    : QStringLiteral("octet_length(convert_to(%1, 'UTF8')) || ':' || %1 || E'\\n'"))
        .arg(column);
}

QString CanonicalBytes(const QString& joined) { return QStringLiteral("convert_to(%1, 'UTF8')").arg(joined); }

// libpq's connection under Qt's, when it waits idle inside this transaction; null otherwise (a
// Qt query still holding the connection).
PGconn* PgHandle(QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    // Qt names it by libpq's struct.
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    PGconn* pg = *static_cast<PGconn* const*>(handle.constData());
    return pg && PQtransactionStatus(pg) == PQTRANS_INTRANS ? pg : nullptr;
}

// An import's records by COPY; fewer rows, and a connection without libpq's handle, by Qt's inserts.
class PostgresRecordInserter final : public RecordInserter {
public:
    explicit PostgresRecordInserter(ArchiveDatabase& db) : db_(db), qt_(db) {}

    bool Insert(std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
                int& inserted) override {
        if (fresh.size() >= static_cast<std::size_t>(kRowsPerInsert)) {
            if (PGconn* pg = PgHandle(db_.Connection())) {
                bool copied = false;
                if (!Copy(pg, log, download, fresh, copied)) return false;
                if (copied) {
                    inserted += static_cast<int>(fresh.size());
                    return true;
                }
            }
        }
        return qt_.Insert(log, download, fresh, inserted);
    }

private:
    // The server's error as the Qt driver would give it, its SQLSTATE as the native code.
    bool Fail(PGconn* pg, const PGresult* r) {
        const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        const char* message = r ? PQresultErrorMessage(r) : PQerrorMessage(pg);
        return db_.Fail(QSqlError(QStringLiteral("archive"),
                                  QString::fromUtf8(message && *message ? message : PQerrorMessage(pg)),
                                  QSqlError::StatementError, QString::fromLatin1(state ? state : "")));
    }

    bool Exec(PGconn* pg, const char* sql) {
        PGresult* r = PQexec(pg, sql);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || Fail(pg, r);
        PQclear(r);
        return ok;
    }

    // `fresh` into the record table by COPY. A row another writer archived since they were looked
    // up refuses the whole COPY: then nothing of it stays and `copied` is false, for the inserts
    // that skip such rows one by one.
    bool Copy(PGconn* pg, std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
              bool& copied) {
        copied = false;
        if (!Exec(pg, "SAVEPOINT quorvex_copy")) return false;
        PGresult* start = PQexec(pg,
                                 "COPY record (log_id, number, download_id, raw, temperature, humidity, moment_s) "
                                 "FROM STDIN");
        const bool copying = PQresultStatus(start) == PGRES_COPY_IN;
        if (!copying) Fail(pg, start);
        PQclear(start);
        if (!copying) return false;
        QByteArray text;
        text.reserve(kCopyChunk + 256);
        char number[24];
        const auto put = [&](std::int64_t value) {
            const auto end = std::to_chars(number, number + sizeof number, value).ptr;
            text.append(number, static_cast<qsizetype>(end - number));
        };
        const QByteArray head = QByteArray::number(static_cast<qint64>(log)) + '\t';
        const QByteArray tail = '\t' + QByteArray::number(static_cast<qint64>(download)) + '\t';
        bool sent = true;
        for (const RecordRow* r : fresh) {
            text += head;
            put(r->number);
            text += tail;
            if (r->raw.isNull()) {
                text += "\\N";
            } else {
                // bytea's hex form, its backslash doubled for COPY's text.
                text += "\\\\x";
                text += r->raw.toByteArray().toHex();
            }
            text += '\t';
            put(r->temperature);
            text += '\t';
            if (r->humidity.isNull())
                text += "\\N";
            else
                put(r->humidity.toInt());
            text += '\t';
            if (r->moment.isNull())
                text += "\\N";
            else
                put(r->moment.toLongLong());
            text += '\n';
            if (text.size() >= kCopyChunk) {
                sent = PQputCopyData(pg, text.constData(), static_cast<int>(text.size())) == 1;
                text.clear();
                if (!sent) break;
            }
        }
        if (sent && !text.isEmpty()) sent = PQputCopyData(pg, text.constData(), static_cast<int>(text.size())) == 1;
        if (PQputCopyEnd(pg, sent ? nullptr : "not sent") != 1) return Fail(pg, nullptr);
        bool done = false, conflict = false, failed = false;
        while (PGresult* r = PQgetResult(pg)) {
            if (PQresultStatus(r) == PGRES_COMMAND_OK) {
                done = true;
            } else if (!failed && !conflict) {
                const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
                conflict = state && qstrcmp(state, "23505") == 0;  // unique violation
                if (!conflict) failed = !Fail(pg, r);
            }
            PQclear(r);
        }
        if (failed || (!done && !conflict)) return failed ? false : Fail(pg, nullptr);
        if (conflict)
            return Exec(pg, "ROLLBACK TO SAVEPOINT quorvex_copy") && Exec(pg, "RELEASE SAVEPOINT quorvex_copy");
        copied = true;
        return Exec(pg, "RELEASE SAVEPOINT quorvex_copy");
    }

    ArchiveDatabase& db_;
    QtRecordInserter qt_;
};

std::unique_ptr<RecordInserter> MakeInserter(ArchiveDatabase& db) {
    return std::make_unique<PostgresRecordInserter>(db);
}

const SqlDialect kPostgres{
    .kind = ArchiveDialect::Postgres,
    .driver = "QPSQL",
    .driverPackage = "libqt6sql6-psql",
    .begin = "BEGIN",
    .identityKey = "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY",
    .numberedKey = "BIGINT PRIMARY KEY",
    .bytes = "BYTEA",
    .clustered = "",
    // Two programs opening a new archive at once create it once.
    .schemaLock = "SELECT pg_advisory_xact_lock(775324601)",
    .hasSchema = "SELECT to_regclass('schema_version') IS NOT NULL",
    .foreignWithoutSchema = false,
    // The head row stays locked until the transaction ends, so a second appender waits and then
    // builds on this entry.
    .lockRow = " FOR UPDATE",
    .prepareLocation = PrepareLocation,
    .configure = Configure,
    .sessionSettings = SessionSettings,
    .fault = Fault,
    .canonicalField = CanonicalField,
    .canonicalBytes = CanonicalBytes,
    .readRecordRows = ReadRecordRowsWithQt,
    .recordInserter = MakeInserter,
};

}  // namespace

const SqlDialect& PostgresDialect() { return kPostgres; }

}  // namespace quorvex
