#include "archive/ChangeLogTable.h"

#include <QSqlQuery>

#include <charconv>
#include <iterator>
#include <string>

#include <sqlite3.h>

#include "archive/ArchiveDatabase.h"
#include "archive/ChangeChainWalk.h"
#include "archive/SqliteHandle.h"

namespace quorvex {

namespace {

const QString kColumns = QStringLiteral(
    "seq, moment, username, host, program, serial, kind, subject, before_value, after_value, confirmed, "
    "download_id, first_record, last_record, fingerprint, details");
// Which of kColumns hold numbers (the rest hold texts), in the same order.
constexpr bool kNumeric[] = {true,  false, false, false, false, false, false, false,
                             false, false, true,  true,  true,  true,  false, false};

// The canonical bytes of a row, built by the database itself: a walk over a million entries
// then reads two values a row instead of sixteen.
QString CanonicalSql(const SqlDialect& dialect) {
    QStringList parts;
    const QStringList columns = kColumns.split(QStringLiteral(", "));
    for (int i = 0; i < columns.size(); ++i) parts << dialect.canonicalField(columns[i], kNumeric[i]);
    return dialect.canonicalBytes(parts.join(QStringLiteral(" || ")));
}

// An empty text as a text, not as NULL.
QVariant Text(const QString& s) { return ArchiveDatabase::Text(s); }

}  // namespace

bool AppendChangeRow(ArchiveDatabase& db, ChangeEntry& entry) {
    QSqlQuery head(db.Connection());
    // A second appender waits for this one's transaction to end and then builds on its entry.
    if (!head.exec(QStringLiteral("SELECT seq, hash FROM change_head WHERE id = 1") +
                   QString::fromLatin1(db.Dialect().lockRow)))
        return db.Fail(head.lastError());
    std::int64_t last = 0;
    QString previous;
    if (head.next()) {
        last = head.value(0).toLongLong();
        previous = head.value(1).toString();
    }
    head.finish();
    entry.sequence = last + 1;
    if (!entry.moment.isValid()) entry.moment = QDateTime::currentDateTimeUtc();
    entry.hash = ChainHash(previous, CanonicalChange(entry));

    QSqlQuery insert(db.Connection());
    if (!db.Prepare(insert, QStringLiteral("INSERT INTO change_log (") + kColumns +
                                QStringLiteral(", hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return false;
    for (const QVariant& v :
         {QVariant(static_cast<qint64>(entry.sequence)), QVariant(ChangeMomentText(entry.moment)), Text(entry.user),
          Text(entry.host), Text(entry.program), Text(entry.serial), QVariant(ChangeKindName(entry.kind)),
          Text(entry.subject), Text(entry.before), Text(entry.after), QVariant(entry.confirmed),
          QVariant(static_cast<qint64>(entry.download)), QVariant(entry.firstRecord), QVariant(entry.lastRecord),
          Text(entry.fingerprint), Text(entry.details), QVariant(entry.hash)})
        insert.addBindValue(v);
    if (!db.Exec(insert)) return false;
    QSqlQuery update(db.Connection());
    if (!db.Prepare(update, QStringLiteral("UPDATE change_head SET seq = ?, hash = ? WHERE id = 1"))) return false;
    update.addBindValue(static_cast<qint64>(entry.sequence));
    update.addBindValue(entry.hash);
    return db.Exec(update);
}

bool ReadChangeRows(ArchiveDatabase& db, const ChangeFilter& filter, QList<ChangeEntry>& out) {
    QStringList where;
    QVariantList values;
    if (!filter.serial.isEmpty()) {
        where << QStringLiteral("serial = ?");
        values << filter.serial;
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("moment >= ?");
        values << ChangeMomentText(filter.from);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("moment <= ?");
        values << ChangeMomentText(filter.to);
    }
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(
            q, QStringLiteral("SELECT ") + kColumns + QStringLiteral(", hash FROM change_log") +
                   (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))) +
                   QStringLiteral(" ORDER BY seq") +
                   (filter.limit > 0 ? QStringLiteral(" LIMIT %1").arg(filter.limit) : QString())))
        return false;
    for (const QVariant& v : values) q.addBindValue(v);
    if (!db.Exec(q)) return false;
    while (q.next()) {
        ChangeEntry e;
        e.sequence = q.value(0).toLongLong();
        e.moment = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs).toUTC();
        e.user = q.value(2).toString();
        e.host = q.value(3).toString();
        e.program = q.value(4).toString();
        e.serial = q.value(5).toString();
        e.kind = ChangeKindFromName(q.value(6).toString()).value_or(ChangeKind::RegisterWrite);
        e.subject = q.value(7).toString();
        e.before = q.value(8).toString();
        e.after = q.value(9).toString();
        e.confirmed = q.value(10).toInt();
        e.download = q.value(11).toLongLong();
        e.firstRecord = q.value(12).toInt();
        e.lastRecord = q.value(13).toInt();
        e.fingerprint = q.value(14).toString();
        e.details = q.value(15).toString();
        e.hash = q.value(16).toString();
        out.push_back(e);
    }
    return true;
}

