#pragma once
// Records as the archive's tables keep them: a row going in (RecordRow), and rows coming back
// out of a query, turned into a results store again (RecordRowsReader).
//
// Temperatures and humidities are kept in tenths. A logger's record keeps the 4 bytes it came
// as, and its moment follows from its place in the log; a record from a file has no bytes and
// keeps its values and moment.
#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <initializer_list>

#include "logs/ResultsStore.h"

namespace quorvex {

class ArchiveDatabase;

int Tenths(float value);

// One record as the tables keep it.
struct RecordRow {
    int number = 0;
    QVariant raw;  // 4 bytes, or null for a record from a file
    int temperature = 0;
    QVariant humidity;  // tenths, or null
    QVariant moment;    // seconds, or null for a logger record

    // The same record: the same bytes, or (from a file) the same values at the same moment.
    bool SameAs(const RecordRow& o) const;
};

// One row of a query of (number, raw, temperature, humidity, moment) as a backend read it; the
// bytes are valid while the row is handed on only.
struct RecordRowView {
    int number = 0;
    QByteArrayView raw;
    int temperature = 0;
    bool hasHumidity = false;
    int humidity = 0;
    bool hasMoment = false;
    qint64 moment = 0;
};

// Appends rows to `into`: a logger's record from its bytes at its place in the log (start,
// interval), a file's from its values. Notes the first record that cannot be as the program
// stored it: in a logger's log (not `imported`) one without its 4 bytes, and any with a moment
// of its own or with values other than its bytes decode to; with `expected` ≥ 0 (the first
// number the rows must hold, one after another), one missing.
class RecordRowsReader {
public:
    RecordRowsReader(qint64 start, int interval, ResultsStore& into, bool imported = true, int expected = -1);
    void Add(const RecordRowView& row);
    // After the last row: the store learns whether the file held humidities; gives the first
    // odd record (0: none).
    int Finish();

private:
    void Note(int number);

    qint64 start_;
    int interval_;
    ResultsStore& into_;
    bool imported_;
    int expected_;
    bool humidity_ = false;  // a file's record held a humidity
    int odd_ = 0;
};

// The rows through Qt's driver, whichever the backend.
bool ReadRecordRowsWithQt(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values,
                          RecordRowsReader& rows);

}  // namespace quorvex
