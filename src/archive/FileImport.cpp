#include "archive/FileImport.h"

#include <QFileInfo>

#include <vector>

#include "archive/ArchiveCatalog.h"
#include "archive/ArchiveDatabase.h"
#include "archive/DownloadFingerprints.h"
#include "archive/LogTally.h"
#include "archive/RecordMerge.h"
#include "logs/ResultsReader.h"

namespace quorvex {

std::optional<int> ImportResultsFile(ArchiveDatabase& db, RecordMerge& merge, const QString& path,
                                     ArchiveDownloadFacts facts) {
    ResultsStore store;
    const ReadResultsOutcome read = ReadResultsFile(path, store);
    if (!read.ok) {
        db.Fail(ArchiveText{read.errorText, {}});
        return std::nullopt;
    }
    facts.sourceFile = QFileInfo(path).fileName();
    facts.link = QFileInfo(path).absoluteFilePath();
    facts.loggerName = store.loggerName;
    facts.loggerType = store.loggerType;
    facts.announced = store.Count();
    const ArchiveLogKey key{store.serialNumber, store.IsEmpty() ? 0 : MomentSeconds(store.At(0).time),
                            store.intervalSeconds};
    const bool humidity = store.HasHumidity();
    std::vector<RecordRow> rows;
    rows.reserve(static_cast<std::size_t>(store.Count()));
    int number = 1;
    store.ForEach(0, store.Count() - 1, [&](const LogRecord& r) {
        rows.push_back({number++, QVariant(), Tenths(r.temperature),
                        humidity ? QVariant(Tenths(r.humidity)) : QVariant(),
                        QVariant(static_cast<qint64>(MomentSeconds(r.time)))});
    });
    // The whole file or nothing of it.
    const bool ok = db.Write([&] {
        const auto log = LogId(db, key, facts.sourceFile, true);
        if (!log || *log == 0) return false;
        const auto download = InsertDownload(db, *log, facts, ArchiveOutcome::Imported);
        if (download) merge.Began(*download, *log);
        bool allNew = false;
        if (!download || !merge.Merge(*log, *download, rows, &allNew) ||
            (!rows.empty() && !merge.ExtendRange(*download, 1, static_cast<int>(rows.size()))))
            return false;
        if (!allNew) return AppendDownloadChange(db, *download, facts.note) && TallyLog(db, *log);
        // Every row went in as given: the records the tables now give back for this import are
        // these, without reading a million of them again.
        ResultsStore brought;
        brought.loggerType = facts.loggerType;
        brought.intervalSeconds = store.intervalSeconds;
        bool any = false;
        for (const RecordRow& r : rows) {
            any = any || !r.humidity.isNull();
            brought.Append(static_cast<float>(r.temperature) / 10.0f,
                           r.humidity.isNull() ? 0.0f : static_cast<float>(r.humidity.toInt()) / 10.0f,
                           MomentFromSeconds(r.moment.toLongLong()));
        }
        brought.humidityInFile = any && !brought.HasHumidity();
        return AppendDownloadChange(db, *download, facts.note, &brought) &&
               TallyLog(db, *log, std::pair{1, static_cast<int>(rows.size())});
    });
    if (!ok) return std::nullopt;
    return store.Count();
}

}  // namespace quorvex
