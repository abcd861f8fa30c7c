#pragma once
// The change log's two tables as the archive reads and writes them (see ChangeLog.h for the
// chain). Each call works on an open connection; appending must run inside the caller's write
// transaction. An error of type NoError is success.
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>

#include "archive/ArchiveSchema.h"
#include "archive/ChangeLog.h"

namespace quorvex {

// Takes the chain's head (locked until the transaction ends), gives `entry` the next sequence
// number and its hash, and stores both.
QSqlError AppendChangeRow(QSqlDatabase& db, ArchiveDialect dialect, ChangeEntry& entry);

// The entries the filter lets through, oldest first.
QSqlError ReadChangeRows(QSqlDatabase& db, const ChangeFilter& filter, QList<ChangeEntry>& out);

// Walks the chain from entry 1 and against the head. `withRecords` gets the entries before the
// first break that name a download (sequence, download, records and fingerprint only), for the
// caller to check against the archived records.
QSqlError CheckChangeChain(QSqlDatabase& db, ArchiveDialect dialect, ChangeLogCheck& check,
                           QList<ChangeEntry>& withRecords);

}  // namespace quorvex
