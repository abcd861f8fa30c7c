#pragma once
// The results file of a download written without asking for a name (quorvex-cli watch, the
// window's automatic download), kept true to the archive. When the logger gave records other
// than those the archive kept first (a logger whose memory was altered, or another logger
// under the same serial number and start), the file holds what the archive holds: the records
// as first downloaded, and those archived since. The logger's copy is kept beside it as
// "<name>-differs.<suffix>", so that nothing it sent is lost and nothing archived is
// overwritten by it. Both are signed as every written file is.
#include <QString>

#include <memory>
#include <optional>

#include "archive/Archive.h"
#include "archive/DownloadArchiver.h"
#include "logs/LoggerResultsFile.h"

namespace quorvex {

// What goes after the results file's name for the logger's copy of a log that differs.
inline const QString kDiffersNameTail = QStringLiteral("-differs");

struct WrittenLog {
    WrittenResults file;                     // the log as the archive holds it (as downloaded when nothing differs)
    int differing = 0;                       // records of the download that differ from the archived ones
    std::optional<WrittenResults> differs;   // the logger's copy, when any differ
    std::unique_ptr<ResultsStore> archived;  // the records `file` holds, when not those downloaded

    // The records `file` holds: `downloaded`'s, or the archive's when any differ.
    const ResultsStore& Held(const ResultsStore& downloaded) const { return archived ? *archived : downloaded; }
};

// The log as the archive holds it, when a download brought records other than the archived ones.
struct ArchivedLog {
    int differing = 0;                      // records of the download that differ from the archived ones
    std::unique_ptr<ResultsStore> records;  // the archive's records (with the download's header), when any differ
    QString errorText;                      // why the archive's records could not be read, translated
};

// What `archiver` kept of the download `downloaded` holds in `archive` (nullptr: none): when
// any of its records differ, the log's records as the archive holds them.
ArchivedLog ArchivedVersion(const ResultsStore& downloaded, Archive* archive, const DownloadArchiver& archiver);

// Records the download brought that the archive did not hold before it; `unknown` when the
// archive did not keep the download or cannot tell.
int NewRecords(Archive* archive, const DownloadArchiver& archiver, int unknown);

// Writes the log `downloaded` holds into `folder` (LoggerResultsFile.h). `archiver` kept that
// download in `archive` (nullptr: none, and the download is written as it is).
WrittenLog WriteDownloadedLog(const QString& folder, const ResultsStore& downloaded, Archive* archive,
                              const DownloadArchiver& archiver, ResultsFormat format, const FileSigner* signer,
                              bool csvDewPoint = false);

// "<count> records differ from the archive".
ArchiveText DifferingText(int count);

}  // namespace quorvex
