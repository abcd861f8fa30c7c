#include "archive/DownloadArchiver.h"

#include <vector>

#include "archive/ArchiveRegisters.h"

namespace quorvex {

DownloadArchiver::DownloadArchiver(Archive* archive, const ParameterModel& params, const LogDownload& logs,
                                   QString program, QString link, Report report)
    : archive_(archive),
      params_(params),
      logs_(logs),
      program_(std::move(program)),
      link_(std::move(link)),
      report_(std::move(report)) {}

void DownloadArchiver::SetArchive(Archive* archive) {
    archive_ = archive;
    download_.reset();
    failed_ = false;
}

void DownloadArchiver::LogReadStarted(bool resumed) {
    if (!archive_) return;
    const auto key = CurrentLogKey(params_);
    // Resuming the same log goes on in the same download; anything else (also a resume after the
    // archive failed, which tries it again) is a download of its own.
    if (resumed && download_ && !failed_ && key && key->serial == key_.serial &&
        key->startSeconds == key_.startSeconds && key->intervalSeconds == key_.intervalSeconds)
        return;
    download_.reset();
    failed_ = false;
    if (!key) return;
    key_ = *key;
    ArchiveDownloadFacts facts = LocalDownloadFacts(program_, link_);
    facts.loggerName = params_.Param<LoggerName>().GetText();
    facts.loggerType = params_.Param<DeviceType>().GetText();
    facts.announced = logs_.RecordsText().toInt();
    facts.registers = RegistersBytes(params_);
    download_ = archive_->BeginDownload(key_, facts);
    if (!download_) Fail();
}

void DownloadArchiver::LogBlockRead(int firstNumber, const std::uint8_t* data, int byteCount) {
    if (!archive_ || !download_ || failed_) return;
    std::vector<std::uint32_t> raw;
    raw.reserve(static_cast<std::size_t>(byteCount / kLogRecordSize));
    for (int offset = 0; offset + kLogRecordSize <= byteCount; offset += kLogRecordSize)
        raw.push_back(LogRecordValue(data + offset));
    if (!archive_->AddRecords(*download_, firstNumber, raw)) Fail();
}

void DownloadArchiver::LogReadEnded(const DownloadEnd& end) {
    if (!archive_ || !download_ || failed_) return;
    const ArchiveOutcome outcome = end.kind != DownloadEnd::Kind::Finished ? ArchiveOutcome::Stopped
                                   : end.Short()                           ? ArchiveOutcome::Short
                                                                           : ArchiveOutcome::Complete;
    if (!archive_->EndDownload(*download_, outcome)) return Fail();
    if (report_)
        for (const ArchiveText& text : DifferenceTexts(archive_->Differences(*download_))) report_(text);
}

void DownloadArchiver::Fail() {
    failed_ = true;
    if (!report_) return;
    report_(archive_->LastError());
    report_(
        {QStringLiteral("[2306]Odczyt trwa dalej bez archiwum; następny odczyt zarchiwizuje brakujące rekordy"), {}});
}

}  // namespace quorvex
