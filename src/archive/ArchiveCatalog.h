#pragma once
// The archive's loggers, logs and downloads by their keys: found, and added when asked. Adding
// runs inside the caller's write transaction; a row another writer added meanwhile is found,
// not added twice.
#include <QString>

#include <cstdint>
#include <optional>

#include "archive/Archive.h"

namespace quorvex {

class ArchiveDatabase;

// 0: none (and not `create`).
std::optional<std::int64_t> LoggerId(ArchiveDatabase& db, const QString& serial, bool create);
// A logger's log, or a file's (`sourceFile`: its name); 0: none (and not `create`).
std::optional<std::int64_t> LogId(ArchiveDatabase& db, const ArchiveLogKey& key, const QString& sourceFile,
                                  bool create);
// A new download of `log` with no records yet.
std::optional<std::int64_t> InsertDownload(ArchiveDatabase& db, std::int64_t log, const ArchiveDownloadFacts& facts,
                                           ArchiveOutcome outcome);

}  // namespace quorvex
