#include "archive/RecordRows.h"

#include <QSqlQuery>

#include "archive/ArchiveDatabase.h"

namespace quorvex {

int Tenths(float value) { return qRound(value * 10.0f); }

bool RecordRow::SameAs(const RecordRow& o) const {
    if (!raw.isNull() || !o.raw.isNull()) return raw.toByteArray() == o.raw.toByteArray();
    return temperature == o.temperature && humidity == o.humidity && moment == o.moment;
}

RecordRowsReader::RecordRowsReader(qint64 start, int interval, ResultsStore& into, bool imported, int expected)
    : start_(start), interval_(interval), into_(into), imported_(imported), expected_(expected) {}

void RecordRowsReader::Note(int number) {
    if (odd_ == 0) odd_ = number;
}

void RecordRowsReader::Add(const RecordRowView& row) {
    if (expected_ >= 0 && row.number != expected_) Note(expected_);
    if (expected_ >= 0) expected_ = row.number + 1;
    if (row.raw.size() == kLogRecordSize) {
        const DecodedRecord r = DecodeLogRecord(LogRecordValue(reinterpret_cast<const std::uint8_t*>(row.raw.data())));
        if (row.temperature != Tenths(r.temperature) || row.humidity != Tenths(r.humidity) || row.hasMoment)
            Note(row.number);
        into_.Append(r.temperature, r.humidity, MomentFromSeconds(start_ + (row.number - 1) * std::int64_t{interval_}));
    } else {
        if (!imported_) Note(row.number);
        humidity_ = humidity_ || row.hasHumidity;
        into_.Append(static_cast<float>(row.temperature) / 10.0f,
                     row.hasHumidity ? static_cast<float>(row.humidity) / 10.0f : 0.0f, MomentFromSeconds(row.moment));
    }
}

int RecordRowsReader::Finish() {
    into_.humidityInFile = humidity_ && !into_.HasHumidity();
    return odd_;
}

bool ReadRecordRowsWithQt(ArchiveDatabase& db, const QString& sql, std::initializer_list<qint64> values,
                          RecordRowsReader& rows) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, sql)) return false;
    for (const qint64 v : values) q.addBindValue(v);
    if (!db.Exec(q)) return false;
    while (q.next()) {
        const QByteArray raw = q.value(1).toByteArray();
        const QVariant humidity = q.value(3), moment = q.value(4);
        rows.Add({q.value(0).toInt(), raw, q.value(2).toInt(), !humidity.isNull(), humidity.toInt(), !moment.isNull(),
                  moment.toLongLong()});
    }
    return true;
}

}  // namespace quorvex
