#pragma once
// Reading archived records back: a log's (as the program opens it), a download's (as the change
// log's fingerprint covers them), and the few facts about them a download asks.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "archive/Archive.h"
#include "logs/ResultsStore.h"

namespace quorvex {

class ArchiveDatabase;

// A query of record rows (RecordRowsReader) with its bound values, appended to `into` by the
// backend's fastest read. `odd` as RecordRowsReader::Finish gives it.
bool ReadRecords(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values, qint64 start,
                 int interval, ResultsStore& into, bool imported, int expected, int& odd);

// The records a download brought, first…last of its log, each as this download brought it (its
// own variant where it had one). `odd`, when asked: the first of them that cannot be as the
// program stored it, or that is missing; 0 for none.
bool DownloadRecords(ArchiveDatabase& db, std::int64_t download, int first, int last, ResultsStore& into,
                     int* odd = nullptr);

// Archive::LoadRecords.
bool LoadRecords(ArchiveDatabase& db, std::int64_t log, ResultsStore& into, std::optional<Moment> from,
                 std::optional<Moment> to);
// Archive::ArchivedThrough, Archive::AddedBy, Archive::RecordBytes.
std::optional<int> ArchivedThrough(ArchiveDatabase& db, const ArchiveLogKey& key);
std::optional<int> AddedBy(ArchiveDatabase& db, std::int64_t download);
std::optional<QByteArray> RecordBytes(ArchiveDatabase& db, std::int64_t log, int number);

}  // namespace quorvex
