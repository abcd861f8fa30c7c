#include "archive/ChangeLog.h"

#include <QCryptographicHash>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSysInfo>

#include <charconv>
#include <iterator>
#include <string>

#include <openssl/evp.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include "archive/ChangeLogTable.h"

namespace quorvex {

namespace {

const char* const kKindNames[] = {"register", "clock",  "start",  "stop",      "reset", "download",
                                  "import",   "export", "report", "signature", "file",  "trusted-key"};

const QString kColumns = QStringLiteral(
    "seq, moment, username, host, program, serial, kind, subject, before_value, after_value, confirmed, "
    "download_id, first_record, last_record, fingerprint, details");
// Which of kColumns hold numbers (the rest hold texts), in the same order.
constexpr bool kNumeric[] = {true,  false, false, false, false, false, false, false,
                             false, false, true,  true,  true,  true,  false, false};

void Field(QByteArray& out, const QByteArray& bytes) {
    out += QByteArray::number(bytes.size());
    out += ':';
    out += bytes;
    out += '\n';
}

// The canonical bytes of a row, built by the database itself: a walk over a million entries
// then reads two values a row instead of sixteen. Text lengths count UTF-8 bytes whatever the
// server's own encoding.
QString CanonicalSql(ArchiveDialect dialect) {
    const bool lite = dialect == ArchiveDialect::Sqlite;
    QStringList parts;
    const QStringList columns = kColumns.split(QStringLiteral(", "));
    for (int i = 0; i < columns.size(); ++i) {
        const QString& c = columns[i];
        if (lite)
            parts << (kNumeric[i] ? QStringLiteral("length(%1) || ':' || %1 || char(10)")
                                  : QStringLiteral("length(CAST(%1 AS BLOB)) || ':' || %1 || char(10)"))
                         .arg(c);
        else
            parts << (kNumeric[i] ? QStringLiteral("length(%1::text) || ':' || %1::text || E'\\n'")
                                  : QStringLiteral("octet_length(convert_to(%1, 'UTF8')) || ':' || %1 || E'\\n'"))
                         .arg(c);
    }
    const QString joined = parts.join(QStringLiteral(" || "));
    return lite ? QStringLiteral("CAST(%1 AS BLOB)").arg(joined) : QStringLiteral("convert_to(%1, 'UTF8')").arg(joined);
}

QString UserName() {
    if (const passwd* pw = ::getpwuid(::geteuid())) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

// An empty text as a text, not as NULL (Qt binds a null QString as NULL).
QVariant Text(const QString& s) { return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s); }

}  // namespace

QString ChangeKindName(ChangeKind kind) { return QString::fromLatin1(kKindNames[static_cast<int>(kind)]); }

std::optional<ChangeKind> ChangeKindFromName(const QString& name) {
    for (int i = 0; i < static_cast<int>(std::size(kKindNames)); ++i)
        if (name == QLatin1String(kKindNames[i])) return static_cast<ChangeKind>(i);
    return std::nullopt;
}

ChangeEntry LocalChange(ChangeKind kind, const QString& program, const QString& serial) {
    ChangeEntry e;
    e.moment = QDateTime::currentDateTimeUtc();
    e.user = UserName();
    e.host = QSysInfo::machineHostName();
    e.program = program;
    e.serial = serial;
    e.kind = kind;
    return e;
}

QString ChangeMomentText(const QDateTime& moment) {
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

QByteArray CanonicalChange(const ChangeEntry& e) {
    QByteArray out;
    out.reserve(256);
    const auto text = [&](const QString& s) { Field(out, s.toUtf8()); };
    const auto number = [&](qint64 n) { Field(out, QByteArray::number(n)); };
    number(e.sequence);
    text(ChangeMomentText(e.moment));
    text(e.user);
    text(e.host);
    text(e.program);
    text(e.serial);
    text(ChangeKindName(e.kind));
    text(e.subject);
    text(e.before);
    text(e.after);
    number(e.confirmed);
    number(e.download);
    number(e.firstRecord);
    number(e.lastRecord);
    text(e.fingerprint);
    text(e.details);
    return out;
}

QString ChainHash(const QString& previousHash, const QByteArray& canonical) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray previous =
        previousHash.isEmpty() ? QByteArray(32, '\0') : QByteArray::fromHex(previousHash.toLatin1());
    hash.addData(previous);
    hash.addData(canonical);
    return QString::fromLatin1(hash.result().toHex());
}

ArchiveText ChangeLogCheckText(const ChangeLogCheck& check) {
    switch (check.fault) {
    case ChangeLogCheck::Fault::None:
        return {QStringLiteral("[2570]Dziennik zmian nienaruszony (%1 wpis)|"
                               "Dziennik zmian nienaruszony (%1 wpisy)|Dziennik zmian nienaruszony (%1 wpisów)"),
                {QString::number(check.entries)}};
    case ChangeLogCheck::Fault::Changed:
        return {QStringLiteral("[2571]Wpis %1 dziennika zmian został zmieniony lub usunięty"),
                {QString::number(check.brokenAt)}};
    case ChangeLogCheck::Fault::Records:
        break;
    }
    return {QStringLiteral("[2572]Rekordy odczytu z wpisu %1 dziennika zmian zostały zmienione"),
            {QString::number(check.brokenAt)}};
}

QSqlError AppendChangeRow(QSqlDatabase& db, ArchiveDialect dialect, ChangeEntry& entry) {
    QSqlQuery head(db);
    // PostgreSQL: the head row stays locked until the transaction ends, so a second appender
    // waits and then builds on this entry. SQLite's write transaction holds the whole file.
    const QString lock = dialect == ArchiveDialect::Postgres ? QStringLiteral(" FOR UPDATE") : QString();
    if (!head.exec(QStringLiteral("SELECT seq, hash FROM change_head WHERE id = 1") + lock)) return head.lastError();
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

    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO change_log (") + kColumns +
                        QStringLiteral(", hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return insert.lastError();
    for (const QVariant& v :
         {QVariant(static_cast<qint64>(entry.sequence)), QVariant(ChangeMomentText(entry.moment)), Text(entry.user),
          Text(entry.host), Text(entry.program), Text(entry.serial), QVariant(ChangeKindName(entry.kind)),
          Text(entry.subject), Text(entry.before), Text(entry.after), QVariant(entry.confirmed),
          QVariant(static_cast<qint64>(entry.download)), QVariant(entry.firstRecord), QVariant(entry.lastRecord),
          Text(entry.fingerprint), Text(entry.details), QVariant(entry.hash)})
        insert.addBindValue(v);
    if (!insert.exec()) return insert.lastError();
    QSqlQuery update(db);
    if (!update.prepare(QStringLiteral("UPDATE change_head SET seq = ?, hash = ? WHERE id = 1")))
        return update.lastError();
    update.addBindValue(static_cast<qint64>(entry.sequence));
    update.addBindValue(entry.hash);
    if (!update.exec()) return update.lastError();
    return {};
}

QSqlError ReadChangeRows(QSqlDatabase& db, const ChangeFilter& filter, QList<ChangeEntry>& out) {
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
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT ") + kColumns + QStringLiteral(", hash FROM change_log") +
                   (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "))) +
                   QStringLiteral(" ORDER BY seq") +
                   (filter.limit > 0 ? QStringLiteral(" LIMIT %1").arg(filter.limit) : QString())))
        return q.lastError();
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) return q.lastError();
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
    return {};
}

namespace {

// The walk along the chain, one row after another in sequence order, whichever way the rows
// are read.
class ChainWalk {
public:
    ChainWalk(ChangeLogCheck& check, QList<ChangeEntry>& withRecords)
        : check_(check),
          withRecords_(withRecords),
          context_(EVP_MD_CTX_new()),
          sha256_(EVP_MD_fetch(nullptr, "SHA256", nullptr)) {
        check_ = {};
    }
    ~ChainWalk() {
        EVP_MD_free(sha256_);
        EVP_MD_CTX_free(context_);
    }
    ChainWalk(const ChainWalk&) = delete;
    ChainWalk& operator=(const ChainWalk&) = delete;

