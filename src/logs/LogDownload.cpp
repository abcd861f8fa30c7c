#include "logs/LogDownload.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

#include "i18n/ProgramTexts.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

const QString kStartFailed = QStringLiteral("[1044]Odczyt logów przerwany.\nNieprawidłowe dane wejściowe");
// A count of records: "250 logów" ("250 records").
const QString kRecordCount = QStringLiteral("[2705]%1 log|%1 logi|%1 logów");
const QString kResumeFailed = QStringLiteral("[1045]Nie można ponowić odczytu danych");
// Why a resume is refused.
const QString kResumeNoLogger = QStringLiteral("[2706]Logger nie jest połączony lub nie podał jeszcze parametrów.");
const QString kResumeOtherLogger =
    QStringLiteral("[2707]Podłączony jest inny logger (numer seryjny %1) niż ten, z którego pochodzą rekordy (%2).");
const QString kResumeNewLog = QStringLiteral("[2708]Logger rozpoczął od tego czasu nowy zapis.");
const QString kBadBlock = QStringLiteral("Odczyt logów przerwany.\nNieprawidłowy odczyt danych z loggera");
const QString kShortLog = QStringLiteral("[2060]Nie pobrano wszystkich logów zapisanych w loggerze");
const QString kNoArchive = QStringLiteral("[2480]Bez archiwum nowe są wszystkie logi loggera");
const QString kDisagree = QStringLiteral("[2481]Archiwum i logger różnią się w logu %1: pobierany jest cały log");

}  // namespace

LogDownload::LogDownload(ParameterModel& params, ResultsStore& store) : params_(params), store_(store) {}

void LogDownload::AddObserver(LogDownloadObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void LogDownload::RemoveObserver(LogDownloadObserver* observer) { std::erase(observers_, observer); }

void LogDownload::SetParamsReady(bool ready) {
    if (paramsReady_ == ready) return;
    paramsReady_ = ready;
    RefreshView();
}

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
    newOnly_ = quiet_ = comparePending_ = false;
    disagreedAt_ = 0;
    known_ = {};
    limit_ = -1;
    note_.clear();
    ClearResults();
    BeginRead(1);
}

void LogDownload::StartNewRead(ResultsStore& known, const KnownRecords& kept, bool quiet) {
    newOnly_ = true;
    quiet_ = quiet;
    disagreedAt_ = 0;
    known_ = kept;
    note_ = kept.archive ? QString() : TranslateText(kNoArchive);
    ClearResults();
    if (!ParamsReady()) return;
    // Kept records that do not end right before record `through` cannot be continued.
    if (known_.through < 0 || known.Count() != qMax(0, known_.through - 1)) known_.through = 0;
    // A logger announcing fewer records than were kept of its log does not hold the kept log.
    bool ok = false;
    const int announced = params_.Param<WriteIndex>().GetText().toInt(&ok);
    if (ok && known_.through > announced) {
        disagreedAt_ = known_.through;
        NoteLine(kDisagree, QString::number(known_.through));
        known_.through = 0;
    }
    if (known_.through > 1) store_.Swap(known);
    if (!BeginRead(qMax(1, known_.through))) return;
    limit_ = recordsText_.toInt(&ok);
    if (!ok) limit_ = -1;
    comparePending_ = known_.through > 0;
}

bool LogDownload::BeginRead(int firstRecord) {
    if (!ParamsReady()) return false;
    state_ = Starting;
    logCount_ = firstRecord - 1;
    ++chain_;
    badReplies_ = 0;

    if (!ComputeStartTime(startTime_, startSeconds_)) return AbortRead(kStartFailed, DownloadEnd::Kind::Refused), false;
    currentTime_ = MomentFromSeconds(startSeconds_ + static_cast<std::int64_t>(qMax(0, logCount_ - 1)) * intervalSec_);

    const WriteInterval& interval = params_.Param<WriteInterval>();
    store_.writeInterval = interval.GetText();
    // An interval that never arrived has no text; its value would be garbage.
    if (store_.writeInterval.isEmpty()) return AbortRead(kStartFailed, DownloadEnd::Kind::Refused), false;
    intervalSec_ = interval.GetValue();
    store_.intervalSeconds = intervalSec_;

    QueueSetNextRecord(firstRecord);

    store_.loggerName = params_.Param<LoggerName>().GetText();
    store_.loggerType = params_.Param<DeviceType>().GetText();
    store_.serialNumber = params_.Param<SerialNumber>().GetText();
    recordsText_ = params_.Param<WriteIndex>().GetText();

    if (!FillThresholds()) return AbortRead(kStartFailed, DownloadEnd::Kind::Refused), false;

    if (view_) {
        view_->SetStatusLines({TranslateText(QStringLiteral("[1042]Rozpoczęcie odczytu")),
                               TranslateText(QStringLiteral("[1043]danych z loggera"))});
    }
    // Records kept before this read show at once.
    if (view_ && !store_.IsEmpty()) {
        view_->ResultsCleared();
        view_->ResultsAppended(0, store_.Count() - 1);
    }
    bool ok = false;
    const int total = recordsText_.toInt(&ok);
    if (!ok) return AbortRead(kStartFailed, DownloadEnd::Kind::Refused), false;
    if (view_) {
        view_->SetProgressMaximum(total);
        view_->SetProgressPosition(qMax(0, logCount_));
    }
    RefreshView();

    if (!params_.Connected()) return AbortRead(kStartFailed, DownloadEnd::Kind::Refused), false;
    QueueLogRead();
    state_ = Reading;
    RefreshView();
    for (LogDownloadObserver* o : observers_) o->LogReadStarted(false);
    return true;
}

