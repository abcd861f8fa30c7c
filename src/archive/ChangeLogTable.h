#pragma once
// The change log's two tables as the archive reads and writes them (see ChangeLog.h for the
// chain), on the archive's connection. Appending must run inside the caller's write
// transaction. Each call that fails leaves the reason in the database's Error().
#include <QList>
#include <QStringList>

#include <optional>

#include "archive/ChangeLog.h"

namespace quorvex {

class ArchiveDatabase;

// Takes the chain's head (locked until the transaction ends), gives `entry` the next sequence
// number and its hash, and stores both.
bool AppendChangeRow(ArchiveDatabase& db, ChangeEntry& entry);

// The entries the filter lets through, oldest first.
bool ReadChangeRows(ArchiveDatabase& db, const ChangeFilter& filter, QList<ChangeEntry>& out);

// The serial numbers the change log names, sorted.
std::optional<QStringList> ChangeSerials(ArchiveDatabase& db);

// Walks the chain from entry 1 and against the head. `withRecords` gets the entries before the
// first break that name a download (sequence, download, records and fingerprint only), for the
// caller to check against the archived records.
bool CheckChangeChain(ArchiveDatabase& db, ChangeLogCheck& check, QList<ChangeEntry>& withRecords);

}  // namespace quorvex
