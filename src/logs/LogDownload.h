#pragma once
// LogDownload, the log download: one set-next-record write, then a chain of
// log reads, each reply decoded into the results store until the logger ends
// the chain with an exception reply. Requests go out through the parameter model's channel; the
// results tab is reached through a LogDownloadView (none: nothing is shown), and how a download
// ended reaches its observers as a DownloadEnd. The main window (or the command line) owns one
// instance and calls:
//   buttons "[10]…", "[11]…", "[13]…"     StartRead, StopRead, ResumeRead
//   button "[2483]…" (only what is new)   StartNewRead
//   results opened from a file            ResultsOpened
//   the parameters all read, or lost      SetParamsReady
// and the logger session hands it the thread's log replies (LogReadDone, LogReadRefused,
// LogReadFailed, WriteRefused) and stops it when the link is lost.
// User-interface thread only.
#include <QString>
#include <cstdint>
#include <vector>

#include "logs/LogDownloadObserver.h"
#include "logs/LogDownloadView.h"
#include "logs/ResultsStore.h"
#include "logs/Thresholds.h"
#include "modbus/Request.h"
#include "params/ParameterModel.h"

namespace quorvex {

class LogDownload {
public:
    // Opened: the store holds results opened from a file (its sourceFile);
    // they can be shown, printed and saved, not resumed.
    enum State : std::int8_t { Idle = 1, Starting = 2, Reading = 3, Finished = 4, Aborted = 5, Opened = 6 };

    explicit LogDownload(ParameterModel& params, ResultsStore& store);
    LogDownload(const LogDownload&) = delete;
    LogDownload& operator=(const LogDownload&) = delete;

    // Where the controls are; nullptr detaches (every step then skips the view).
    void SetView(LogDownloadView* view) { view_ = view; }
    // The chart's thresholds block; may stay unset.
    void SetThresholds(Thresholds* thresholds) { thresholds_ = thresholds; }
    // Who keeps the blocks as they arrive and learns how the download ended (the archive, the
    // logger session); each is told in the order added.
    void AddObserver(LogDownloadObserver* observer);
    void RemoveObserver(LogDownloadObserver* observer);
    // The logger's parameters have all been read since the link last opened or was reset: only
    // then can a download start or resume (the buttons say so too).
    void SetParamsReady(bool ready);

    // What an earlier download kept of the logger's current log, for a read of only what is new.
    struct KnownRecords {
        int through = 0;            // records 1…through are kept (0: none)
        std::uint32_t lastRaw = 0;  // record `through` as kept: its 4 bytes, the first highest
        bool archive = true;        // false: there is nothing to ask, so the whole log is new
    };

    void Reset();
    void StartRead();
    // As StartRead, but the results begin with `known` (records 1…through − 1 as kept; it is
    // swapped into the store) and reading starts at record `through`: when the logger's record
    // `through` has the kept bytes the read goes on from there, otherwise the two disagree, it is
    // said and the whole log is read. Either way it reads up to the record count the logger
    // announces now; records it adds meanwhile come with the next read. `quiet`: no box when the
    // read has finished (an unattended read tells the operator its own way).
    void StartNewRead(ResultsStore& known, const KnownRecords& kept, bool quiet = false);
    // `why`: what stopped it, as the observers are told (the operator, unless the link went).
    void StopRead(DownloadEnd::Kind why = DownloadEnd::Kind::Stopped);
    // Goes on after the last record read, of a download that was stopped or broken off or that
    // ended short of the count the logger announced (the only ones the button offers). Refused
    // with a box saying why when the logger is not the one, or not in the log, the records
    // came from; the records shown stay as they are.
    void ResumeRead();
    // The thread's hand-overs of a log read. Each read carries the number of the chain that
    // queued it; a reply to a read of an earlier chain (queued or in flight when the operator
    // stopped and started or resumed again) is ignored, so two chains never mix.
    // LogReadDone: a block; one whose byte count disagreed with its length is a bad block.
    void LogReadDone(const Request& reply);
    // LogReadRefused: the logger's end of the log.
    void LogReadRefused(const Request& reply);
    // LogReadFailed: the read got a corrupted reply. The logger has moved past that block,
    // so it is asked again from the last good record, up to kBadReplyRetries times in a row.
    // False when the download gives up (the caller then treats the logger as not answering).
    bool LogReadFailed(const Request& reply);
    // The logger refused a write (message WriteRefused): when it is this download's set-next-record
    // write, the reads that follow it would not start where they should, so the download stops.
    void WriteRefused(const Request& write);

