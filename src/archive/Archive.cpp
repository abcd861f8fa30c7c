#include "archive/Archive.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>

#include <atomic>
#include <charconv>
#include <functional>
#include <limits>

#include <libpq-fe.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include "archive/ArchiveRegisters.h"
#include "archive/ArchiveSchema.h"
#include "archive/ChangeLogTable.h"
#include "logs/RecordsFingerprint.h"
#include "logs/ResultsReader.h"

namespace quorvex {

namespace {

// Rows one insert statement carries: fewer statements, and far below either server's limit of
// bound values.
constexpr int kRowsPerInsert = 256;
constexpr int kColumnsPerRow = 7;
// Bytes of COPY text handed to the server at a time.
constexpr int kCopyChunk = 1 << 20;

const QString kOutcomes[] = {QStringLiteral("complete"), QStringLiteral("short"), QStringLiteral("stopped"),
                             QStringLiteral("imported")};

ArchiveOutcome OutcomeFromName(const QString& name) {
    for (int i = 0; i < 4; ++i)
        if (kOutcomes[i] == name) return static_cast<ArchiveOutcome>(i);
    return ArchiveOutcome::Stopped;
}

QString MomentText(const QDateTime& utc) { return utc.toUTC().toString(Qt::ISODateWithMs); }
QDateTime MomentFromText(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.toUTC();
}

// An empty text as a text, not as NULL (Qt binds a null QString as NULL).
QVariant Text(const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); }

int Tenths(float value) { return qRound(value * 10.0f); }

// The rows of a query of (number, raw, temperature, humidity, moment), through Qt.
struct QtRows {
    QSqlQuery& q;
    bool Next() { return q.next(); }
    int Number() const { return q.value(0).toInt(); }
    QByteArray Raw() const { return q.value(1).toByteArray(); }
    int Temperature() const { return q.value(2).toInt(); }
    bool HasHumidity() const { return !q.value(3).isNull(); }
    int Humidity() const { return q.value(3).toInt(); }
    bool HasMoment() const { return !q.value(4).isNull(); }
    qint64 MomentS() const { return q.value(4).toLongLong(); }
};

// The same rows through SQLite's own interface: a year of records is read without a QVariant per
// value. Stepping stops at the first failure, which `failed` keeps.
struct LiteRows {
    sqlite3_stmt* q;
    bool failed = false;
    bool Next() {
        const int step = sqlite3_step(q);
        failed = step != SQLITE_ROW && step != SQLITE_DONE;
        return step == SQLITE_ROW;
    }
    int Number() const { return sqlite3_column_int(q, 0); }
    QByteArray Raw() const {
        const void* bytes = sqlite3_column_blob(q, 1);
        const int size = sqlite3_column_bytes(q, 1);
        return bytes ? QByteArray::fromRawData(static_cast<const char*>(bytes), size) : QByteArray();
    }
    int Temperature() const { return sqlite3_column_int(q, 2); }
    bool HasHumidity() const { return sqlite3_column_type(q, 3) != SQLITE_NULL; }
    int Humidity() const { return sqlite3_column_int(q, 3); }
    bool HasMoment() const { return sqlite3_column_type(q, 4) != SQLITE_NULL; }
    qint64 MomentS() const { return sqlite3_column_int64(q, 4); }
};

// Appends the rows of a query of (number, raw, temperature, humidity, moment) to `into`: a
// logger's record from its raw bytes at its place in the log, a file's from its values. Gives
// the first record that cannot be as the program stored it (0: none): in a logger's log one
// without its 4 bytes, with a moment of its own or with values other than its bytes decode to;
// with `expected` (the first number the rows must hold, one after another), one missing.
template <typename Rows>
int AppendRecordRows(Rows& q, qint64 start, int interval, ResultsStore& into, bool imported = true, int expected = -1) {
    bool humidity = false;
    int odd = 0;
    const auto note = [&](int number) {
        if (odd == 0) odd = number;
    };
    while (q.Next()) {
        const int number = q.Number();
        if (expected >= 0 && number != expected) note(expected);
        if (expected >= 0) expected = number + 1;
        const QByteArray raw = q.Raw();
        if (raw.size() == kLogRecordSize) {
            const DecodedRecord r =
                DecodeLogRecord(LogRecordValue(reinterpret_cast<const std::uint8_t*>(raw.constData())));
            if (q.Temperature() != Tenths(r.temperature) || q.Humidity() != Tenths(r.humidity) || q.HasMoment())
                note(number);
            into.Append(r.temperature, r.humidity, MomentFromSeconds(start + (number - 1) * std::int64_t{interval}));
        } else {
            if (!imported) note(number);
            humidity = humidity || q.HasHumidity();
            into.Append(static_cast<float>(q.Temperature()) / 10.0f,
                        q.HasHumidity() ? static_cast<float>(q.Humidity()) / 10.0f : 0.0f,
                        MomentFromSeconds(q.MomentS()));
        }
    }
    into.humidityInFile = humidity && !into.HasHumidity();
    return odd;
}

QString UserName() {
    if (const passwd* pw = ::getpwuid(::geteuid())) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// One record as the tables keep it.
struct Row {
    int number = 0;
    QVariant raw;  // 4 bytes, or null for a record from a file
    int temperature = 0;
    QVariant humidity;  // tenths, or null
    QVariant moment;    // seconds, or null for a logger record

    bool SameAs(const Row& o) const {
        if (!raw.isNull() || !o.raw.isNull()) return raw.toByteArray() == o.raw.toByteArray();
        return temperature == o.temperature && humidity == o.humidity && moment == o.moment;
    }
};

std::atomic<int> connectionCounter{0};

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
    f.user = UserName();
    f.program = program;
    f.link = link;
    return f;
}

struct Archive::Impl {
    ArchiveLocation location;
    ArchiveDialect dialect = ArchiveDialect::Sqlite;
    QString connection;
    QSqlDatabase db;
    int busyTimeoutMs = 0;
    bool existingOnly = false;  // a reader: nothing is created
    ArchiveText error;
    // Per download: its log, and the numbers of records that differed, by the download that
    // archived them first.
    QHash<std::int64_t, std::int64_t> logOf;
    QHash<std::int64_t, QHash<std::int64_t, QSet<int>>> differing;
    std::optional<QSqlQuery> insertMany, insertOne;
    // The same inserts on SQLite's own interface, on the connection Qt holds: a million records
    // go in without a QVariant per value.
    sqlite3_stmt* liteMany = nullptr;
    sqlite3_stmt* liteOne = nullptr;

