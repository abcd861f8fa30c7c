#pragma once
// How many records a log holds, without walking them: each download's close and each import
// count the log's records in their own transaction and keep that count with the change-log
// entry it follows (log_tally). The count stands while every download of the log is closed and
// none closed after it (an older program closing one leaves its entry, which shows); otherwise
// the log's records are counted again.
#include <QSqlQuery>

#include <cstdint>
#include <optional>

namespace quorvex {

class ArchiveDatabase;

// Inside the transaction that closed a download of `log` or imported into it, after its change-
// log entry. `fresh`: the numbers first…last went in just now where there were none, so only
// the records around them are walked.
bool TallyLog(ArchiveDatabase& db, std::int64_t log, std::optional<std::pair<int, int>> fresh = std::nullopt);
// The same for the log of `download`.
bool TallyDownloadLog(ArchiveDatabase& db, std::int64_t download);

// Counts logs one after another on prepared statements (the archive's list).
class LogCounter {
public:
    explicit LogCounter(ArchiveDatabase& db);
    // False: Count gives nothing (the database's Error() says why).
    bool Prepared() const { return prepared_; }
    std::optional<int> Count(std::int64_t log);

private:
    ArchiveDatabase& db_;
    QSqlQuery tally_, walk_;  // the standing count; the records counted
    bool prepared_ = false;
};

}  // namespace quorvex
