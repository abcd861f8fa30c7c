#include "logs/LogDownload.h"

#include <QFileInfo>

#include <array>

#include "params/Codecs.h"

namespace quorvex {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

const QString kStartFailed = QStringLiteral("[1044]Odczyt logów przerwany.\nNieprawidłowe dane wejściowe");
const QString kResumeFailed = QStringLiteral("[1045]Nie można ponowić odczytu danych");
const QString kBadBlock = QStringLiteral("Odczyt logów przerwany.\nNieprawidłowy odczyt danych z loggera");
const QString kShortLog = QStringLiteral("[2060]Nie pobrano wszystkich logów zapisanych w loggerze");

}  // namespace

LogDownload::LogDownload(ParameterModel& params, ResultsStore& store) : params_(params), store_(store) {}

void LogDownload::ClearResults() {
    store_.Clear();
    // The table reads the store, so it empties with it.
    if (view_) view_->ResultsCleared();
}

void LogDownload::Reset() {
    state_ = Idle;
    recordsText_.clear();
    ClearResults();
    if (view_) {
        view_->SetLoggerInfo({});
        view_->SetProgressPosition(0);
    }
    RefreshView();
}

bool LogDownload::ComputeStartTime(Moment& moment, std::int64_t& seconds) const {
    const auto date = ParseDateTimeText(params_.Param<LogStartDate>().GetText());
    const auto time = ParseDateTimeText(params_.Param<LogStartTime>().GetText());
    if (!date || !time) return false;
    moment = ToMoment(date->date(), time->time());
    seconds = kMomentEpoch.daysTo(date->date()) * kSecondsPerDay + time->time().msecsSinceStartOfDay() / 1000;
    return true;
}

bool LogDownload::FillThresholds() {
    Thresholds t;
    const bool read = ParseNumber(params_.Param<HighTemp>().GetText(), t.highTemp) &&
                      ParseNumber(params_.Param<LowTemp>().GetText(), t.lowTemp) &&
                      ParseNumber(params_.Param<HighHum>().GetText(), t.highHum) &&
                      ParseNumber(params_.Param<LowHum>().GetText(), t.lowHum);
    // The results keep them for their summary; without them it leaves out the
    // time beyond the thresholds.
    if (read)
        store_.thresholds = t;
    else
        store_.thresholds.reset();
    if (!thresholds_) return true;
    if (!read) return false;
    *thresholds_ = t;
    return true;
}

void LogDownload::QueueSetNextRecord(std::int32_t number) {
    ReadIndex& index = params_.Param<ReadIndex>();
    index.SetValue(number);
    const std::array<std::uint16_t, 2> words{index.Reg0, index.Reg1};
    params_.WriteRegisters(index, words, chain_);
}

void LogDownload::QueueLogRead() const {
    if (!params_.Connected()) return;
    Request r;
    r.Tag = TAG_LOG;
    r.Chain = chain_;
    r.Address = kLoggerAddress;
    r.Function = FN_READ_HOLDING;
    r.StartRegister = kLogRegister;
    r.Count = 0;  // the logger decides how many records a reply carries
    r.Attempts = kLogReadAttempts;
    params_.Enqueue(r);
}

void LogDownload::StartRead() {
    ClearResults();
    if (!ParamsReady()) return;
    state_ = Starting;
    logCount_ = 0;
    ++chain_;
    badReplies_ = 0;

    if (!ComputeStartTime(startTime_, startSeconds_)) return AbortRead(kStartFailed);

    const WriteInterval& interval = params_.Param<WriteInterval>();
    store_.writeInterval = interval.GetText();
    // An interval that never arrived has no text; its value would be garbage.
    if (store_.writeInterval.isEmpty()) return AbortRead(kStartFailed);
    intervalSec_ = interval.GetValue();
    store_.intervalSeconds = intervalSec_;

    QueueSetNextRecord(1);

    store_.loggerName = params_.Param<LoggerName>().GetText();
    store_.loggerType = params_.Param<DeviceType>().GetText();
    store_.serialNumber = params_.Param<SerialNumber>().GetText();
    recordsText_ = params_.Param<WriteIndex>().GetText();

    if (!FillThresholds()) return AbortRead(kStartFailed);

    if (view_)
        view_->SetStatusLines({TranslateText(QStringLiteral("[1042]Rozpoczęcie odczytu")),
                               TranslateText(QStringLiteral("[1043]danych z loggera"))});
    bool ok = false;
    const int total = recordsText_.toInt(&ok);
    if (!ok) return AbortRead(kStartFailed);
    if (view_) {
        view_->SetProgressMaximum(total);
        view_->SetProgressPosition(0);
    }
    RefreshView();

    if (!params_.Connected()) return AbortRead(kStartFailed);
    QueueLogRead();
    state_ = Reading;
    RefreshView();
    if (observer_) observer_->LogReadStarted(false);
}

