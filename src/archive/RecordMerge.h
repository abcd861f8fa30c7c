#pragma once
// The record merge: a download's records go into the archive as their blocks arrive, and no
// archived record is ever updated. A record the archive does not hold goes in as it came (by
// the backend's bulk path, RecordInserter); one it holds with the same content is left; one it
// holds with other content is kept beside the first as a variant, and counted among the
// download's differences by the download that archived it first. Two writers bringing the same
// record keep it once.
#include <QHash>
#include <QSet>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "archive/RecordRows.h"

namespace quorvex {

class ArchiveDatabase;
class RecordInserter;

class RecordMerge {
public:
    explicit RecordMerge(ArchiveDatabase& db);
    ~RecordMerge();
    RecordMerge(const RecordMerge&) = delete;
    RecordMerge& operator=(const RecordMerge&) = delete;

    // A download begun on this connection, and its log (0: not begun here).
    void Began(std::int64_t download, std::int64_t log) { logOf_.insert(download, log); }
    std::int64_t LogOf(std::int64_t download) const { return logOf_.value(download, 0); }

    // Inside a write transaction: `rows` (numbers ascending) merged into the log as the
    // download's. `allNew`, when asked: whether every row went in as given (none archived
    // before, none kept beside).
    bool Merge(std::int64_t log, std::int64_t download, const std::vector<RecordRow>& rows, bool* allNew = nullptr);
    // Inside a write transaction: the download's range of records widened to take in first…last.
    bool ExtendRange(std::int64_t download, int first, int last);

    // The numbers of the download's records that differed from archived ones, so far, by the
    // download that archived those first.
    QHash<std::int64_t, QSet<int>> Differing(std::int64_t download) const { return differing_.value(download); }

private:
    using Archived = QHash<int, std::pair<RecordRow, std::int64_t>>;  // by number: row, its download
    std::optional<Archived> ArchivedRows(std::int64_t log, int first, int last);

    ArchiveDatabase& db_;
    std::unique_ptr<RecordInserter> inserter_;  // the backend's, made on first use
    QHash<std::int64_t, std::int64_t> logOf_;
    QHash<std::int64_t, QHash<std::int64_t, QSet<int>>> differing_;
};

}  // namespace quorvex