    ~Impl() {
        insertMany.reset();
        insertOne.reset();
        sqlite3_finalize(liteMany);
        sqlite3_finalize(liteOne);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
    }

    bool Lite() const { return dialect == ArchiveDialect::Sqlite; }

    // The numbered message for a failure of the database.
    bool Fail(const QSqlError& e) {
        const QString where = location.Display();
        const QString reason = e.text().trimmed();
        if (Lite()) {
            const int code = e.nativeErrorCode().toInt() & 0xFF;
            if (code == 5 || code == 6)  // busy, locked
                error = {QStringLiteral("[2303]Archiwum %1 jest zajęte przez inny program dłużej niż %2 s"),
                         {where, QString::number(busyTimeoutMs / 1000.0)}};
            else if (code == 11 || code == 26)  // corrupt, not a database
                error = {QStringLiteral("[2302]Plik %1 nie jest archiwum albo jest uszkodzony"), {where}};
            else if (code == 13)  // full
                error = {QStringLiteral("[2304]Brak miejsca na dysku dla archiwum %1"), {where}};
            else
                error = {QStringLiteral("[2300]Archiwum %1 jest niedostępne: %2"), {where, reason}};
        } else {
            const QString state = e.nativeErrorCode();
            if (state == QLatin1String("55P03"))
                error = {QStringLiteral("[2303]Archiwum %1 jest zajęte przez inny program dłużej niż %2 s"),
                         {where, QString::number(busyTimeoutMs / 1000.0)}};
            else if (state == QLatin1String("53100"))
                error = {QStringLiteral("[2304]Brak miejsca na dysku dla archiwum %1"), {where}};
            else
                error = {QStringLiteral("[2300]Archiwum %1 jest niedostępne: %2"), {where, reason}};
        }
        return false;
    }
    bool Fail(const QString& reason) {
        error = {QStringLiteral("[2300]Archiwum %1 jest niedostępne: %2"), {location.Display(), reason}};
        return false;
    }

    bool Exec(QSqlQuery& q) { return q.exec() || Fail(q.lastError()); }
    bool Exec(const QString& sql) {
        QSqlQuery q(db);
        return q.exec(sql) || Fail(q.lastError());
    }
    bool Prepare(QSqlQuery& q, const QString& sql) { return q.prepare(sql) || Fail(q.lastError()); }