void LogDownload::AppendLogBlock(const std::uint8_t* data, std::uint8_t byteCount) {
    if (state_ != Reading) return;
    if (byteCount % kLogRecordSize != 0 || (byteCount > 0 && !data)) {
        params_.NoteLine(QStringLiteral("Błąd w funkcji AppendLogBlock. Nieprawidłowa ilość bajtów"));
        return AbortRead(kBadBlock);
    }
    badReplies_ = 0;

    recordsText_ = params_.Param<WriteIndex>().GetText();
    if (view_) {
        bool ok = false;
        const int total = recordsText_.toInt(&ok);
        view_->SetProgressMaximum(ok ? total : 0);
    }

    const int first = store_.Count();
    // Kept before the table shows it: a crash while drawing loses nothing that arrived.
    if (observer_ && byteCount > 0) observer_->LogBlockRead(logCount_ + 1, data, byteCount);
    for (int offset = 0; offset < byteCount; offset += kLogRecordSize) {
        const DecodedRecord r = DecodeLogRecord(LogRecordValue(data + offset));
        // Record k of the download is stamped startTime + (k − 1) × intervalSec.
        currentTime_ = MomentFromSeconds(startSeconds_ + static_cast<std::int64_t>(logCount_) * intervalSec_);
        ++logCount_;
        store_.Append(r.temperature, r.humidity, currentTime_);
    }
    if (view_ && byteCount > 0) {
        view_->SetProgressPosition(logCount_);
        view_->ResultsAppended(first, store_.Count() - 1);
    }

    state_ = Reading;
    RefreshView();
    QueueLogRead();
}

void LogDownload::LogReadDone(const Request& reply) {
    if (reply.Chain != chain_ || state_ != Reading) return;
    if (reply.CountMismatch) {
        // The logger has moved past the records it claims to have sent: taking the
        // block short would skip them and shift every later time stamp.
        params_.NoteLine(QStringLiteral("Błąd w funkcji AppendLogBlock. Nieprawidłowa ilość bajtów"));
        return AbortRead(kBadBlock);
    }
    AppendLogBlock(reply.Data, reply.ByteCount);
}

void LogDownload::LogReadRefused(const Request& reply) {
    if (reply.Chain == chain_) ReadFinished();
}

bool LogDownload::LogReadFailed(const Request& reply) {
    if (reply.Chain != chain_ || state_ != Reading) return true;  // not a read of this download
    if (badReplies_ >= kBadReplyRetries || !params_.Connected()) return false;
    ++badReplies_;
    params_.NoteLine(
        QStringLiteral("Funkcja LogReadFailed. Uszkodzony blok logów, ponowny odczyt od logu %1").arg(logCount_ + 1));
    // Asking for the same read again would get the next block; setting the next record
    // first gets the lost one.
    QueueSetNextRecord(logCount_ + 1);
    QueueLogRead();
    return true;
}

void LogDownload::WriteRefused(const Request& write) {
    // Reading on from wherever the logger's pointer stands would stamp records with the
    // wrong moments.
    if (write.Chain == chain_ && state_ == Reading) AbortRead(kStartFailed);
}

void LogDownload::ReadFinished() {
    if (state_ != Reading) return;
    state_ = Finished;
    RefreshView();
    TellEnded();
    if (!view_) return;
    const QString done = TranslateText(QStringLiteral("[1036]Odczyt danych zakończony"));
    if (ShortOfAnnounced())
        view_->ShowMessageBox(TranslateText(QStringLiteral("Logger")),
                              done + u'\n' + CountLine(true) + u'\n' + TranslateText(kShortLog),
                              LogDownloadView::BoxIcon::Warning);
    else
        view_->ShowMessageBox(TranslateText(QStringLiteral("Logger")), done, LogDownloadView::BoxIcon::Information);
}

void LogDownload::ResultsOpened() {
    // A reply still on its way belongs to no download any more.
    ++chain_;
    state_ = Opened;
    logCount_ = store_.Count();
    recordsText_.clear();
    if (view_) {
        view_->ResultsCleared();
        // All of the file is there.
        view_->SetProgressMaximum(logCount_);
        view_->SetProgressPosition(logCount_);
    }
    RefreshView();
}

void LogDownload::StopRead() {
    if (state_ != Reading) return;
    state_ = Aborted;
    RefreshView();
    TellEnded();
    if (view_)
        view_->ShowMessageBox(TranslateText(QStringLiteral("[1035]Odczyt przerwany")),
                              TranslateText(QStringLiteral("[1034]Nie odczytano wszystkich danych")),
                              LogDownloadView::BoxIcon::Error);
}

