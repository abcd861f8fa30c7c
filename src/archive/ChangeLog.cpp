#include "archive/ChangeLog.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QSysInfo>

#include <iterator>

#include <pwd.h>
#include <unistd.h>

#include "archive/ChangeLogTable.h"

namespace quorvex {

namespace {

const char* const kKindNames[] = {"register", "clock",  "start",  "stop",      "reset", "download",
                                  "import",   "export", "report", "signature", "file"};

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
        return {QStringLiteral("[2570]Dziennik zmian nienaruszony (%1 wpisów)"), {QString::number(check.entries)}};
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

QSqlError CheckChangeChain(QSqlDatabase& db, ArchiveDialect dialect, ChangeLogCheck& check,
                           QList<ChangeEntry>& withRecords) {
    check = {};
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT seq, hash, download_id, first_record, last_record, fingerprint, ") +
                CanonicalSql(dialect) + QStringLiteral(" FROM change_log ORDER BY seq")))
        return q.lastError();
    const auto broken = [&](std::int64_t at) {
        check.fault = ChangeLogCheck::Fault::Changed;
        check.brokenAt = at;
    };
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray previous(32, '\0');
    std::int64_t expected = 1;
    while (q.next()) {
        ++check.entries;
        if (!check.Intact()) continue;
        const std::int64_t seq = q.value(0).toLongLong();
        // A missing number is an entry removed; one out of place reads as changed.
        if (seq != expected) {
            broken(expected);
            continue;
        }
        hash.reset();
        hash.addData(previous);
        hash.addData(q.value(6).toByteArray());
        previous = hash.result();
        if (QByteArray::fromHex(q.value(1).toString().toLatin1()) != previous) {
            broken(seq);
            continue;
        }
        if (const qint64 download = q.value(2).toLongLong(); download != 0) {
            ChangeEntry e;
            e.sequence = seq;
            e.download = download;
            e.firstRecord = q.value(3).toInt();
            e.lastRecord = q.value(4).toInt();
            e.fingerprint = q.value(5).toString();
            withRecords.push_back(e);
        }
        ++expected;
    }
    q.finish();
    if (!check.Intact()) return {};
    // The head names the last entry appended: entries missing from the end show here.
    QSqlQuery head(db);
    if (!head.exec(QStringLiteral("SELECT seq, hash FROM change_head WHERE id = 1"))) return head.lastError();
    // No head at all counts as a chain of none.
    const std::int64_t last = head.next() ? head.value(0).toLongLong() : 0;
    const std::int64_t found = expected - 1;
    if (last > found)
        broken(expected);  // removed from the end
    else if (last < found)
        broken(last + 1);  // added behind the program's back
    else if (last > 0 && QByteArray::fromHex(head.value(1).toString().toLatin1()) != previous)
        broken(last);
    return {};
}

}  // namespace quorvex
