#include "archive/RecordInserter.h"

#include <QStringList>

#include "archive/ArchiveDatabase.h"

namespace quorvex {

QString RecordInsertSql(int rows) {
    const QString one = QStringLiteral("(?, ?, ?, ?, ?, ?, ?)");
    QStringList many;
    for (int i = 0; i < rows; ++i) many << one;
    return QStringLiteral(
               "INSERT INTO record (log_id, number, download_id, raw, temperature, humidity, moment_s) VALUES ") +
           many.join(u',') + QStringLiteral(" ON CONFLICT DO NOTHING");
}

void BindRecordRow(QSqlQuery& q, int at, std::int64_t log, std::int64_t download, const RecordRow& r) {
    q.bindValue(at + 0, static_cast<qint64>(log));
    q.bindValue(at + 1, r.number);
    q.bindValue(at + 2, static_cast<qint64>(download));
    q.bindValue(at + 3, r.raw);
    q.bindValue(at + 4, r.temperature);
    q.bindValue(at + 5, r.humidity);
    q.bindValue(at + 6, r.moment);
}

bool QtRecordInserter::Prepare() {
    if (many_) return true;
    QSqlQuery m(db_.Connection()), s(db_.Connection());
    if (!db_.Prepare(m, RecordInsertSql(kRowsPerInsert)) || !db_.Prepare(s, RecordInsertSql(1))) return false;
    many_ = std::move(m);
    one_ = std::move(s);
    return true;
}

bool QtRecordInserter::Insert(std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
                              int& inserted) {
    if (!Prepare()) return false;
    std::size_t i = 0;
    for (; i + kRowsPerInsert <= fresh.size(); i += kRowsPerInsert) {
        for (int k = 0; k < kRowsPerInsert; ++k)
            BindRecordRow(*many_, k * kColumnsPerRow, log, download, *fresh[i + static_cast<std::size_t>(k)]);
        if (!db_.Exec(*many_)) return false;
        inserted += many_->numRowsAffected();
    }
    for (; i < fresh.size(); ++i) {
        BindRecordRow(*one_, 0, log, download, *fresh[i]);
        if (!db_.Exec(*one_)) return false;
        inserted += one_->numRowsAffected();
    }
    return true;
}

}  // namespace quorvex
