#pragma once
// A saved results file (text or CSV) imported as a log of its own, all of it or nothing, in one
// write transaction through the record merge's bulk path.
#include <QString>

#include <optional>

#include "archive/Archive.h"

namespace quorvex {

class ArchiveDatabase;
class RecordMerge;

// Archive::Import.
std::optional<int> ImportResultsFile(ArchiveDatabase& db, RecordMerge& merge, const QString& path,
                                     ArchiveDownloadFacts facts);

}  // namespace quorvex
