#include "archive/ArchiveSchema.h"

#include <iterator>

namespace quorvex {

namespace {

// {ID} an identity key, {SEQ} a key the program numbers, {BYTES} a byte string, {COMPACT} the option of a table kept
// in its key's order (SqlDialect). Record moments: logger records leave moment_s empty (start + (number − 1) × interval
// gives it); records imported from a file keep their own. Temperatures and humidities in tenths.
const char* const kVersion1[] = {
    "CREATE TABLE IF NOT EXISTS logger (id {ID}, serial TEXT NOT NULL UNIQUE)",
    "CREATE TABLE IF NOT EXISTS log (id {ID}, logger_id BIGINT NOT NULL REFERENCES logger (id),"
    " start_s BIGINT NOT NULL, interval_s INTEGER NOT NULL, source_file TEXT NOT NULL DEFAULT '',"
    " UNIQUE (logger_id, start_s, interval_s, source_file))",
    "CREATE TABLE IF NOT EXISTS download (id {ID}, log_id BIGINT NOT NULL REFERENCES log (id),"
    " moment TEXT NOT NULL, host TEXT NOT NULL, username TEXT NOT NULL, program TEXT NOT NULL,"
    " link TEXT NOT NULL, logger_name TEXT NOT NULL, logger_type TEXT NOT NULL,"
    " announced INTEGER NOT NULL, first_number INTEGER NOT NULL, last_number INTEGER NOT NULL,"
    " outcome TEXT NOT NULL, registers {BYTES})",
    "CREATE INDEX IF NOT EXISTS download_by_log ON download (log_id)",
    "CREATE TABLE IF NOT EXISTS record (log_id BIGINT NOT NULL, number INTEGER NOT NULL,"
    " download_id BIGINT NOT NULL, raw {BYTES}, temperature INTEGER NOT NULL, humidity INTEGER,"
    " moment_s BIGINT, PRIMARY KEY (log_id, number)){COMPACT}",
    // A record that came again with other content, beside the first one (never over it).
    "CREATE TABLE IF NOT EXISTS record_variant (log_id BIGINT NOT NULL, number INTEGER NOT NULL,"
    " download_id BIGINT NOT NULL, raw {BYTES}, temperature INTEGER NOT NULL, humidity INTEGER,"
    " moment_s BIGINT, PRIMARY KEY (log_id, number, download_id))",
};

// The change log (ChangeLog.h): entries in the order appended, and the chain's head, one row
// that appenders lock to take turns.
const char* const kVersion2[] = {
    "CREATE TABLE IF NOT EXISTS change_log (seq {SEQ}, moment TEXT NOT NULL, username TEXT NOT NULL,"
    " host TEXT NOT NULL, program TEXT NOT NULL, serial TEXT NOT NULL, kind TEXT NOT NULL,"
    " subject TEXT NOT NULL, before_value TEXT NOT NULL, after_value TEXT NOT NULL,"
    " confirmed INTEGER NOT NULL, download_id BIGINT NOT NULL, first_record INTEGER NOT NULL,"
    " last_record INTEGER NOT NULL, fingerprint TEXT NOT NULL, details TEXT NOT NULL, hash TEXT NOT NULL)",
    "CREATE INDEX IF NOT EXISTS change_log_by_serial ON change_log (serial, moment)",
    "CREATE TABLE IF NOT EXISTS change_head (id INTEGER PRIMARY KEY, seq BIGINT NOT NULL, hash TEXT NOT NULL)",
    "INSERT INTO change_head (id, seq, hash) VALUES (1, 0, '') ON CONFLICT DO NOTHING",
};

// Reading a log checks its downloads against their change-log entries: found by download.
const char* const kVersion3[] = {
    "CREATE INDEX IF NOT EXISTS change_log_by_download ON change_log (download_id)",
};

// Each log's count of records as its latest download or import closed, and that close (the
// change log's entry): the list counts a log from here while no download of it is open or
// closed since, instead of walking its records. An archive made before gets the counts of its
// logs once, here.
const char* const kVersion4[] = {
    "CREATE TABLE IF NOT EXISTS log_tally (log_id BIGINT PRIMARY KEY, records BIGINT NOT NULL,"
    " through_seq BIGINT NOT NULL)",
    "INSERT INTO log_tally (log_id, records, through_seq) SELECT l.id, (SELECT COUNT(*) FROM record r"
    " WHERE r.log_id = l.id), (SELECT COALESCE(MAX(c.seq), 0) FROM change_log c JOIN download d"
    " ON d.id = c.download_id WHERE d.log_id = l.id AND c.kind IN ('download', 'import')) FROM log l"
    " WHERE true ON CONFLICT DO NOTHING",
};

// Mapping studies with their positions, and each logger's calibration by its serial number.
// Study moments are whole seconds of Moment, as a log's start; the criteria one line of JSON.
const char* const kVersion5[] = {
    "CREATE TABLE IF NOT EXISTS study (id {ID}, name TEXT NOT NULL UNIQUE, kind TEXT NOT NULL,"
    " from_s BIGINT NOT NULL, to_s BIGINT NOT NULL, stabilise_s BIGINT NOT NULL, criteria TEXT NOT NULL,"
    " plan {BYTES})",
    "CREATE TABLE IF NOT EXISTS study_position (study_id BIGINT NOT NULL REFERENCES study (id),"
    " ordinal INTEGER NOT NULL, label TEXT NOT NULL, note TEXT NOT NULL, plan_x DOUBLE PRECISION,"
    " plan_y DOUBLE PRECISION, serial TEXT NOT NULL, log_start_s BIGINT, source_file TEXT NOT NULL,"
    " PRIMARY KEY (study_id, ordinal))",
    "CREATE TABLE IF NOT EXISTS calibration (serial TEXT PRIMARY KEY, certificate TEXT NOT NULL,"
    " calibrated TEXT NOT NULL, due TEXT NOT NULL, temperature_offset DOUBLE PRECISION NOT NULL,"
    " humidity_offset DOUBLE PRECISION NOT NULL, temperature_uncertainty DOUBLE PRECISION NOT NULL,"
    " humidity_uncertainty DOUBLE PRECISION NOT NULL)",
};

struct Step {
    const char* const* begin;
    const char* const* end;
};
const Step kSteps[] = {{std::begin(kVersion1), std::end(kVersion1)},
                       {std::begin(kVersion2), std::end(kVersion2)},
                       {std::begin(kVersion3), std::end(kVersion3)},
                       {std::begin(kVersion4), std::end(kVersion4)},
                       {std::begin(kVersion5), std::end(kVersion5)}};

QString Fill(QString sql, const SqlDialect& dialect) {
    sql.replace(QStringLiteral("{ID}"), QString::fromLatin1(dialect.identityKey));
    sql.replace(QStringLiteral("{BYTES}"), QString::fromLatin1(dialect.bytes));
    sql.replace(QStringLiteral("{SEQ}"), QString::fromLatin1(dialect.numberedKey));
    sql.replace(QStringLiteral("{COMPACT}"), QString::fromLatin1(dialect.clustered));
    return sql;
}

}  // namespace

int NewestSchemaVersion() { return static_cast<int>(std::size(kSteps)); }

QStringList SchemaStatements(ArchiveDialect dialect, int from) {
    QStringList out;
    for (int v = from; v < NewestSchemaVersion(); ++v)
        for (auto it = kSteps[v].begin; it != kSteps[v].end; ++it)
            out << Fill(QString::fromLatin1(*it), DialectOf(dialect));
    return out;
}

}  // namespace quorvex