bool LogDownload::KnownRecordMatches(const std::uint8_t* data, std::uint8_t byteCount) {
    comparePending_ = false;
    if (byteCount >= kLogRecordSize && LogRecordValue(data) == known_.lastRaw) return true;
    // The log the logger holds is not the one kept: all of it is read afresh, so nothing
    // of the two is ever mixed.
    disagreedAt_ = known_.through;
    NoteLine(kDisagree, QString::number(known_.through));
    known_.through = 0;
    // The records go; what the read took from the logger's parameters stays.
    ResultsStore fresh;
    fresh.TakeLoggerFacts(store_);
    store_.Swap(fresh);
    if (view_) view_->ResultsCleared();
    logCount_ = 0;
    ++chain_;
    QueueSetNextRecord(1);
    QueueLogRead();
    RefreshView();
    return false;
}

void LogDownload::NoteLine(const QString& numbered, const QString& arg) {
    QString text = TranslateText(numbered);
    if (!arg.isEmpty()) text = text.arg(arg);
    note_ = text;
    params_.NoteLine(text);
}

void LogDownload::AppendLogBlock(const std::uint8_t* data, std::uint8_t byteCount) {
    if (state_ != Reading) return;
    if (byteCount % kLogRecordSize != 0 || (byteCount > 0 && !data)) {
        params_.NoteLine(QStringLiteral("Błąd w funkcji AppendLogBlock. Nieprawidłowa ilość bajtów"));
        return AbortRead(kBadBlock, DownloadEnd::Kind::BadBlock);
    }
    badReplies_ = 0;
    if (comparePending_ && !KnownRecordMatches(data, byteCount)) return;
    // Up to the count announced when the read began: later records come with the next read.
    if (limit_ >= 0 && byteCount > 0)
        byteCount = static_cast<std::uint8_t>(qMin<int>(byteCount, qMax(0, limit_ - logCount_) * kLogRecordSize));

    if (!newOnly_) recordsText_ = params_.Param<WriteIndex>().GetText();
    if (view_) {
        bool ok = false;
        const int total = recordsText_.toInt(&ok);
        view_->SetProgressMaximum(ok ? total : 0);
    }

    const int first = store_.Count();
    // Kept before the table shows it: a crash while drawing loses nothing that arrived.
    if (byteCount > 0)
        for (LogDownloadObserver* o : observers_) o->LogBlockRead(logCount_ + 1, data, byteCount);
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
    if (newOnly_ && limit_ >= 0 && logCount_ >= limit_) return ReadFinished();
    RefreshView();
    QueueLogRead();
}