    // One write transaction around `body`: SQLite takes its write lock at once (a reader turning
    // writer halfway would be refused without waiting), and the whole is undone on a failure.
    bool Write(const std::function<bool()>& body) {
        if (!Exec(Lite() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"))) return false;
        if (body() && Exec(QStringLiteral("COMMIT"))) return true;
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }

    std::optional<std::int64_t> SingleId(QSqlQuery& q) {
        q.setForwardOnly(true);
        if (!Exec(q)) return std::nullopt;
        if (!q.next()) return std::int64_t{0};
        return q.value(0).toLongLong();
    }

    std::optional<std::int64_t> LoggerId(const QString& serial, bool create) {
        if (create) {
            QSqlQuery insert(db);
            if (!Prepare(insert, QStringLiteral("INSERT INTO logger (serial) VALUES (?) ON CONFLICT DO NOTHING")))
                return std::nullopt;
            insert.addBindValue(Text(serial));
            if (!Exec(insert)) return std::nullopt;
        }
        QSqlQuery q(db);
        if (!Prepare(q, QStringLiteral("SELECT id FROM logger WHERE serial = ?"))) return std::nullopt;
        q.addBindValue(Text(serial));
        return SingleId(q);
    }

    std::optional<std::int64_t> LogId(const ArchiveLogKey& key, const QString& sourceFile, bool create) {
        const auto logger = LoggerId(key.serial, create);
        if (!logger || *logger == 0) return logger;
        if (create) {
            QSqlQuery insert(db);
            if (!Prepare(insert, QStringLiteral("INSERT INTO log (logger_id, start_s, interval_s, source_file) "
                                                "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING")))
                return std::nullopt;
            insert.addBindValue(static_cast<qint64>(*logger));
            insert.addBindValue(static_cast<qint64>(key.startSeconds));
            insert.addBindValue(key.intervalSeconds);
            insert.addBindValue(Text(sourceFile));
            if (!Exec(insert)) return std::nullopt;
        }
        QSqlQuery q(db);
        if (!Prepare(q, QStringLiteral("SELECT id FROM log WHERE logger_id = ? AND start_s = ? AND interval_s = ? "
                                       "AND source_file = ?")))
            return std::nullopt;
        q.addBindValue(static_cast<qint64>(*logger));
        q.addBindValue(static_cast<qint64>(key.startSeconds));
        q.addBindValue(key.intervalSeconds);
        q.addBindValue(Text(sourceFile));
        return SingleId(q);
    }

    std::optional<std::int64_t> InsertDownload(std::int64_t log, const ArchiveDownloadFacts& f,
                                               ArchiveOutcome outcome) {
        QSqlQuery q(db);
        if (!Prepare(q, QStringLiteral("INSERT INTO download (log_id, moment, host, username, program, link, "
                                       "logger_name, logger_type, announced, first_number, last_number, outcome, "
                                       "registers) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0, -1, ?, ?) RETURNING id")))
            return std::nullopt;
        for (const QVariant& v :
             {QVariant(static_cast<qint64>(log)), QVariant(MomentText(f.moment)), Text(f.host), Text(f.user),
              Text(f.program), Text(f.link), Text(f.loggerName), Text(f.loggerType), QVariant(f.announced),
              QVariant(OutcomeName(outcome)),
              f.registers.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(f.registers)})
            q.addBindValue(v);
        const auto id = SingleId(q);
        if (id && *id == 0) return std::nullopt;
        if (id) logOf.insert(*id, log);
        return id;
    }

    static QString InsertSql(int rows) {
        const QString one = QStringLiteral("(?, ?, ?, ?, ?, ?, ?)");
        QStringList many;
        for (int i = 0; i < rows; ++i) many << one;
        return QStringLiteral(
                   "INSERT INTO record (log_id, number, download_id, raw, temperature, humidity, moment_s) VALUES ") +
               many.join(u',') + QStringLiteral(" ON CONFLICT DO NOTHING");
    }

    bool PrepareInserts() {
        if (insertMany) return true;
        QSqlQuery m(db), s(db);
        if (!Prepare(m, InsertSql(kRowsPerInsert)) || !Prepare(s, InsertSql(1))) return false;
        insertMany = std::move(m);
        insertOne = std::move(s);
        return true;
    }

    // SQLite's handle under the Qt connection; null for PostgreSQL.
    sqlite3* LiteHandle() const {
        if (!Lite()) return nullptr;
        const QVariant handle = db.driver()->handle();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
        return *static_cast<sqlite3* const*>(handle.constData());
    }

    bool FailLite(sqlite3* lite) {
        return Fail(QSqlError(QStringLiteral("archive"), QString::fromUtf8(sqlite3_errmsg(lite)),
                              QSqlError::StatementError, QString::number(sqlite3_extended_errcode(lite))));
    }

    // A query of record rows (AppendRecordRows) with its bound values, appended to `into`; on
    // SQLite through its own interface. `odd` as AppendRecordRows gives it.
    bool ReadRecordRows(const QString& sql, std::initializer_list<qint64> values, qint64 start, int interval,
                        ResultsStore& into, bool imported, int expected, int& odd) {
        if (sqlite3* lite = LiteHandle()) {
            const QByteArray text = sql.toUtf8();
            sqlite3_stmt* q = nullptr;
            if (sqlite3_prepare_v2(lite, text.constData(), static_cast<int>(text.size()), &q, nullptr) != SQLITE_OK)
                return FailLite(lite);
            int at = 0;
            for (const qint64 v : values) sqlite3_bind_int64(q, ++at, v);
            LiteRows rows{q};
            odd = AppendRecordRows(rows, start, interval, into, imported, expected);
            const bool ok = !rows.failed || FailLite(lite);
            sqlite3_finalize(q);
            return ok;
        }
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!Prepare(q, sql)) return false;
        for (const qint64 v : values) q.addBindValue(v);
        if (!Exec(q)) return false;
        QtRows rows{q};
        odd = AppendRecordRows(rows, start, interval, into, imported, expected);
        return true;
    }

    bool PrepareLite(sqlite3* lite, sqlite3_stmt*& statement, int rows) {
        if (statement) return true;
        const QByteArray sql = InsertSql(rows).toUtf8();
        return sqlite3_prepare_v3(lite, sql.constData(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                  &statement, nullptr) == SQLITE_OK ||
               FailLite(lite);
    }

    static void BindLite(sqlite3_stmt* q, int at, std::int64_t log, std::int64_t download, const Row& r) {
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

    // Inserts `fresh` (ON CONFLICT DO NOTHING) and counts the rows that went in.
    bool InsertRows(std::int64_t log, std::int64_t download, const std::vector<const Row*>& fresh, int& inserted) {
        std::size_t i = 0;
        if (sqlite3* lite = LiteHandle()) {
            if (!PrepareLite(lite, liteMany, kRowsPerInsert) || !PrepareLite(lite, liteOne, 1)) return false;
            const auto step = [&](sqlite3_stmt* q) {
                const int done = sqlite3_step(q);
                sqlite3_reset(q);
                if (done != SQLITE_DONE) return FailLite(lite);
                inserted += sqlite3_changes(lite);
                return true;
            };
            for (; i + kRowsPerInsert <= fresh.size(); i += kRowsPerInsert) {
                for (int k = 0; k < kRowsPerInsert; ++k)
                    BindLite(liteMany, k * kColumnsPerRow, log, download, *fresh[i + static_cast<std::size_t>(k)]);
                if (!step(liteMany)) return false;
            }
            for (; i < fresh.size(); ++i) {
                BindLite(liteOne, 0, log, download, *fresh[i]);
                if (!step(liteOne)) return false;
            }
            return true;
        }
        if (fresh.size() >= static_cast<std::size_t>(kRowsPerInsert)) {
            if (PGconn* pg = PgHandle()) {
                bool copied = false;
                if (!CopyRows(pg, log, download, fresh, copied)) return false;
                if (copied) {
                    inserted += static_cast<int>(fresh.size());
                    return true;
                }
            }
        }
        if (!PrepareInserts()) return false;
        for (; i + kRowsPerInsert <= fresh.size(); i += kRowsPerInsert) {
            for (int k = 0; k < kRowsPerInsert; ++k)
                BindRow(*insertMany, k * kColumnsPerRow, log, download, *fresh[i + static_cast<std::size_t>(k)]);
            if (!Exec(*insertMany)) return false;
            inserted += insertMany->numRowsAffected();
        }
        for (; i < fresh.size(); ++i) {
            BindRow(*insertOne, 0, log, download, *fresh[i]);
            if (!Exec(*insertOne)) return false;
            inserted += insertOne->numRowsAffected();
        }
        return true;
    }

    // PostgreSQL's handle under the Qt connection, when it waits idle inside this transaction;
    // null otherwise (SQLite, or a Qt query still holding the connection).
    PGconn* PgHandle() const {
        if (Lite()) return nullptr;
        const QVariant handle = db.driver()->handle();
        // Qt names it by libpq's struct.
        if (!handle.isValid() ||
            (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
            return nullptr;
        PGconn* pg = *static_cast<PGconn* const*>(handle.constData());
        return pg && PQtransactionStatus(pg) == PQTRANS_INTRANS ? pg : nullptr;
    }

    // The server's error as the Qt driver would give it, its SQLSTATE as the native code.
    bool FailPg(PGconn* pg, const PGresult* r) {
        const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        const char* message = r ? PQresultErrorMessage(r) : PQerrorMessage(pg);
        return Fail(QSqlError(QStringLiteral("archive"),
                              QString::fromUtf8(message && *message ? message : PQerrorMessage(pg)),
                              QSqlError::StatementError, QString::fromLatin1(state ? state : "")));
    }

    bool ExecPg(PGconn* pg, const char* sql) {
        PGresult* r = PQexec(pg, sql);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || FailPg(pg, r);
        PQclear(r);
        return ok;
    }

    // `fresh` into the record table by COPY, the server's own bulk path. A row another writer
    // archived since they were looked up refuses the whole COPY: then nothing of it stays and
    // `copied` is false, for the inserts that skip such rows one by one.
    bool CopyRows(PGconn* pg, std::int64_t log, std::int64_t download, const std::vector<const Row*>& fresh,
                  bool& copied) {
        copied = false;
        if (!ExecPg(pg, "SAVEPOINT quorvex_copy")) return false;
        PGresult* start = PQexec(pg,
                                 "COPY record (log_id, number, download_id, raw, temperature, humidity, moment_s) "
                                 "FROM STDIN");
        const bool copying = PQresultStatus(start) == PGRES_COPY_IN;
        if (!copying) FailPg(pg, start);
        PQclear(start);
        if (!copying) return false;
        QByteArray text;
        text.reserve(kCopyChunk + 256);
        char number[24];
        const auto put = [&](std::int64_t value) {
            const auto end = std::to_chars(number, number + sizeof number, value).ptr;
            text.append(number, static_cast<qsizetype>(end - number));
        };
        const QByteArray head = [&] {
            QByteArray h;
            h.setNum(static_cast<qint64>(log));
            return h + '\t';
        }();
        QByteArray tail;
        tail.setNum(static_cast<qint64>(download));
        tail = '\t' + tail + '\t';
        bool sent = true;
        for (const Row* r : fresh) {
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
        if (PQputCopyEnd(pg, sent ? nullptr : "not sent") != 1) return FailPg(pg, nullptr);
        bool done = false, conflict = false, failed = false;
        while (PGresult* r = PQgetResult(pg)) {
            if (PQresultStatus(r) == PGRES_COMMAND_OK) {
                done = true;
            } else if (!failed && !conflict) {
                const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
                conflict = state && qstrcmp(state, "23505") == 0;  // unique violation
                if (!conflict) failed = !FailPg(pg, r);
            }
            PQclear(r);
        }
        if (failed || (!done && !conflict)) return failed ? false : FailPg(pg, nullptr);
        if (conflict)
            return ExecPg(pg, "ROLLBACK TO SAVEPOINT quorvex_copy") && ExecPg(pg, "RELEASE SAVEPOINT quorvex_copy");
        copied = true;
        return ExecPg(pg, "RELEASE SAVEPOINT quorvex_copy");
    }

    bool BindRow(QSqlQuery& q, int at, std::int64_t log, std::int64_t download, const Row& r) {
        q.bindValue(at + 0, static_cast<qint64>(log));
        q.bindValue(at + 1, r.number);
        q.bindValue(at + 2, static_cast<qint64>(download));
        q.bindValue(at + 3, r.raw);
        q.bindValue(at + 4, r.temperature);
        q.bindValue(at + 5, r.humidity);
        q.bindValue(at + 6, r.moment);
        return true;
    }

    // The archived records log/[first, last] by number.
    std::optional<QHash<int, std::pair<Row, std::int64_t>>> Archived(std::int64_t log, int first, int last) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!Prepare(q, QStringLiteral("SELECT number, raw, temperature, humidity, moment_s, download_id FROM record "
                                       "WHERE log_id = ? AND number BETWEEN ? AND ?")))
            return std::nullopt;
        q.addBindValue(static_cast<qint64>(log));
        q.addBindValue(first);
        q.addBindValue(last);
        if (!Exec(q)) return std::nullopt;
        QHash<int, std::pair<Row, std::int64_t>> out;
        while (q.next()) {
            Row r;
            r.number = q.value(0).toInt();
            r.raw = q.value(1);
            r.temperature = q.value(2).toInt();
            r.humidity = q.value(3);
            if (!r.humidity.isNull()) r.humidity = r.humidity.toInt();
            r.moment = q.value(4);
            if (!r.moment.isNull()) r.moment = q.value(4).toLongLong();
            out.insert(r.number, {r, q.value(5).toLongLong()});
        }
        return out;
    }

    // Inside a write transaction: the rows that are new go in, those that differ from the
    // archived ones go beside them; a row another writer brought meanwhile counts as archived.
    // `allNew`, when asked: whether every row went in as given (none archived before, none beside).
    bool AddRows(std::int64_t log, std::int64_t download, const std::vector<Row>& rows, bool* allNew = nullptr) {
        if (allNew) *allNew = false;
        if (rows.empty()) return true;
        const int first = rows.front().number, last = rows.back().number;
        auto archived = Archived(log, first, last);
        if (!archived) return false;
        std::vector<const Row*> fresh;
        std::vector<const Row*> variants;
        for (const Row& r : rows) {
            const auto it = archived->constFind(r.number);
            if (it == archived->cend())
                fresh.push_back(&r);
            else if (!it->first.SameAs(r))
                variants.push_back(&r);
        }
        int inserted = 0;
        if (!InsertRows(log, download, fresh, inserted)) return false;
        if (allNew) *allNew = variants.empty() && inserted == static_cast<int>(rows.size());
        if (inserted < static_cast<int>(fresh.size())) {
            // Another writer archived some of them first: compare with what it kept.
            archived = Archived(log, first, last);
            if (!archived) return false;
            for (const Row* r : fresh) {
                const auto it = archived->constFind(r->number);
                if (it != archived->cend() && it->second != download && !it->first.SameAs(*r)) variants.push_back(r);
            }
        }
        if (variants.empty()) return true;
        QSqlQuery v(db);
        if (!Prepare(v, QStringLiteral("INSERT INTO record_variant (log_id, number, download_id, raw, temperature, "
                                       "humidity, moment_s) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING")))
            return false;
        auto& counts = differing[download];
        for (const Row* r : variants) {
            BindRow(v, 0, log, download, *r);
            if (!Exec(v)) return false;
            counts[archived->value(r->number).second].insert(r->number);
        }
        return true;
    }

    bool ExtendRange(std::int64_t download, int first, int last) {
        QSqlQuery q(db);
        if (!Prepare(q, QStringLiteral("UPDATE download SET first_number = CASE WHEN last_number < first_number OR ? < "
                                       "first_number THEN ? ELSE first_number END, last_number = CASE WHEN ? > "
                                       "last_number THEN ? ELSE last_number END WHERE id = ?")))
            return false;
        q.addBindValue(first);
        q.addBindValue(first);
        q.addBindValue(last);
        q.addBindValue(last);
        q.addBindValue(static_cast<qint64>(download));
        return Exec(q);
    }

    bool Append(ChangeEntry& entry) {
        const QSqlError e = AppendChangeRow(db, dialect, entry);
        return e.type() == QSqlError::NoError || Fail(e);
    }

    // The records a download brought, first…last of its log, each as this download brought it
    // (its own variant where it had one). `odd`, when asked: the first of them that cannot be as
    // the program stored it (AppendRecordRows), or that is missing; 0 for none.
    bool DownloadRecords(std::int64_t download, int first, int last, ResultsStore& into, int* odd = nullptr) {
        into.Clear();
        if (odd) *odd = 0;
        QSqlQuery head(db);
        head.setForwardOnly(true);
        if (!Prepare(head, QStringLiteral("SELECT l.id, l.start_s, l.interval_s, d.logger_type, l.source_file "
                                          "FROM download d JOIN log l ON d.log_id = l.id WHERE d.id = ?")))
            return false;
        head.addBindValue(static_cast<qint64>(download));
        if (!Exec(head)) return false;
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
        if (!ReadRecordRows(QStringLiteral("SELECT r.number, COALESCE(v.raw, r.raw), COALESCE(v.temperature, "
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

    // The first record of `log` that is no longer what the download that brought it archived,
    // judged by the fingerprints the change log keeps of every closed download and import, and
    // by each logger record's own bytes (0: none). Where only a fingerprint tells, the first
    // record of the download it covers.
    std::optional<int> ChangedRecord(std::int64_t log) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!Prepare(q, QStringLiteral("SELECT c.download_id, c.first_record, c.last_record, c.fingerprint "
                                       "FROM change_log c JOIN download d ON d.id = c.download_id "
                                       "WHERE d.log_id = ? AND c.kind IN ('download', 'import') ORDER BY c.seq")))
            return std::nullopt;
        q.addBindValue(static_cast<qint64>(log));
        if (!Exec(q)) return std::nullopt;
        struct Covered {
            std::int64_t download;
            int first, last;
            QString fingerprint;
        };
        QList<Covered> entries;
        while (q.next())
            entries.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toString()});
        q.finish();
        int changed = 0;
        for (const Covered& e : entries) {
            ResultsStore records;
            int odd = 0;
            if (!DownloadRecords(e.download, e.first, e.last, records, &odd)) return std::nullopt;
            if (odd == 0 && RecordsFingerprint(records) != e.fingerprint) odd = qMax(1, e.first);
            if (odd > 0 && (changed == 0 || odd < changed)) changed = odd;
        }
        return changed;
    }

    // Inside the write transaction that closes a download or imports a file: its entry, with
    // the fingerprint of what it brought.
    // `brought`: the records as the tables now hold them, when the caller knows them already.
    bool AppendDownload(std::int64_t download, const QString& note = {}, const ResultsStore* brought = nullptr) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!Prepare(q, QStringLiteral("SELECT g.serial, d.host, d.username, d.program, d.link, d.first_number, "
                                       "d.last_number, d.outcome FROM download d JOIN log l ON d.log_id = l.id "
                                       "JOIN logger g ON l.logger_id = g.id WHERE d.id = ?")))
            return false;
        q.addBindValue(static_cast<qint64>(download));
        if (!Exec(q)) return false;
        if (!q.next()) return Fail(QStringLiteral("no such download"));
        const bool imported = q.value(7).toString() == OutcomeName(ArchiveOutcome::Imported);
        ChangeEntry e = LocalChange(imported ? ChangeKind::Import : ChangeKind::Download, q.value(3).toString(),
                                    q.value(0).toString());
        e.host = q.value(1).toString();
        e.user = q.value(2).toString();
        e.subject = q.value(4).toString();
        e.download = download;
        e.firstRecord = q.value(5).toInt();
        e.lastRecord = q.value(6).toInt();
        e.details = q.value(7).toString();
        if (!note.isEmpty()) e.details += QStringLiteral("; ") + note;
        q.finish();
        if (brought) {
            e.fingerprint = RecordsFingerprint(*brought);
        } else {
            ResultsStore records;
            if (!DownloadRecords(download, e.firstRecord, e.lastRecord, records)) return false;
            e.fingerprint = RecordsFingerprint(records);
        }
        return Append(e);
    }

    bool OpenConnection() {
        connection = QStringLiteral("quorvex-archive-%1").arg(++connectionCounter);
        if (Lite()) {
            const QFileInfo file(location.path);
            if (existingOnly && !file.exists()) return Missing();
            if (!QDir().mkpath(file.absolutePath()) || !QFileInfo(file.absolutePath()).isDir())
                return Fail(QStringLiteral("cannot create the folder %1").arg(file.absolutePath()));
            if (file.exists() && !file.isFile()) return Fail(QStringLiteral("not a file"));
        }
        const QString driver = Lite() ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
        db = QSqlDatabase::addDatabase(driver, connection);
        if (!db.isValid())
            return Fail(
                QStringLiteral("the Qt SQL driver %1 is not installed (%2)")
                    .arg(driver, Lite() ? QStringLiteral("libqt6sql6-sqlite") : QStringLiteral("libqt6sql6-psql")));
        if (Lite()) {
            db.setDatabaseName(location.path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        } else {
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
        if (!db.open()) return Fail(db.lastError());
        if (existingOnly) {
            // Before anything below could write to it.
            const auto has = HasSchema();
            if (!has) return false;
            // A file there already that the program did not make is none of its archives.
            if (!*has && Lite()) {
                error = {QStringLiteral("[2302]Plik %1 nie jest archiwum albo jest uszkodzony"), {location.Display()}};
                return false;
            }
            if (!*has) return Missing();
        }
        if (Lite()) {
            QSqlQuery q(db);
            // Readers never wait for the writer; a commit survives the program being killed.
            if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()) return Fail(q.lastError());
            if (!Exec(QStringLiteral("PRAGMA synchronous=NORMAL"))) return false;
        } else {
            if (!Exec(QStringLiteral("SET lock_timeout = %1").arg(busyTimeoutMs))) return false;
            // "Already exists, skipping" is no news worth printing.
            if (!Exec(QStringLiteral("SET client_min_messages = warning"))) return false;
        }
        return true;
    }

    bool Missing() {
        error = {QStringLiteral("[2602]Archiwum %1 nie istnieje"), {location.Display()}};
        return false;
    }

    // Whether the archive's tables are there (a file or database the program made).
    std::optional<bool> HasSchema() {
        QSqlQuery q(db);
        const QString sql = Lite() ? QStringLiteral(
                                         "SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                         "name = 'schema_version'")
                                   : QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL");
        if (!q.exec(sql)) {
            Fail(q.lastError());
            return std::nullopt;
        }
        return q.next() && (Lite() || q.value(0).toBool());
    }

    bool CreateSchema() {
        return Write([&] {
            // Two programs opening a new archive at once create it once.
            if (!Lite() && !Exec(QStringLiteral("SELECT pg_advisory_xact_lock(775324601)"))) return false;
            if (!Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER PRIMARY KEY, "
                                     "applied TEXT NOT NULL)")))
                return false;
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version"))) return Fail(q.lastError());
            const int have = q.next() ? q.value(0).toInt() : 0;
            q.finish();
            if (have >= NewestSchemaVersion()) return true;
            for (const QString& sql : SchemaStatements(dialect, have))
                if (!Exec(sql)) return false;
            for (int v = have + 1; v <= NewestSchemaVersion(); ++v) {
                QSqlQuery add(db);
                if (!Prepare(add, QStringLiteral("INSERT INTO schema_version (version, applied) VALUES (?, ?) "
                                                 "ON CONFLICT DO NOTHING")))
                    return false;
                add.addBindValue(v);
                add.addBindValue(MomentText(QDateTime::currentDateTimeUtc()));
                if (!Exec(add)) return false;
            }
            return true;
        });
    }
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
    auto impl = std::make_unique<Impl>();
    impl->existingOnly = existingOnly;
    impl->location = location;
    impl->busyTimeoutMs = busyTimeoutMs;
    if (location.kind == ArchiveLocation::Kind::None) return nullptr;
    impl->dialect = location.kind == ArchiveLocation::Kind::Sqlite ? ArchiveDialect::Sqlite : ArchiveDialect::Postgres;
    if (!impl->OpenConnection() || !impl->CreateSchema()) {
        error = impl->error;
        return nullptr;
    }
    return std::unique_ptr<Archive>(new Archive(std::move(impl)));
}

const ArchiveLocation& Archive::Location() const { return d->location; }
const ArchiveText& Archive::LastError() const { return d->error; }
int Archive::SchemaVersion() { return NewestSchemaVersion(); }

std::optional<std::int64_t> Archive::BeginDownload(const ArchiveLogKey& key, const ArchiveDownloadFacts& facts) {
    std::optional<std::int64_t> id;
    d->Write([&] {
        const auto log = d->LogId(key, facts.sourceFile, true);
        if (!log || *log == 0) return false;
        id = d->InsertDownload(*log, facts,
                               facts.sourceFile.isEmpty() ? ArchiveOutcome::Stopped : ArchiveOutcome::Imported);
        return id.has_value();
    });
    return id;
}

bool Archive::AddRecords(std::int64_t download, int firstNumber, std::span<const std::uint32_t> raw) {
    const auto log = d->logOf.constFind(download);
    if (log == d->logOf.cend()) return d->Fail(QStringLiteral("no such download"));
    if (raw.empty()) return true;
    std::vector<Row> rows;
    rows.reserve(raw.size());
    int number = firstNumber;
    for (const std::uint32_t value : raw) {
        const DecodedRecord r = DecodeLogRecord(value);
        const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                               static_cast<char>(value >> 8), static_cast<char>(value)};
        rows.push_back({number++, QByteArray(bytes, 4), Tenths(r.temperature), Tenths(r.humidity), QVariant()});
    }
    const int last = number - 1;
    return d->Write([&] { return d->AddRows(*log, download, rows) && d->ExtendRange(download, firstNumber, last); });
}

bool Archive::EndDownload(std::int64_t download, ArchiveOutcome outcome) {
    return d->Write([&] {
        QSqlQuery q(d->db);
        if (!d->Prepare(q, QStringLiteral("UPDATE download SET outcome = ? WHERE id = ?"))) return false;
        q.addBindValue(OutcomeName(outcome));
        q.addBindValue(static_cast<qint64>(download));
        return d->Exec(q) && d->AppendDownload(download);
    });
}

QList<ArchiveDifference> Archive::Differences(std::int64_t download) const {
    QList<ArchiveDifference> out;
    const auto& byDownload = d->differing.value(download);
    for (auto it = byDownload.cbegin(); it != byDownload.cend(); ++it) {
        QSqlQuery q(d->db);
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
    ResultsStore store;
    const ReadResultsOutcome read = ReadResultsFile(path, store);
    if (!read.ok) {
        d->error = {read.errorText, {}};
        return std::nullopt;
    }
    facts.sourceFile = QFileInfo(path).fileName();
    facts.link = QFileInfo(path).absoluteFilePath();
    facts.loggerName = store.loggerName;
    facts.loggerType = store.loggerType;
    facts.announced = store.Count();
    const ArchiveLogKey key{store.serialNumber, store.IsEmpty() ? 0 : MomentSeconds(store.At(0).time),
                            store.intervalSeconds};
    const bool humidity = store.HasHumidity();
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(store.Count()));
    int number = 1;
    store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
        rows.push_back({number++, QVariant(), Tenths(r.temperature),
                        humidity ? QVariant(Tenths(r.humidity)) : QVariant(),
                        QVariant(static_cast<qint64>(MomentSeconds(r.time)))});
    });
    // The whole file or nothing of it.
    const bool ok = d->Write([&] {
        const auto log = d->LogId(key, facts.sourceFile, true);
        if (!log || *log == 0) return false;
        const auto download = d->InsertDownload(*log, facts, ArchiveOutcome::Imported);
        bool allNew = false;
        if (!download || !d->AddRows(*log, *download, rows, &allNew) ||
            (!rows.empty() && !d->ExtendRange(*download, 1, static_cast<int>(rows.size()))))
            return false;
        if (!allNew) return d->AppendDownload(*download, facts.note);
        // Every row went in as given: the records the tables now give back for this import are
        // these, without reading a million of them again.
        ResultsStore brought;
        brought.loggerType = facts.loggerType;
        brought.intervalSeconds = store.intervalSeconds;
        bool any = false;
        for (const Row& r : rows) {
            any = any || !r.humidity.isNull();
            brought.Append(static_cast<float>(r.temperature) / 10.0f,
                           r.humidity.isNull() ? 0.0f : static_cast<float>(r.humidity.toInt()) / 10.0f,
                           MomentFromSeconds(r.moment.toLongLong()));
        }
        brought.humidityInFile = any && !brought.HasHumidity();
        return d->AppendDownload(*download, facts.note, &brought);
    });
    if (!ok) return std::nullopt;
    return store.Count();
}

