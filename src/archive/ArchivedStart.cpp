#include "archive/ArchivedStart.h"

#include "archive/ArchiveRegisters.h"

namespace quorvex {

std::optional<LogDownload::KnownRecords> ArchivedStart(Archive* archive, const ParameterModel& params,
                                                       ResultsStore& into) {
    into.Clear();
    if (!archive) return LogDownload::KnownRecords{0, 0, false};
    const auto key = CurrentLogKey(params);
    // A key that is not complete, or a log without an interval, cannot be continued.
    if (!key || key->intervalSeconds <= 0) return LogDownload::KnownRecords{};
    const auto through = archive->ArchivedThrough(*key);
    if (!through) return std::nullopt;
    if (*through <= 0) return LogDownload::KnownRecords{};
    const auto log = archive->FindLog(*key);
    if (!log) return std::nullopt;
    const auto bytes = archive->RecordBytes(*log, *through);
    if (!bytes) return std::nullopt;
    // A record from a file has no bytes to compare: the whole log is read.
    if (bytes->size() != kLogRecordSize) return LogDownload::KnownRecords{};
    // Up to the record before K: K itself comes from the logger.
    const Moment lastBefore = MomentFromSeconds(key->startSeconds + std::int64_t{*through - 2} * key->intervalSeconds);
    if (*through > 1 && !archive->LoadRecords(*log, into, std::nullopt, lastBefore)) return std::nullopt;
    into.archivedLogStart.reset();  // they become part of a download
    return LogDownload::KnownRecords{*through,
                                     LogRecordValue(reinterpret_cast<const std::uint8_t*>(bytes->constData())), true};
}

void StartReadOfNew(LogDownload& logs, Archive* archive, const ParameterModel& params, bool quiet,
                    const std::function<void(const ArchiveText&)>& report) {
    ResultsStore known;
    auto kept = ArchivedStart(archive, params, known);
    if (!kept) {
        if (report) report(archive->LastError());
        kept = LogDownload::KnownRecords{0, 0, false};
        known.Clear();
    }
    logs.StartNewRead(known, *kept, quiet);
}

}  // namespace quorvex