std::optional<QStringList> ChangeSerials(ArchiveDatabase& db) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT DISTINCT serial FROM change_log WHERE serial <> '' ORDER BY serial")))
        return std::nullopt;
    if (!db.Exec(q)) return std::nullopt;
    QStringList serials;
    while (q.next()) serials << q.value(0).toString();
    return serials;
}

namespace {

// The rows through SQLite's own interface on the connection Qt holds: a million entries are
// read and hashed without a QVariant per value. nullopt when the connection has no SQLite
// handle (the caller then reads through Qt).
std::optional<QSqlError> WalkSqliteRows(QSqlDatabase& db, ChangeChainWalk& walk) {
    sqlite3* lite = SqliteHandle(db);
    if (!lite) return std::nullopt;
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql =
        (QStringLiteral("SELECT ") + kColumns + QStringLiteral(", hash FROM change_log ORDER BY seq")).toUtf8();
    const auto failed = [&] { return SqliteError(lite, QStringLiteral("change log")); };
    if (sqlite3_prepare_v2(lite, sql.constData(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK)
        return failed();
    constexpr int kFields = static_cast<int>(std::size(kNumeric));
    std::string canonical;
    canonical.reserve(1024);
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        canonical.clear();
        for (int c = 0; c < kFields; ++c) {
            // Numbers as their decimal text, texts as their UTF-8 bytes: what CanonicalChange gives.
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            const int length = sqlite3_column_bytes(statement, c);
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, length).ptr;
            canonical.append(digits, end);
            canonical += ':';
            canonical.append(bytes ? bytes : "", static_cast<std::size_t>(length));
            canonical += '\n';
        }
        const auto* stored = reinterpret_cast<const char*>(sqlite3_column_text(statement, kFields));
        walk.Row(sqlite3_column_int64(statement, 0), QByteArrayView(stored, sqlite3_column_bytes(statement, kFields)),
                 canonical, [&](ChangeEntry& e) {
                     e.download = sqlite3_column_int64(statement, 11);
                     if (e.download == 0) return;
                     e.firstRecord = sqlite3_column_int(statement, 12);
                     e.lastRecord = sqlite3_column_int(statement, 13);
                     e.fingerprint =
                         QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 14)),
                                           sqlite3_column_bytes(statement, 14));
                 });
    }
    const bool done = step == SQLITE_DONE;
    std::optional<QSqlError> error = done ? QSqlError() : failed();
    sqlite3_finalize(statement);
    return error;
}

}  // namespace

bool CheckChangeChain(ArchiveDatabase& db, ChangeLogCheck& check, QList<ChangeEntry>& withRecords) {
    ChangeChainWalk walk(check, withRecords);
    const std::optional<QSqlError> walked = WalkSqliteRows(db.Connection(), walk);
    if (!walked) {
        // The database builds each row's canonical bytes: two values a row come back instead of sixteen.
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT seq, hash, download_id, first_record, last_record, fingerprint, ") +
                    CanonicalSql(db.Dialect()) + QStringLiteral(" FROM change_log ORDER BY seq")))
            return db.Fail(q.lastError());
        while (q.next())
            walk.Row(q.value(0).toLongLong(), q.value(1).toString().toLatin1(), q.value(6).toByteArray(),
                     [&](ChangeEntry& e) {
                         e.download = q.value(2).toLongLong();
                         e.firstRecord = q.value(3).toInt();
                         e.lastRecord = q.value(4).toInt();
                         e.fingerprint = q.value(5).toString();
                     });
    } else if (walked->type() != QSqlError::NoError) {
        return db.Fail(*walked);
    }
    QSqlQuery head(db.Connection());
    if (!head.exec(QStringLiteral("SELECT seq, hash FROM change_head WHERE id = 1"))) return db.Fail(head.lastError());
    // No head at all counts as a chain of none.
    const bool any = head.next();
    walk.Head(any ? head.value(0).toLongLong() : 0, any ? head.value(1).toString().toLatin1() : QByteArray());
    return true;
}

}  // namespace quorvex