    // One block of the current chain: its data bytes, valid only during the call.
    void AppendLogBlock(const std::uint8_t* data, std::uint8_t byteCount);
    void ReadFinished();
    // The store's records were replaced by those of a file: no download is
    // running or can be resumed; the table starts afresh.
    void ResultsOpened();
    // Ends the download with a box (`message`); `why` reaches the observers when a read was running.
    void AbortRead(const QString& message, DownloadEnd::Kind why);
    void RefreshView();

    State GetState() const { return state_; }
    std::int32_t LogCount() const { return logCount_; }
    std::int32_t IntervalSec() const { return intervalSec_; }
    Moment StartTime() const { return startTime_; }
    Moment CurrentTime() const { return currentTime_; }
    const QString& RecordsText() const { return recordsText_; }
    // The running or last read was one of only what is new (StartNewRead).
    bool NewOnly() const { return newOnly_; }
    // Records that read brought beyond those kept before it.
    int NewCount() const { return newOnly_ ? qMax(0, logCount_ - qMax(0, known_.through)) : logCount_; }
    // The logger's record disagreed with the kept one, so the whole log was read.
    bool Disagreed() const { return disagreedAt_ > 0; }
    // The kept record the logger's disagreed with (0: none).
    int DisagreedAt() const { return disagreedAt_; }

    static constexpr std::uint8_t kLogReadAttempts = 1;
    static constexpr int kBadReplyRetries = 3;

private:
    bool ParamsReady() const { return paramsReady_; }
    bool ComputeStartTime(Moment& moment, std::int64_t& seconds) const;
    bool FillThresholds();
    void QueueSetNextRecord(std::int32_t number);
    void QueueLogRead() const;
    void ClearResults();
    QString CountLine(bool withTotal) const;

public:
    // Fewer records arrived than the logger announced.
    bool ShortOfAnnounced() const;
    // Something to resume: a download stopped or broken off, or one that ended short.
    bool Resumable() const;
    // The box of a refused resume, with the reason.
    void RefuseResume(const QString& reason);

private:
    void TellEnded(DownloadEnd::Kind kind);
    bool BeginRead(int firstRecord);
    // The first record of a read of only what is new against the kept one; false when they
    // differ (the read then starts again from record 1).
    bool KnownRecordMatches(const std::uint8_t* data, std::uint8_t byteCount);
    void NoteLine(const QString& numbered, const QString& arg = {});

    State state_ = Idle;
    std::int32_t logCount_ = 0;
    std::int32_t intervalSec_ = 0;
    Moment startTime_ = 0.0;
    Moment currentTime_ = 0.0;
    QString recordsText_;
    LogDownloadView* view_ = nullptr;
    Thresholds* thresholds_ = nullptr;
    std::vector<LogDownloadObserver*> observers_;
    bool paramsReady_ = false;

    ParameterModel& params_;
    ResultsStore& store_;
    // startTime in whole seconds since 30 December 1899: record k's moment is
    // computed from it and k, so a long download's time line does not drift.
    std::int64_t startSeconds_ = 0;
    // The chain of reads running now; every start and resume begins a new one.
    std::uint32_t chain_ = 0;
    // Corrupted replies in a row in this chain.
    int badReplies_ = 0;
    // A read of only what is new: what was kept, the count it reads up to (-1: to the end of the
    // log), the first record still to be compared, and what the status list says about it.
    bool newOnly_ = false;
    bool quiet_ = false;
    int disagreedAt_ = 0;
    bool comparePending_ = false;
    KnownRecords known_;
    int limit_ = -1;
    QString note_;
};

}  // namespace quorvex