    // One row: its number, stored hash (hex) and canonical bytes; `records` gives the download
    // it names (download, first, last, fingerprint), asked only of an intact row.
    template <typename Records>
    void Row(std::int64_t seq, QByteArrayView storedHash, QByteArrayView canonical, const Records& records) {
        ++check_.entries;
        if (!check_.Intact()) return;
        // A missing number is an entry removed; one out of place reads as changed.
        if (seq != expected_) return Broken(expected_);
        // OpenSSL's SHA-256 uses the processor's SHA instructions: a long chain is checked in a
        // fraction of the time QCryptographicHash takes.
        unsigned int length = 0;
        if (!context_ || !sha256_ || !EVP_DigestInit_ex2(context_, sha256_, nullptr) ||
            !EVP_DigestUpdate(context_, previous_, sizeof previous_) ||
            !EVP_DigestUpdate(context_, canonical.data(), static_cast<std::size_t>(canonical.size())) ||
            !EVP_DigestFinal_ex(context_, previous_, &length))
            return Broken(seq);
        if (!SameHash(storedHash)) return Broken(seq);
        ChangeEntry e;
        e.sequence = seq;
        records(e);
        if (e.download != 0) withRecords_.push_back(e);
        ++expected_;
    }

    // Against the head (the last entry appended, 0 for none): entries missing from the end show here.
    void Head(std::int64_t last, QByteArrayView lastHash) {
        if (!check_.Intact()) return;
        const std::int64_t found = expected_ - 1;
        if (last > found)
            Broken(expected_);  // removed from the end
        else if (last < found)
            Broken(last + 1);  // added behind the program's back
        else if (last > 0 && !SameHash(lastHash))
            Broken(last);
    }

private:
    // The stored hash is 64 lower-case hex digits of the hash just computed.
    bool SameHash(QByteArrayView hex) const {
        static constexpr char kDigits[] = "0123456789abcdef";
        if (hex.size() != 2 * static_cast<qsizetype>(sizeof previous_)) return false;
        for (std::size_t i = 0; i < sizeof previous_; ++i)
            if (hex[2 * i] != kDigits[previous_[i] >> 4] || hex[2 * i + 1] != kDigits[previous_[i] & 15]) return false;
        return true;
    }
    void Broken(std::int64_t at) {
        check_.fault = ChangeLogCheck::Fault::Changed;
        check_.brokenAt = at;
    }

