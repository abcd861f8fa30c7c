#pragma once
// The results as a CSV file that spreadsheets read as they are (RFC 4180):
// UTF-8, CR LF after every row, one header row
//   record,time,temperature_C,humidity_pct
// (without the humidity column for a logger without humidity), then one row
// per record numbered from 1, the moment in ISO 8601 with the UTC offset this
// machine's time zone has at that clock time ("2026-12-06T15:15:21+01:00"),
// values with "." and one decimal whatever the locale. With the dew point
// switched on (a setting, off by default) a log with humidity gains the column
// dew_point_C after humidity_pct (DewPoint.h; empty where there is none).
// Saved atomically by
// SaveResultsFile (ResultsFile.h); read back by ResultsReader.h.
#include <QIODevice>
#include <QString>

#include "logs/ResultsStore.h"

namespace quorvex {

// The settings file's switch for the dew point column: section, key (0 or 1).
inline const QString kFilesSection = QStringLiteral("Files");
inline const QString kDewPointInFilesKey = QStringLiteral("DewPoint");

// A moment on the logger's clock as the file writes it: ISO 8601 with the UTC offset this
// machine's time zone has at that clock time ("2026-12-06T15:15:21+01:00").
QString IsoMomentText(Moment moment);

// Writes the whole file to an open device; false when a write fails.
bool WriteResultsCsv(QIODevice& out, const ResultsStore& store, bool dewPoint = false);

}  // namespace quorvex