std::optional<QList<ArchiveLoggerRow>> Archive::Loggers() {
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT g.serial, COUNT(DISTINCT l.id), MAX(dl.moment) FROM logger g "
                               "JOIN log l ON l.logger_id = g.id JOIN download dl ON dl.log_id = l.id "
                               "GROUP BY g.serial ORDER BY g.serial"))) {
        d->Fail(q.lastError());
        return std::nullopt;
    }
    QList<ArchiveLoggerRow> out;
    while (q.next())
        out.push_back({q.value(0).toString(), {}, {}, MomentFromText(q.value(2).toString()), q.value(1).toInt()});
    q.finish();
    QSqlQuery latest(d->db);
    if (!d->Prepare(latest, QStringLiteral("SELECT dl.logger_name, dl.logger_type FROM download dl "
                                           "JOIN log l ON dl.log_id = l.id JOIN logger g ON l.logger_id = g.id "
                                           "WHERE g.serial = ? ORDER BY dl.moment DESC, dl.id DESC LIMIT 1")))
        return std::nullopt;
    for (ArchiveLoggerRow& row : out) {
        latest.addBindValue(Text(row.serial));
        if (!d->Exec(latest)) return std::nullopt;
        if (latest.next()) {
            row.name = latest.value(0).toString();
            row.type = latest.value(1).toString();
        }
        latest.finish();
    }
    return out;
}