    ChangeLogCheck& check_;
    QList<ChangeEntry>& withRecords_;
    EVP_MD_CTX* context_;
    EVP_MD* sha256_;
    unsigned char previous_[32] = {};
    std::int64_t expected_ = 1;
};

// The rows through SQLite's own interface on the connection Qt holds: a million entries are
// read and hashed without a QVariant per value. nullopt when the connection has no SQLite
// handle (the caller then reads through Qt).
std::optional<QSqlError> WalkSqliteRows(QSqlDatabase& db, ChainWalk& walk) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return std::nullopt;
    sqlite3* lite = *static_cast<sqlite3* const*>(handle.constData());
    if (!lite) return std::nullopt;
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql =
        (QStringLiteral("SELECT ") + kColumns + QStringLiteral(", hash FROM change_log ORDER BY seq")).toUtf8();
    const auto failed = [&] {
        return QSqlError(QStringLiteral("change log"), QString::fromUtf8(sqlite3_errmsg(lite)),
                         QSqlError::StatementError, QString::number(sqlite3_errcode(lite)));
    };
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

QSqlError CheckChangeChain(QSqlDatabase& db, ArchiveDialect dialect, ChangeLogCheck& check,
                           QList<ChangeEntry>& withRecords) {
    ChainWalk walk(check, withRecords);
    std::optional<QSqlError> walked;
    if (dialect == ArchiveDialect::Sqlite) walked = WalkSqliteRows(db, walk);
    if (!walked) {
        // The server builds each row's canonical bytes: two values a row come back instead of sixteen.
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT seq, hash, download_id, first_record, last_record, fingerprint, ") +
                    CanonicalSql(dialect) + QStringLiteral(" FROM change_log ORDER BY seq")))
            return q.lastError();
        while (q.next())
            walk.Row(q.value(0).toLongLong(), q.value(1).toString().toLatin1(), q.value(6).toByteArray(),
                     [&](ChangeEntry& e) {
                         e.download = q.value(2).toLongLong();
                         e.firstRecord = q.value(3).toInt();
                         e.lastRecord = q.value(4).toInt();
                         e.fingerprint = q.value(5).toString();
                     });
    } else if (walked->type() != QSqlError::NoError) {
        return *walked;
    }
    QSqlQuery head(db);
    if (!head.exec(QStringLiteral("SELECT seq, hash FROM change_head WHERE id = 1"))) return head.lastError();
    // No head at all counts as a chain of none.
    const bool any = head.next();
    walk.Head(any ? head.value(0).toLongLong() : 0, any ? head.value(1).toString().toLatin1() : QByteArray());
    return {};
}

}  // namespace quorvex
