#pragma once
// Where a read of only what is new starts: the records of the logger's current log the archive
// holds without a gap from record 1, read into a results store, and the bytes of the last of them,
// which the logger's own copy must match before the read goes on from there.
#include <functional>
#include <optional>

#include "archive/Archive.h"
#include "logs/LogDownload.h"
#include "params/ParameterModel.h"

namespace quorvex {

// Records 1…K − 1 go into `into` (K: the last archived without a gap) and K with its bytes into
// the answer. Without an archive, or for a log the archive lacks, K is 0 and the whole log is new.
// Nothing when the archive cannot answer (its LastError says why).
std::optional<LogDownload::KnownRecords> ArchivedStart(Archive* archive, const ParameterModel& params,
                                                       ResultsStore& into);

// Starts `logs` on only what is new against the archive. An archive that cannot answer is told
// through `report` and the read goes on as without one: every record is new.
void StartReadOfNew(LogDownload& logs, Archive* archive, const ParameterModel& params, bool quiet,
                    const std::function<void(const ArchiveText&)>& report);

}  // namespace quorvex