void LogDownload::ResumeRead() {
    // Only a download that finished or broke off can continue; a second chain
    // of reads next to a running one would interleave their blocks.
    if (state_ != Finished && state_ != Aborted) return;
    if (!ParamsReady()) return;

    Moment moment = 0;
    std::int64_t seconds = 0;
    if (!ComputeStartTime(moment, seconds) || moment != startTime_) return AbortRead(kResumeFailed);
    if (params_.Param<WriteInterval>().GetText() != store_.writeInterval) return AbortRead(kResumeFailed);
    if (params_.Param<SerialNumber>().GetText() != store_.serialNumber) return AbortRead(kResumeFailed);

    recordsText_ = params_.Param<WriteIndex>().GetText();
    bool ok = false;
    const int total = recordsText_.toInt(&ok);
    if (!ok) return AbortRead(kResumeFailed);
    if (view_) view_->SetProgressMaximum(total);

    if (!FillThresholds()) return AbortRead(kResumeFailed);
    if (!params_.Connected()) return AbortRead(kResumeFailed);
    ++chain_;
    badReplies_ = 0;
    QueueSetNextRecord(logCount_ + 1);
    QueueLogRead();
    state_ = Reading;
    RefreshView();
    if (observer_) observer_->LogReadStarted(true);
}

void LogDownload::AbortRead(const QString& message) {
    const bool wasReading = state_ == Reading;
    state_ = Aborted;
    RefreshView();
    if (wasReading) TellEnded();
    if (view_ && !message.isEmpty())
        view_->ShowMessageBox(TranslateText(QStringLiteral("Błąd")), TranslateText(message),
                              LogDownloadView::BoxIcon::Error);
}

void LogDownload::TellEnded() {
    if (observer_) observer_->LogReadEnded();
}

QString LogDownload::CountLine(bool withTotal) const {
    QString line = TranslateText(QStringLiteral("[1031]Pobrano")) + u' ' + QString::number(logCount_);
    if (withTotal) line += u'/' + recordsText_;
    return line + u' ' + TranslateText(QStringLiteral("[1032]logów"));
}

bool LogDownload::ShortOfAnnounced() const {
    bool ok = false;
    const int announced = recordsText_.toInt(&ok);
    return ok && logCount_ < announced;
}

void LogDownload::RefreshView() {
    if (!view_) return;
    using V = LogDownloadView;
    view_->SetLoggerInfo(LoggerInfoRows(store_));

    const bool hasRecords = !store_.IsEmpty();
    bool start = false, retry = false, stop = false;
    switch (state_) {
    case Idle:
        view_->SetStatusLines({});
        start = true;
        view_->SetButtonEnabled(V::ButtonChart, false);
        view_->SetButtonEnabled(V::ButtonPrintTable, false);
        view_->SetButtonEnabled(V::ButtonSaveResults, false);
        break;
    case Starting:
        view_->SetStatusLines({TranslateText(QStringLiteral("[1042]Rozpoczęcie odczytu")),
                               TranslateText(QStringLiteral("[1043]danych z loggera"))});
        stop = true;
        view_->SetButtonEnabled(V::ButtonChart, false);
        view_->SetButtonEnabled(V::ButtonPrintTable, false);
        view_->SetButtonEnabled(V::ButtonSaveResults, false);
        break;
    case Reading:
        view_->SetStatusLines(
            {TranslateText(QStringLiteral("[1030]Odczyt danych z loggera")), QStringLiteral(" "), CountLine(true)});
        stop = true;
        if (hasRecords) view_->SetButtonEnabled(V::ButtonChart, true);
        view_->SetButtonEnabled(V::ButtonPrintTable, false);
        view_->SetButtonEnabled(V::ButtonSaveResults, false);
        break;
    case Opened:
        view_->SetStatusLines({TranslateText(QStringLiteral("[2121]Wyniki z pliku")),
                               QFileInfo(store_.sourceFile).fileName(),
                               TranslateText(QStringLiteral("[2122]Wczytano")) + u' ' + QString::number(logCount_) +
                                   u' ' + TranslateText(QStringLiteral("[1032]logów"))});
        start = true;
        view_->SetButtonEnabled(V::ButtonChart, hasRecords);
        view_->SetButtonEnabled(V::ButtonPrintTable, hasRecords);
        view_->SetButtonEnabled(V::ButtonSaveResults, hasRecords);
        break;
    case Finished:
    case Aborted: {
        // A log that ended short of what the logger announced keeps the count of both and says so.
        const bool shortLog = state_ == Finished && ShortOfAnnounced();
        QStringList lines{state_ == Finished ? TranslateText(QStringLiteral("[1036]Odczyt danych zakończony"))
                                             : TranslateText(QStringLiteral("[1033]Odczyt danych przerwany")),
                          QString(), CountLine(state_ == Aborted || shortLog)};
        if (shortLog) lines << TranslateText(kShortLog);
        view_->SetStatusLines(lines);
        start = retry = true;
        if (hasRecords) {
            view_->SetButtonEnabled(V::ButtonChart, true);
            view_->SetButtonEnabled(V::ButtonPrintTable, true);
            view_->SetButtonEnabled(V::ButtonSaveResults, true);
        }
        break;
    }
    }
    if (!ParamsReady()) start = retry = false;
    view_->SetButtonEnabled(V::ButtonStart, start);
    view_->SetButtonEnabled(V::ButtonRetry, retry);
    view_->SetButtonEnabled(V::ButtonStop, stop);
}

}  // namespace quorvex
