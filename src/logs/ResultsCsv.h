#pragma once
// The results as a CSV file that spreadsheets read as they are (RFC 4180):
// UTF-8, CR LF after every row, one header row
//   record,time,temperature_C,humidity_pct
// (without the humidity column for a logger without humidity), then one row
// per record numbered from 1, the moment in ISO 8601 with the UTC offset this
// machine's time zone has at that clock time ("2026-12-06T15:15:21+01:00"),
// values with "." and one decimal whatever the locale. Saved atomically by
// SaveResultsFile (ResultsFile.h); read back by ResultsReader.h.
#include <QIODevice>

#include "logs/ResultsStore.h"

namespace quorvex {

// Writes the whole file to an open device; false when a write fails.
bool WriteResultsCsv(QIODevice& out, const ResultsStore& store);

}  // namespace quorvex
