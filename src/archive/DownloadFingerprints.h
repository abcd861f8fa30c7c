#pragma once
// Each closed download and import leaves a change-log entry with the fingerprint of the records
// it brought (ChangeLog.h). Here those entries are written, and the archived records are held
// against them.
#include <QString>

#include <cstdint>
#include <optional>

#include "archive/ChangeLog.h"
#include "logs/ResultsStore.h"

namespace quorvex {

class ArchiveDatabase;

// Inside the write transaction that closes a download or imports a file: its entry, with the
// fingerprint of what it brought and `note` added to its details. `brought`: the records as the
// tables now hold them, when the caller knows them already (else they are read back).
bool AppendDownloadChange(ArchiveDatabase& db, std::int64_t download, const QString& note = {},
                          const ResultsStore* brought = nullptr);

// Archive::ChangedRecord.
std::optional<int> ChangedRecord(ArchiveDatabase& db, std::int64_t log);

// Archive::CheckChanges: the chain, then the records of every download an intact entry names.
std::optional<ChangeLogCheck> CheckChanges(ArchiveDatabase& db);

}  // namespace quorvex
