#include "archive/DownloadFingerprints.h"

#include <QSqlQuery>

#include "archive/Archive.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchivedRecords.h"
#include "archive/ChangeLogTable.h"
#include "logs/RecordsFingerprint.h"

namespace quorvex {

bool AppendDownloadChange(ArchiveDatabase& db, std::int64_t download, const QString& note,
                          const ResultsStore* brought) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT g.serial, d.host, d.username, d.program, d.link, d.first_number, "
                                      "d.last_number, d.outcome FROM download d JOIN log l ON d.log_id = l.id "
                                      "JOIN logger g ON l.logger_id = g.id WHERE d.id = ?")))
        return false;
    q.addBindValue(static_cast<qint64>(download));
    if (!db.Exec(q)) return false;
    if (!q.next()) return db.Fail(QStringLiteral("no such download"));
    const bool imported = q.value(7).toString() == OutcomeName(ArchiveOutcome::Imported);
    ChangeEntry e =
        LocalChange(imported ? ChangeKind::Import : ChangeKind::Download, q.value(3).toString(), q.value(0).toString());
    e.host = q.value(1).toString();
    e.user = q.value(2).toString();
    e.subject = q.value(4).toString();
    e.download = download;
    e.firstRecord = q.value(5).toInt();
    e.lastRecord = q.value(6).toInt();
    e.details = q.value(7).toString();
    if (!note.isEmpty()) e.details += QStringLiteral("; ") + note;
    q.finish();
    if (brought) {
        e.fingerprint = RecordsFingerprint(*brought);
    } else {
        ResultsStore records;
        if (!DownloadRecords(db, download, e.firstRecord, e.lastRecord, records)) return false;
        e.fingerprint = RecordsFingerprint(records);
    }
    return AppendChangeRow(db, e);
}

std::optional<int> ChangedRecord(ArchiveDatabase& db, std::int64_t log) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    if (!db.Prepare(q, QStringLiteral("SELECT c.download_id, c.first_record, c.last_record, c.fingerprint "
                                      "FROM change_log c JOIN download d ON d.id = c.download_id "
                                      "WHERE d.log_id = ? AND c.kind IN ('download', 'import') ORDER BY c.seq")))
        return std::nullopt;
    q.addBindValue(static_cast<qint64>(log));
    if (!db.Exec(q)) return std::nullopt;
    struct Covered {
        std::int64_t download;
        int first, last;
        QString fingerprint;
    };
    QList<Covered> entries;
    while (q.next())
        entries.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toString()});
    q.finish();
    int changed = 0;
    for (const Covered& e : entries) {
        ResultsStore records;
        int odd = 0;
        if (!DownloadRecords(db, e.download, e.first, e.last, records, &odd)) return std::nullopt;
        if (odd == 0 && RecordsFingerprint(records) != e.fingerprint) odd = qMax(1, e.first);
        if (odd > 0 && (changed == 0 || odd < changed)) changed = odd;
    }
    return changed;
}

std::optional<ChangeLogCheck> CheckChanges(ArchiveDatabase& db) {
    ChangeLogCheck check;
    QList<ChangeEntry> downloads;
    if (!CheckChangeChain(db, check, downloads)) return std::nullopt;
    // Entries in order: the first whose records no longer give its fingerprint, when that
    // comes before a break of the chain.
    for (const ChangeEntry& entry : downloads) {
        ResultsStore records;
        int odd = 0;
        if (!DownloadRecords(db, entry.download, entry.firstRecord, entry.lastRecord, records, &odd))
            return std::nullopt;
        if (odd != 0 || RecordsFingerprint(records) != entry.fingerprint) {
            check.fault = ChangeLogCheck::Fault::Records;
            check.brokenAt = entry.sequence;
            break;
        }
    }
    return check;
}

}  // namespace quorvex
