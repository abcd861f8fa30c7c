#pragma once
// What the archive's list shows: its loggers, and each logger's logs with their downloads.
#include <QList>
#include <QString>

#include <optional>

#include "archive/Archive.h"

namespace quorvex {

class ArchiveDatabase;

// Archive::Loggers and Archive::Logs.
std::optional<QList<ArchiveLoggerRow>> ListLoggers(ArchiveDatabase& db);
std::optional<QList<ArchiveLogRow>> ListLogs(ArchiveDatabase& db, const QString& serial);

}  // namespace quorvex
