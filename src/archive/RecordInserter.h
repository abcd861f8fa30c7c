#pragma once
// What puts new records into the record table: each backend's fastest way (SqlDialect's
// recordInserter), and the multi-row inserts through Qt's driver that every backend can fall
// back on.
#include <QSqlQuery>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "archive/RecordRows.h"

namespace quorvex {

class ArchiveDatabase;

// Rows one insert statement carries: fewer statements, and far below either server's limit of
// bound values.
constexpr int kRowsPerInsert = 256;
constexpr int kColumnsPerRow = 7;

class RecordInserter {
public:
    virtual ~RecordInserter() = default;
    // Inside a write transaction: `fresh` into the record table, a record another writer archived
    // meanwhile left as it was; counts those that went in.
    virtual bool Insert(std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
                        int& inserted) = 0;
};

// "INSERT INTO record (…) VALUES (…), … ON CONFLICT DO NOTHING" for `rows` rows.
QString RecordInsertSql(int rows);

// Binds one row's values from parameter `at` on.
void BindRecordRow(QSqlQuery& q, int at, std::int64_t log, std::int64_t download, const RecordRow& r);

class QtRecordInserter final : public RecordInserter {
public:
    explicit QtRecordInserter(ArchiveDatabase& db) : db_(db) {}
    bool Insert(std::int64_t log, std::int64_t download, const std::vector<const RecordRow*>& fresh,
                int& inserted) override;

private:
    bool Prepare();

    ArchiveDatabase& db_;
    std::optional<QSqlQuery> many_, one_;  // kRowsPerInsert rows, one row; prepared on first use
};

}  // namespace quorvex