std::optional<QList<ArchiveLogRow>> Archive::Logs(const QString& serial) {
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!d->Prepare(q, QStringLiteral("SELECT l.id, l.start_s, l.interval_s, l.source_file FROM log l "
                                      "JOIN logger g ON l.logger_id = g.id WHERE g.serial = ? "
                                      "ORDER BY l.start_s, l.source_file")))
        return std::nullopt;
    q.addBindValue(Text(serial));
    if (!d->Exec(q)) return std::nullopt;
    QList<ArchiveLogRow> out;
    while (q.next()) {
        ArchiveLogRow row;
        row.id = q.value(0).toLongLong();
        row.key = {serial, q.value(1).toLongLong(), q.value(2).toInt()};
        row.sourceFile = q.value(3).toString();
        out.push_back(row);
    }
    q.finish();
    QSqlQuery counts(d->db), spans(d->db), downloads(d->db);
    counts.setForwardOnly(true);
    spans.setForwardOnly(true);
    downloads.setForwardOnly(true);
    // A logger's log spans its lowest to its highest number, each found in the key's order at
    // once; only a file's log has moments of its own to look through. Counting walks the log's
    // keys and reads no record.
    if (!d->Prepare(counts, QStringLiteral("SELECT COUNT(*), (SELECT MIN(number) FROM record WHERE log_id = ?), "
                                           "(SELECT MAX(number) FROM record WHERE log_id = ?) "
                                           "FROM record WHERE log_id = ?")) ||
        !d->Prepare(spans, QStringLiteral("SELECT MIN(moment_s), MAX(moment_s) FROM record WHERE log_id = ?")) ||
        !d->Prepare(downloads, QStringLiteral("SELECT id, moment, host, username, program, link, first_number, "
                                              "last_number, outcome, announced, logger_name, logger_type "
                                              "FROM download WHERE log_id = ? ORDER BY id")))
        return std::nullopt;
    for (ArchiveLogRow& row : out) {
        for (int i = 0; i < 3; ++i) counts.addBindValue(static_cast<qint64>(row.id));
        if (!d->Exec(counts)) return std::nullopt;
        if (counts.next() && counts.value(0).toInt() > 0) {
            row.archived = counts.value(0).toInt();
            if (row.sourceFile.isEmpty()) {
                const auto at = [&](int n) {
                    return MomentFromSeconds(row.key.startSeconds + std::int64_t{n - 1} * row.key.intervalSeconds);
                };
                row.firstRecord = at(counts.value(1).toInt());
                row.lastRecord = at(counts.value(2).toInt());
            } else {
                spans.addBindValue(static_cast<qint64>(row.id));
                if (!d->Exec(spans)) return std::nullopt;
                if (spans.next()) {
                    row.firstRecord = MomentFromSeconds(spans.value(0).toLongLong());
                    row.lastRecord = MomentFromSeconds(spans.value(1).toLongLong());
                }
                spans.finish();
            }
        }
        counts.finish();
        downloads.addBindValue(static_cast<qint64>(row.id));
        if (!d->Exec(downloads)) return std::nullopt;
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

bool Archive::LoadRecords(std::int64_t log, ResultsStore& into, std::optional<Moment> from, std::optional<Moment> to) {
    into.Clear();
    QSqlQuery head(d->db);
    head.setForwardOnly(true);
    if (!d->Prepare(head, QStringLiteral("SELECT l.start_s, l.interval_s, l.source_file, g.serial FROM log l "
                                         "JOIN logger g ON l.logger_id = g.id WHERE l.id = ?")))
        return false;
    head.addBindValue(static_cast<qint64>(log));
    if (!d->Exec(head)) return false;
    if (!head.next()) return d->Fail(QStringLiteral("no such log"));
    const std::int64_t start = head.value(0).toLongLong();
    const int interval = head.value(1).toInt();
    const QString sourceFile = head.value(2).toString();
    const bool imported = !sourceFile.isEmpty();
    const QString serial = head.value(3).toString();
    head.finish();

    // Nothing changed behind the program's back goes out as if it were sound.
    const auto changed = d->ChangedRecord(log);
    if (!changed) return false;
    if (*changed > 0) {
        QString logText = FromMoment(MomentFromSeconds(start)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (imported) logText += QStringLiteral(" (%1)").arg(sourceFile);
        d->error = {QStringLiteral("[2600]Zarchiwizowane rekordy loggera %1 (log z %2) zmieniono poza programem, "
                                   "od rekordu %3; log jest uszkodzony i nie zostanie użyty"),
                    {serial.isEmpty() ? QStringLiteral("-") : serial, logText, QString::number(*changed)}};
        return false;
    }
    into.serialNumber = serial;
    into.archivedLogStart = MomentFromSeconds(start);

    QSqlQuery latest(d->db);
    latest.setForwardOnly(true);
    if (!d->Prepare(latest, QStringLiteral("SELECT logger_name, logger_type, registers FROM download WHERE log_id = ? "
                                           "ORDER BY id DESC LIMIT 1")))
        return false;
    latest.addBindValue(static_cast<qint64>(log));
    if (!d->Exec(latest)) return false;
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
    return d->ReadRecordRows(QStringLiteral("SELECT number, raw, temperature, humidity, moment_s FROM record "
                                            "WHERE log_id = ? AND ") +
                                 filter + QStringLiteral(" ORDER BY number"),
                             {log, low, high}, start, interval, into, true, -1, odd);
}

std::optional<int> Archive::ChangedRecord(std::int64_t log) { return d->ChangedRecord(log); }

std::optional<int> Archive::ArchivedThrough(const ArchiveLogKey& key) {
    const auto log = d->LogId(key, QString(), false);
    if (!log) return std::nullopt;
    if (*log == 0) return 0;
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    // The first record after which one is missing; none at all when record 1 is.
    if (!d->Prepare(q,
                    QStringLiteral("SELECT MIN(r.number) FROM record r WHERE r.log_id = ? AND NOT EXISTS "
                                   "(SELECT 1 FROM record s WHERE s.log_id = r.log_id AND s.number = r.number + 1)")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(*log));
    if (!d->Exec(q)) return std::nullopt;
    const int through = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    QSqlQuery one(d->db);
    if (!d->Prepare(one, QStringLiteral("SELECT 1 FROM record WHERE log_id = ? AND number = 1"))) return std::nullopt;
    one.addBindValue(static_cast<qint64>(*log));
    if (!d->Exec(one)) return std::nullopt;
    return one.next() ? through : 0;
}

std::optional<int> Archive::AddedBy(std::int64_t download) {
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    // Within the download's range, by the record table's key: the records it archived first.
    if (!d->Prepare(q, QStringLiteral("SELECT COUNT(*) FROM download d JOIN record r ON r.log_id = d.log_id AND "
                                      "r.number BETWEEN d.first_number AND d.last_number AND r.download_id = d.id "
                                      "WHERE d.id = ?")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(download));
    if (!d->Exec(q)) return std::nullopt;
    return q.next() ? q.value(0).toInt() : 0;
}

bool Archive::AppendChange(ChangeEntry& entry) {
    return d->Write([&] { return d->Append(entry); });
}

std::optional<QList<ChangeEntry>> Archive::Changes(const ChangeFilter& filter) {
    QList<ChangeEntry> out;
    const QSqlError e = ReadChangeRows(d->db, filter, out);
    if (e.type() != QSqlError::NoError) {
        d->Fail(e);
        return std::nullopt;
    }
    return out;
}

std::optional<QStringList> Archive::ChangeSerials() {
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!d->Prepare(q, QStringLiteral("SELECT DISTINCT serial FROM change_log WHERE serial <> '' ORDER BY serial")))
        return std::nullopt;
    if (!d->Exec(q)) return std::nullopt;
    QStringList serials;
    while (q.next()) serials << q.value(0).toString();
    return serials;
}

std::optional<ChangeLogCheck> Archive::CheckChanges() {
    ChangeLogCheck check;
    QList<ChangeEntry> downloads;
    const QSqlError e = CheckChangeChain(d->db, d->dialect, check, downloads);
    if (e.type() != QSqlError::NoError) {
        d->Fail(e);
        return std::nullopt;
    }
    // Entries in order: the first whose records no longer give its fingerprint, when that
    // comes before a break of the chain.
    for (const ChangeEntry& entry : downloads) {
        ResultsStore records;
        int odd = 0;
        if (!d->DownloadRecords(entry.download, entry.firstRecord, entry.lastRecord, records, &odd))
            return std::nullopt;
        if (odd != 0 || RecordsFingerprint(records) != entry.fingerprint) {
            check.fault = ChangeLogCheck::Fault::Records;
            check.brokenAt = entry.sequence;
            break;
        }
    }
    return check;
}

std::optional<std::int64_t> Archive::FindLog(const ArchiveLogKey& key) { return d->LogId(key, QString(), false); }

std::optional<QByteArray> Archive::RecordBytes(std::int64_t log, int number) {
    QSqlQuery q(d->db);
    q.setForwardOnly(true);
    if (!d->Prepare(q, QStringLiteral("SELECT raw FROM record WHERE log_id = ? AND number = ?"))) return std::nullopt;
    q.addBindValue(static_cast<qint64>(log));
    q.addBindValue(number);
    if (!d->Exec(q)) return std::nullopt;
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

}  // namespace quorvex