void LogDownload::LogReadDone(const Request& reply) {
    if (reply.Chain != chain_ || state_ != Reading) return;
    if (reply.CountMismatch) {
        // The logger has moved past the records it claims to have sent: taking the
        // block short would skip them and shift every later time stamp.
        params_.NoteLine(QStringLiteral("Błąd w funkcji AppendLogBlock. Nieprawidłowa ilość bajtów"));
        return AbortRead(kBadBlock, DownloadEnd::Kind::BadBlock);
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
    if (write.Chain == chain_ && state_ == Reading) AbortRead(kStartFailed, DownloadEnd::Kind::Refused);
}

void LogDownload::ReadFinished() {
    if (state_ != Reading) return;
    state_ = Finished;
    RefreshView();
    TellEnded(DownloadEnd::Kind::Finished);
    if (!view_ || quiet_) return;
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

void LogDownload::StopRead(DownloadEnd::Kind why) {
    if (state_ != Reading) return;
    state_ = Aborted;
    RefreshView();
    TellEnded(why);
    if (view_)
        view_->ShowMessageBox(TranslateText(QStringLiteral("[1035]Odczyt przerwany")),
                              TranslateText(QStringLiteral("[1034]Nie odczytano wszystkich danych")),
                              LogDownloadView::BoxIcon::Error);
}

bool LogDownload::Resumable() const { return state_ == Aborted || (state_ == Finished && ShortOfAnnounced()); }

void LogDownload::RefuseResume(const QString& reason) {
    if (view_)
        view_->ShowMessageBox(TranslateText(QStringLiteral("[1020]Błąd")),
                              TranslateText(kResumeFailed) + QStringLiteral(".\n") + TranslateText(reason),
                              LogDownloadView::BoxIcon::Error);
}

void LogDownload::ResumeRead() {
    // Only a download that stopped short can continue; a second chain of reads next to a
    // running one would interleave their blocks.
    if (!Resumable()) return;
    // The button is not offered before the parameters are read.
    if (!ParamsReady()) return;
    if (!params_.Connected()) return RefuseResume(kResumeNoLogger);

    // The records must go on in the same log of the same logger.
    const QString serial = params_.Param<SerialNumber>().GetText();
    if (serial != store_.serialNumber)
        return RefuseResume(TranslateText(kResumeOtherLogger).arg(serial, store_.serialNumber));
    Moment moment = 0;
    std::int64_t seconds = 0;
    if (!ComputeStartTime(moment, seconds) || moment != startTime_ ||
        params_.Param<WriteInterval>().GetText() != store_.writeInterval)
        return RefuseResume(kResumeNewLog);

    recordsText_ = params_.Param<WriteIndex>().GetText();
    bool ok = false;
    const int total = recordsText_.toInt(&ok);
    if (!ok || !FillThresholds()) return RefuseResume(kResumeNoLogger);
    if (view_) view_->SetProgressMaximum(total);
    ++chain_;
    badReplies_ = 0;
    if (newOnly_) limit_ = total;
    comparePending_ = false;
    QueueSetNextRecord(logCount_ + 1);
    QueueLogRead();
    state_ = Reading;
    RefreshView();
    for (LogDownloadObserver* o : observers_) o->LogReadStarted(true);
}

void LogDownload::AbortRead(const QString& message, DownloadEnd::Kind why) {
    const bool wasReading = state_ == Reading;
    state_ = Aborted;
    RefreshView();
    if (wasReading) TellEnded(why);
    if (view_ && !message.isEmpty())
        view_->ShowMessageBox(TranslateText(QStringLiteral("[1020]Błąd")), TranslateText(message),
                              LogDownloadView::BoxIcon::Error);
}

void LogDownload::TellEnded(DownloadEnd::Kind kind) {
    if (observers_.empty()) return;
    DownloadEnd end;
    end.kind = kind;
    end.read = logCount_;
    end.newRecords = NewCount();
    bool ok = false;
    const int announced = recordsText_.toInt(&ok);
    end.announced = ok ? announced : -1;
    end.newOnly = newOnly_;
    // A copy: an observer may go away (or add another) while it is told.
    const std::vector<LogDownloadObserver*> observers = observers_;
    for (LogDownloadObserver* o : observers) o->LogReadEnded(end);
}

QString LogDownload::CountLine(bool withTotal) const {
    // "124/250" is counted as 250 records.
    bool ok = false;
    const int total = withTotal ? recordsText_.toInt(&ok) : 0;
    const QString records =
        withTotal ? CountText(kRecordCount, ok ? total : logCount_, QString::number(logCount_) + u'/' + recordsText_)
                  : CountText(kRecordCount, logCount_);
    if (newOnly_)
        return CountText(QStringLiteral("[2482]Pobrano %1 nowy, razem %2|Pobrano %1 nowe, razem %2|"
                                        "Pobrano %1 nowych, razem %2"),
                         NewCount())
            .arg(records);
    return TranslateText(QStringLiteral("[1031]Pobrano")) + u' ' + records;
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
        view_->SetStatusLines(QStringList{TranslateText(QStringLiteral("[1030]Odczyt danych z loggera")),
                                          QStringLiteral(" "), CountLine(true)} +
                              (note_.isEmpty() ? QStringList() : QStringList{note_}));
        stop = true;
        if (hasRecords) view_->SetButtonEnabled(V::ButtonChart, true);
        view_->SetButtonEnabled(V::ButtonPrintTable, false);
        view_->SetButtonEnabled(V::ButtonSaveResults, false);
        break;
    case Opened:
        view_->SetStatusLines(
            {store_.archivedLogStart ? TranslateText(QStringLiteral("[2603]Wyniki z archiwum"))
                                     : TranslateText(QStringLiteral("[2121]Wyniki z pliku")),
             store_.archivedLogStart
                 ? TranslateText(QStringLiteral("[2604]logger %1, log z %2"))
                       .arg(store_.serialNumber,
                            FromMoment(*store_.archivedLogStart).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                 : QFileInfo(store_.sourceFile).fileName(),
             TranslateText(QStringLiteral("[2122]Wczytano")) + u' ' + CountText(kRecordCount, logCount_)});
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
        if (newOnly_ && !note_.isEmpty()) lines << note_;
        view_->SetStatusLines(lines);
        start = true;
        retry = Resumable();
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
