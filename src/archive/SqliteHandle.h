#pragma once
// SQLite's own handle under the connection Qt holds, for the few paths that read or write a
// million rows without a QVariant per value. Null when the connection is not SQLite's.
#include <QSqlDatabase>
#include <QSqlError>

struct sqlite3;

namespace quorvex {

sqlite3* SqliteHandle(const QSqlDatabase& db);

// SQLite's last error on `lite`, as Qt's driver would give it.
QSqlError SqliteError(sqlite3* lite, const QString& where);

}  // namespace quorvex
