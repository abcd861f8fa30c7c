#pragma once
// The change log: an append-only list in the archive of everything the program did to a logger
// or its records (register writes, clock, start, stop, reset, downloads, imports, exports,
// reports, signatures, files written), each entry chained to the one before it by SHA-256 so
// that an entry changed, removed or put in another place outside the program shows.
//
// The chain. Entry n (from 1) carries
//     hash(n) = SHA-256( hash(n − 1) ‖ canonical(n) )
// with hash(0) = 32 zero bytes and the hashes as their 32 bytes (stored as 64 lower-case hex
// digits). canonical(n) is the entry's fields in this order, each as the decimal count of its
// UTF-8 bytes, ':', those bytes and a line feed (so no text can pass for another split):
//     sequence, moment, user, host, program, serial, kind, subject, before, after, confirmed,
//     download, first record, last record, fingerprint, details
// Numbers in decimal ("-1", "0", "42"); the moment in UTC as yyyy-MM-ddTHH:mm:ss.zzzZ; the kind
// as ChangeKindName gives it. Beside the entries the archive keeps the chain's head (the last
// sequence number and hash): appending takes it under a lock in the same transaction, so two
// programs appending at once still make one chain, and an entry removed from the end shows.
//
// What the chain proves: that the entries are as this program wrote them unless someone who
// can write the archive recomputed the whole chain from the changed entry on. It is evidence
// of unnoticed edits, not a signature.
#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

#include "archive/ArchiveText.h"

namespace quorvex {

enum class ChangeKind {
    RegisterWrite,
    ClockSet,
    Start,
    Stop,
    Reset,
    Download,
    Import,
    Export,
    Report,
    Signature,
    FileWritten,
    TrustedKey,   // a public key taken into the keys whose signatures are trusted here
    Study,        // a mapping study created or changed
    Calibration,  // a logger's calibration recorded or changed
};

struct ChangeEntry {
    std::int64_t sequence = 0;  // given by the archive as it appends: 1 for the first
    QDateTime moment;           // UTC
    QString user, host, program;
    QString serial;  // the logger's serial number; empty when none is known
    ChangeKind kind = ChangeKind::RegisterWrite;
    QString subject;        // the parameter written, or the file
    QString before, after;  // a write: the value as last read, and as read back (or echoed)
    int confirmed = -1;     // a write: 1 the logger confirmed it, 0 not; -1 not a write
    // A download or an import: its row in the archive and the records it brought, which the
    // fingerprint (RecordsFingerprint) covers; download 0 for none.
    std::int64_t download = 0;
    int firstRecord = 0, lastRecord = -1;
    QString fingerprint;
    QString details;
    QString hash;  // 64 hex digits, given by the archive as it appends
};

// "register", "clock", "start", "stop", "reset", "download", "import", "export", "report",
// "signature", "file", "trusted-key", "study", "calibration".
QString ChangeKindName(ChangeKind kind);
std::optional<ChangeKind> ChangeKindFromName(const QString& name);

// The user this program runs as, by name.
QString LocalUserName();

// An entry of `kind` made now by this user on this host with `program` (name and version).
ChangeEntry LocalChange(ChangeKind kind, const QString& program, const QString& serial);

// The entry's canonical bytes (above) and its hash after the entry with `previousHash` (hex;
// empty for the first).
QByteArray CanonicalChange(const ChangeEntry& entry);
QString ChainHash(const QString& previousHash, const QByteArray& canonical);
QString ChangeMomentText(const QDateTime& moment);

// What a check of the change log found.
struct ChangeLogCheck {
    enum class Fault { None, Changed, Records };
    std::int64_t entries = 0;
    Fault fault = Fault::None;
    std::int64_t brokenAt = 0;  // the first entry that no longer holds (changed or removed)

    bool Intact() const { return fault == Fault::None; }
};

// "intact (N entries)", "entry N changed or removed", "the records of entry N changed".
ArchiveText ChangeLogCheckText(const ChangeLogCheck& check);

// Which entries a listing shows: a logger and a period (UTC), each when given.
struct ChangeFilter {
    QString serial;
    QDateTime from, to;
    int limit = 0;  // the first `limit` entries only; 0: all
};

}  // namespace quorvex
