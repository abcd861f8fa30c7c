#include "archive/DownloadedLogFile.h"

#include <QDir>

namespace quorvex {

ArchiveText DifferingText(int count) {
    return {QStringLiteral("[2670]%1 rekord różni się od archiwum|%1 rekordy różnią się od archiwum|"
                           "%1 rekordów różni się od archiwum"),
            {QString::number(count)}};
}

ArchivedLog ArchivedVersion(const ResultsStore& downloaded, Archive* archive, const DownloadArchiver& archiver) {
    ArchivedLog out;
    const auto download = archiver.DownloadId();
    if (!archive || !download || archiver.Failed()) return out;
    for (const ArchiveDifference& d : archive->Differences(*download)) out.differing += d.count;
    if (out.differing == 0) return out;
    out.records = std::make_unique<ResultsStore>();
    const auto log = archive->FindLog(archiver.LogKey());
    if (!log || *log == 0 || !archive->LoadRecords(*log, *out.records)) {
        out.records.reset();
        out.errorText = archive->LastError().Translated();
        return out;
    }
    // The header as the download read it; the records as the archive holds them.
    out.records->TakeLoggerFacts(downloaded);
    return out;
}

int NewRecords(Archive* archive, const DownloadArchiver& archiver, int unknown) {
    const auto download = archiver.DownloadId();
    if (!archive || !download || archiver.Failed()) return unknown;
    return archive->AddedBy(*download).value_or(unknown);
}

WrittenLog WriteDownloadedLog(const QString& folder, const ResultsStore& downloaded, Archive* archive,
                              const DownloadArchiver& archiver, ResultsFormat format, const FileSigner* signer,
                              bool csvDewPoint) {
    WrittenLog out;
    ArchivedLog archived = ArchivedVersion(downloaded, archive, archiver);
    out.differing = archived.differing;
    if (out.differing == 0) {
        out.file = WriteLoggerResults(folder, downloaded, format, signer, csvDewPoint);
        return out;
    }
    // The logger's copy first: whatever becomes of the archive's, what it sent is on disk.
    out.differs = WriteLoggerResults(folder, downloaded, format, signer, csvDewPoint, kDiffersNameTail);
    if (!archived.records) {
        // The file of the log is left as it was rather than given the logger's differing copy.
        out.file.path = QDir(folder).filePath(LoggerResultsFileName(downloaded) + u'.' +
                                              (format == ResultsFormat::Csv ? kResultsCsvSuffix : kResultsFileSuffix));
        out.file.errorText = archived.errorText;
        return out;
    }
    out.archived = std::move(archived.records);
    out.file = WriteLoggerResults(folder, *out.archived, format, signer, csvDewPoint);
    return out;
}

}  // namespace quorvex
