#pragma once
// A results tab without a window: it keeps only the table model in step with the store and
// ignores status lines, progress, buttons and boxes. For checking or timing the table model
// beside a download without widgets (the fuzzer, the benchmarks); a download needs no view.
#include "logs/LogDownloadView.h"
#include "logs/ResultsModel.h"

namespace quorvex {

class TableOnlyView : public LogDownloadView {
public:
    explicit TableOnlyView(const ResultsStore& store) : model(store) {}
    void SetStatusLines(const QStringList&) override {}
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    void SetButtonEnabled(Button, bool) override {}
    void ShowMessageBox(const QString&, const QString&, BoxIcon) override {}
    void SetLoggerInfo(const QList<LoggerInfoRow>&) override {}
    void ResultsCleared() override { model.SyncRows(); }
    void ResultsAppended(int, int) override { model.SyncRows(); }
    ResultsModel model;
};

}  // namespace quorvex
