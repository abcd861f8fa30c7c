#include "archive/SqlDialect.h"

namespace quorvex {

const SqlDialect& DialectOf(ArchiveDialect kind) {
    return kind == ArchiveDialect::Sqlite ? SqliteDialect() : PostgresDialect();
}

}  // namespace quorvex
