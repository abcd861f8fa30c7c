#pragma once
// Keeps a running download in the archive as it arrives: set as the log download's observer,
// it opens a download in the archive when reading begins, commits every block the moment it
// is in, and closes the download with how it ended. When the archive fails, the operator is
// told once (through `report`) and the download goes on without it; the next download
// archives what is missing. Records that came with other bytes than the archived ones are
// reported when the download ends ("N records differ from the archived download of …").
//
// For the window: construct one beside the LogDownload with the open archive (or nullptr),
// call LogDownload::AddObserver(&archiver), and show what `report` hands over.
#include <QList>
#include <QString>

#include <functional>
#include <optional>

#include "archive/Archive.h"
#include "logs/LogDownload.h"
#include "logs/LogDownloadObserver.h"
#include "params/ParameterModel.h"

namespace quorvex {

class DownloadArchiver : public LogDownloadObserver {
public:
    using Report = std::function<void(const ArchiveText&)>;

    // `program`: name and version; `link`: the port the logger is on.
    DownloadArchiver(Archive* archive, const ParameterModel& params, const LogDownload& logs, QString program,
                     QString link, Report report);

    void SetArchive(Archive* archive);
    void SetLink(const QString& link) { link_ = link; }

    void LogReadStarted(bool resumed) override;
    void LogBlockRead(int firstNumber, const std::uint8_t* data, int byteCount) override;
    void LogReadEnded(const DownloadEnd& end) override;

    // The download in the archive (none before reading began, or after a failure).
    std::optional<std::int64_t> DownloadId() const { return download_; }
    // The log that download belongs to.
    const ArchiveLogKey& LogKey() const { return key_; }
    bool Failed() const { return failed_; }

private:
    void Fail();

    Archive* archive_;
    const ParameterModel& params_;
    const LogDownload& logs_;
    QString program_;
    QString link_;
    Report report_;
    std::optional<std::int64_t> download_;
    ArchiveLogKey key_;
    bool failed_ = false;
};

}  // namespace quorvex
