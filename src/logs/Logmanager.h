#pragma once
// MLogManager, the log download: one set-next-record write, then a chain of
// log reads, each reply decoded into the results store until the logger ends
// the chain with an exception reply. Requests go out through EnqueueHook; the
// results tab is reached through a LogManagerView. The main window owns one
// instance and calls:
//   buttons "[10]…", "[11]…", "[13]…"     StartRead, StopRead, ResumeRead
//   message 1038 WM_LOG_READ_DONE         WriteLogsToBufor(Data, ByteCount)
//   message 1039 WM_LOG_READ_REFUSED      ReadFinished
//   MonitorReset                          StopRead
//   paramsReady changed                   RefreshView
//   results opened from a file            ResultsOpened
// User-interface thread only.
#include <QString>
#include <cstdint>

#include "logs/LogManagerView.h"
#include "logs/Logi.h"
#include "logs/Thresholds.h"
#include "params/Datamanager.h"

namespace quorvex {

class MLogManager {
public:
    // Opened: the store holds results opened from a file (its sourceFile);
    // they can be shown, printed and saved, not resumed.
    enum State : std::int8_t { Idle = 1, Starting = 2, Reading = 3, Finished = 4, Aborted = 5, Opened = 6 };

    explicit MLogManager(MDataParametry& params, MLogi& store = Logi);
    MLogManager(const MLogManager&) = delete;
    MLogManager& operator=(const MLogManager&) = delete;

    // Where the controls are; nullptr detaches (every step then skips the view).
    void SetView(LogManagerView* view) { view_ = view; }
    // The chart's thresholds block; may stay unset.
    void SetThresholds(MThresholds* thresholds) { thresholds_ = thresholds; }

    void Reset();
    void StartRead();
    void StopRead();
    void ResumeRead();
    // One log read reply's data bytes; valid only during the call.
    void WriteLogsToBufor(const std::uint8_t* data, std::uint8_t byteCount);
    void ReadFinished();
    // The store's records were replaced by those of a file: no download is
    // running or can be resumed; the table starts afresh.
    void ResultsOpened();
    void AbortRead(const QString& message);
    void RefreshView();

    State GetState() const { return state; }
    std::int32_t LogCount() const { return logCount; }
    std::int32_t IntervalSec() const { return intervalSec; }
    TDateTime StartTime() const { return startTime; }
    TDateTime CurrentTime() const { return currentTime; }
    const QString& RecordsText() const { return recordsText; }

    static constexpr std::uint8_t kLogReadAttempts = 1;

private:
    bool ParamsReady() const { return view_ && view_->ParamsReady(); }
    bool ComputeStartTime(TDateTime& moment, std::int64_t& seconds) const;
    bool FillThresholds();
    void QueueSetNextRecord(std::int32_t number);
    static void QueueLogRead();
    void ClearResults();
    QString CountLine(bool withTotal) const;

    State state = Idle;
    std::int32_t logCount = 0;
    std::int32_t intervalSec = 0;
    TDateTime startTime = 0.0;
    TDateTime currentTime = 0.0;
    QString recordsText;
    LogManagerView* view_ = nullptr;
    MThresholds* thresholds_ = nullptr;

    MDataParametry& params_;
    MLogi& store_;
    // startTime in whole seconds since 30 December 1899: record k's moment is
    // computed from it and k, so a long download's time line does not drift.
    std::int64_t startSeconds_ = 0;
};

}  // namespace quorvex
