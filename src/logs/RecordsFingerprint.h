#pragma once
// The fingerprint of a log: SHA-256 over its records, shown in hex on every
// page of a report, so that a printed page can be tied to the data it came from.
//
// The bytes hashed, per record in order, 20 bytes each, all big-endian:
//   uint32  the record's number (1 for the oldest)
//   int64   its moment in whole milliseconds since 30 December 1899 00:00
//           (the clock fields as recorded; no time zone applied)
//   int32   temperature in tenths of a degree Celsius
//   int32   humidity in tenths of a percent (0 from a logger without humidity
//           whatever the store holds, so that a file and a download agree)
// Nothing else (no names, no thresholds): the same records give the same
// fingerprint whether downloaded, opened from either file format or archived.
#include <QString>

#include "logs/ResultsStore.h"

namespace quorvex {

// 64 lower-case hex digits.
QString RecordsFingerprint(const ResultsStore& store);

}  // namespace quorvex
