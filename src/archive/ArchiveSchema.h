#pragma once
// The archive's tables, written once for both databases: the few words that differ between
// SQLite and PostgreSQL (an identity column, the byte-string type, SQLite's compact tables
// without a row id) come from the backend's SqlDialect. Each step of kSchemaSteps raises the schema
// version by one and only adds: a newer program upgrades an older archive in place, and an
// older program goes on working with a newer archive.
#include <QString>
#include <QStringList>

#include "archive/SqlDialect.h"

namespace quorvex {

// The statements that bring a schema at `from` (0: empty) up to the newest version.
QStringList SchemaStatements(ArchiveDialect dialect, int from);
int NewestSchemaVersion();

}  // namespace quorvex
