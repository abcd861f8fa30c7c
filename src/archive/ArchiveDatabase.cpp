#include "archive/ArchiveDatabase.h"

#include <QDateTime>

#include <atomic>

#include "archive/ArchiveSchema.h"

namespace quorvex {

namespace {

std::atomic<int> connectionCounter{0};

}  // namespace

QString MomentText(const QDateTime& utc) { return utc.toUTC().toString(Qt::ISODateWithMs); }
QDateTime MomentFromText(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.toUTC();
}

ArchiveDatabase::ArchiveDatabase(const ArchiveLocation& location, int busyTimeoutMs)
    : location_(location),
      dialect_(&DialectOf(location.kind == ArchiveLocation::Kind::Sqlite ? ArchiveDialect::Sqlite
                                                                         : ArchiveDialect::Postgres)),
      busyTimeoutMs_(busyTimeoutMs) {}

ArchiveDatabase::~ArchiveDatabase() {
    if (connection_.isEmpty()) return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool ArchiveDatabase::Fail(const QSqlError& e) {
    const QString where = location_.Display();
    switch (dialect_->fault(e)) {
    case DatabaseFault::Busy:
        error_ = {QStringLiteral("[2303]Archiwum %1 jest zajęte przez inny program dłużej niż %2 s"),
                  {where, QString::number(busyTimeoutMs_ / 1000.0)}};
        break;
    case DatabaseFault::Damaged:
        error_ = {QStringLiteral("[2302]Plik %1 nie jest archiwum albo jest uszkodzony"), {where}};
        break;
    case DatabaseFault::Full:
        error_ = {QStringLiteral("[2304]Brak miejsca na dysku dla archiwum %1"), {where}};
        break;
    case DatabaseFault::Other:
        error_ = {QStringLiteral("[2300]Archiwum %1 jest niedostępne: %2"), {where, e.text().trimmed()}};
        break;
    }
    return false;
}

bool ArchiveDatabase::Fail(const QString& reason) {
    error_ = {QStringLiteral("[2300]Archiwum %1 jest niedostępne: %2"), {location_.Display(), reason}};
    return false;
}

bool ArchiveDatabase::Fail(const ArchiveText& message) {
    error_ = message;
    return false;
}

bool ArchiveDatabase::Missing() {
    error_ = {QStringLiteral("[2602]Archiwum %1 nie istnieje"), {location_.Display()}};
    return false;
}

bool ArchiveDatabase::Exec(const QString& sql) {
    QSqlQuery q(db_);
    return q.exec(sql) || Fail(q.lastError());
}

std::optional<std::int64_t> ArchiveDatabase::SingleId(QSqlQuery& q) {
    q.setForwardOnly(true);
    if (!Exec(q)) return std::nullopt;
    if (!q.next()) return std::int64_t{0};
    return q.value(0).toLongLong();
}

bool ArchiveDatabase::Write(const std::function<bool()>& body) {
    if (!Exec(QString::fromLatin1(dialect_->begin))) return false;
    if (body() && Exec(QStringLiteral("COMMIT"))) return true;
    QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    return false;
}

bool ArchiveDatabase::Open(bool existingOnly) { return Connect(existingOnly) && Upgrade(); }

bool ArchiveDatabase::Connect(bool existingOnly) {
    connection_ = QStringLiteral("quorvex-archive-%1").arg(++connectionCounter);
    if (!dialect_->prepareLocation(*this, existingOnly)) return false;
    const QString driver = QString::fromLatin1(dialect_->driver);
    db_ = QSqlDatabase::addDatabase(driver, connection_);
    if (!db_.isValid())
        return Fail(QStringLiteral("the Qt SQL driver %1 is not installed (%2)")
                        .arg(driver, QString::fromLatin1(dialect_->driverPackage)));
    dialect_->configure(db_, location_, busyTimeoutMs_);
    if (!db_.open()) return Fail(db_.lastError());
    if (existingOnly) {
        // Before anything below could write to it.
        const auto has = HasSchema();
        if (!has) return false;
        if (!*has && dialect_->foreignWithoutSchema)
            return Fail(ArchiveText{QStringLiteral("[2302]Plik %1 nie jest archiwum albo jest uszkodzony"),
                                    {location_.Display()}});
        if (!*has) return Missing();
    }
    for (const QString& sql : dialect_->sessionSettings(busyTimeoutMs_)) {
        QSqlQuery q(db_);
        // A setting that answers (SQLite's journal mode) must answer with a row.
        if (!q.exec(sql) || (q.isSelect() && !q.next())) return Fail(q.lastError());
    }
    return true;
}

std::optional<bool> ArchiveDatabase::HasSchema() {
    QSqlQuery q(db_);
    if (!q.exec(QString::fromLatin1(dialect_->hasSchema))) {
        Fail(q.lastError());
        return std::nullopt;
    }
    return q.next() && q.value(0).toBool();
}

bool ArchiveDatabase::Upgrade() {
    return Write([&] {
        // Two programs opening a new archive at once create it once.
        if (*dialect_->schemaLock && !Exec(QString::fromLatin1(dialect_->schemaLock))) return false;
        if (!Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER PRIMARY KEY, "
                                 "applied TEXT NOT NULL)")))
            return false;
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version"))) return Fail(q.lastError());
        const int have = q.next() ? q.value(0).toInt() : 0;
        q.finish();
        if (have >= NewestSchemaVersion()) return true;
        for (const QString& sql : SchemaStatements(dialect_->kind, have))
            if (!Exec(sql)) return false;
        for (int v = have + 1; v <= NewestSchemaVersion(); ++v) {
            QSqlQuery add(db_);
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

}  // namespace quorvex
