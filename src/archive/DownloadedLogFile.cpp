#include "archive/DownloadedLogFile.h"

#include <QDir>

namespace quorvex {

ArchiveText DifferingText(int count) {
    return {QStringLiteral("[2670]%1 rekord różni się od archiwum|%1 rekordy różnią się od archiwum|"
                           "%1 rekordów różni się od archiwum"),
            {QString::number(count)}};
}

WrittenLog WriteDownloadedLog(const QString& folder, const ResultsStore& downloaded, Archive* archive,
                              const DownloadArchiver& archiver, ResultsFormat format, const FileSigner* signer,
                              bool csvDewPoint) {
    WrittenLog out;
    const auto download = archiver.DownloadId();
    if (archive && download && !archiver.Failed())
        for (const ArchiveDifference& d : archive->Differences(*download)) out.differing += d.count;
    if (out.differing == 0) {
        out.file = WriteLoggerResults(folder, downloaded, format, signer, csvDewPoint);
        return out;
    }
    // The logger's copy first: whatever becomes of the archive's, what it sent is on disk.
    out.differs = WriteLoggerResults(folder, downloaded, format, signer, csvDewPoint, kDiffersNameTail);
    out.archived = std::make_unique<ResultsStore>();
    ResultsStore& archived = *out.archived;
    const auto log = archive->FindLog(archiver.LogKey());
    if (!log || *log == 0 || !archive->LoadRecords(*log, archived)) {
        out.archived.reset();
        // The file of the log is left as it was rather than given the logger's differing copy.
        out.file.path = QDir(folder).filePath(LoggerResultsFileName(downloaded) + u'.' +
                                              (format == ResultsFormat::Csv ? kResultsCsvSuffix : kResultsFileSuffix));
        out.file.errorText = archive->LastError().Translated();
        return out;
    }
    // The header as the download read it; the records as the archive holds them.
    archived.TakeLoggerFacts(downloaded);
    out.file = WriteLoggerResults(folder, archived, format, signer, csvDewPoint);
    return out;
}

}  // namespace quorvex
