#include "archive/RecordMerge.h"

#include <QSqlQuery>

#include "archive/ArchiveDatabase.h"
#include "archive/RecordInserter.h"

namespace quorvex {

RecordMerge::RecordMerge(ArchiveDatabase& db) : db_(db) {}
RecordMerge::~RecordMerge() = default;

std::optional<RecordMerge::Archived> RecordMerge::ArchivedRows(std::int64_t log, int first, int last) {
    QSqlQuery q(db_.Connection());
    q.setForwardOnly(true);
    if (!db_.Prepare(q, QStringLiteral("SELECT number, raw, temperature, humidity, moment_s, download_id FROM record "
                                       "WHERE log_id = ? AND number BETWEEN ? AND ?")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(log));
    q.addBindValue(first);
    q.addBindValue(last);
    if (!db_.Exec(q)) return std::nullopt;
    Archived out;
    while (q.next()) {
        RecordRow r;
        r.number = q.value(0).toInt();
        r.raw = q.value(1);
        r.temperature = q.value(2).toInt();
        r.humidity = q.value(3);
        if (!r.humidity.isNull()) r.humidity = r.humidity.toInt();
        r.moment = q.value(4);
        if (!r.moment.isNull()) r.moment = q.value(4).toLongLong();
        out.insert(r.number, {r, q.value(5).toLongLong()});
    }
    return out;
}

bool RecordMerge::Merge(std::int64_t log, std::int64_t download, const std::vector<RecordRow>& rows, bool* allNew) {
    if (allNew) *allNew = false;
    if (rows.empty()) return true;
    const int first = rows.front().number, last = rows.back().number;
    auto archived = ArchivedRows(log, first, last);
    if (!archived) return false;
    std::vector<const RecordRow*> fresh;
    std::vector<const RecordRow*> variants;
    for (const RecordRow& r : rows) {
        const auto it = archived->constFind(r.number);
        if (it == archived->cend())
            fresh.push_back(&r);
        else if (!it->first.SameAs(r))
            variants.push_back(&r);
    }
    if (!inserter_) inserter_ = db_.Dialect().recordInserter(db_);
    int inserted = 0;
    if (!inserter_->Insert(log, download, fresh, inserted)) return false;
    if (allNew) *allNew = variants.empty() && inserted == static_cast<int>(rows.size());
    if (inserted < static_cast<int>(fresh.size())) {
        // Another writer archived some of them first: compare with what it kept.
        archived = ArchivedRows(log, first, last);
        if (!archived) return false;
        for (const RecordRow* r : fresh) {
            const auto it = archived->constFind(r->number);
            if (it != archived->cend() && it->second != download && !it->first.SameAs(*r)) variants.push_back(r);
        }
    }
    if (variants.empty()) return true;
    QSqlQuery v(db_.Connection());
    if (!db_.Prepare(v, QStringLiteral("INSERT INTO record_variant (log_id, number, download_id, raw, temperature, "
                                       "humidity, moment_s) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING")))
        return false;
    auto& counts = differing_[download];
    for (const RecordRow* r : variants) {
        BindRecordRow(v, 0, log, download, *r);
        if (!db_.Exec(v)) return false;
        counts[archived->value(r->number).second].insert(r->number);
    }
    return true;
}

bool RecordMerge::ExtendRange(std::int64_t download, int first, int last) {
    QSqlQuery q(db_.Connection());
    if (!db_.Prepare(q, QStringLiteral("UPDATE download SET first_number = CASE WHEN last_number < first_number OR ? < "
                                       "first_number THEN ? ELSE first_number END, last_number = CASE WHEN ? > "
                                       "last_number THEN ? ELSE last_number END WHERE id = ?")))
        return false;
    q.addBindValue(first);
    q.addBindValue(first);
    q.addBindValue(last);
    q.addBindValue(last);
    q.addBindValue(static_cast<qint64>(download));
    return db_.Exec(q);
}

}  // namespace quorvex
