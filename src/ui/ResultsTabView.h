#pragma once
// The results tab as the log download sees it: status list, progress bar, the
// six buttons, the logger info list, the results table over the store and the
// summary of the results, which follows them block by block.
// Message boxes go through a function the results tab supplies (the operator prompts), so
// they can be shown without holding up the transmission thread (and recorded in tests).
#include <QPointer>
#include <functional>
#include <optional>
#include <utility>

#include "logs/LogDownloadView.h"
#include "logs/ResultsSummary.h"

class QListWidget;
class QProgressBar;
class QPushButton;
class QTableView;
class QTreeWidget;

namespace quorvex {

class ResultsModel;

class ResultsTabView : public LogDownloadView {
public:
    using BoxFunction = std::function<void(BoxIcon, const QString& caption, const QString& text)>;

    struct Widgets {
        QListWidget* status = nullptr;
        QProgressBar* progress = nullptr;
        QPushButton* buttons[6] = {};  // in the order of LogDownloadView::Button
        QTreeWidget* loggerInfo = nullptr;
        QTreeWidget* summary = nullptr;
        ResultsModel* results = nullptr;
        QTableView* table = nullptr;    // shows the dew point column for results with humidity only
        QPushButton* report = nullptr;  // enabled with the print button
    };
    // The rules the results are judged by, or an error for a damaged stored set.
    using RulesFunction = std::function<QList<ExcursionRule>(const ResultsStore&, QString* error)>;

    ResultsTabView(const Widgets& widgets, BoxFunction showBox);

    void SetStatusLines(const QStringList& lines) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetButtonEnabled(Button button, bool enabled) override;
    void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) override;
    void SetLoggerInfo(const QList<LoggerInfoRow>& rows) override;
    void ResultsCleared() override;
    void ResultsAppended(int first, int last) override;

    // "[2483]Pobierz nowe" follows the start button, and only while `archived` says the
    // archive holds part of the logger's current log.
    void SetNewReadButton(QPushButton* button, std::function<bool()> archived);
    // `archived` may answer otherwise now.
    void RefreshNewReadButton();

    int ProgressMaximum() const { return maximum_; }
    int ProgressPosition() const { return position_; }

    const ResultsSummary& Summary() const { return summary_; }

    // Without it the summary shows no verdict. The summary follows at once.
    void SetRules(RulesFunction rules);
    // The stored rules changed: the verdict is judged again.
    void RulesChanged();
    // The verdict and fingerprint shown, as last judged (none for an empty store).
    const Verdict& ShownVerdict() const { return verdict_; }
    const QString& ShownFingerprint() const { return fingerprint_; }

private:
    void ApplyProgress();
    void RefreshSummary();
    // The verdict and fingerprint of the store, judged again only when it changed.
    void RefreshVerdict(const ResultsStore& store);
    // Shows or hides the humidity and dew point columns (no dew point without humidity); the
    // other columns narrow to make room for them or widen into their place.
    void ShowHumidityColumns(bool humidity, bool dewPoint);

    QPointer<QListWidget> status_;
    QPointer<QProgressBar> progress_;
    QPointer<QPushButton> buttons_[6];
    QPointer<QTreeWidget> loggerInfo_;
    QPointer<QTreeWidget> summaryList_;
    ResultsSummary summary_;
    QPointer<ResultsModel> results_;
    QPointer<QTableView> table_;
    int designedWidths_[5] = {};  // of the columns before the dew point
    // Humidity and dew point columns shown; nothing until the first results are shown.
    std::optional<std::pair<bool, bool>> shownColumns_;
    QPointer<QPushButton> report_;
    RulesFunction rules_;
    Verdict verdict_;
    QString fingerprint_;
    QString rulesError_;
    // What verdict_ and fingerprint_ were judged for.
    struct Judged {
        std::uint64_t generation = 0;
        int count = -1;
        friend bool operator==(const Judged&, const Judged&) = default;
    } judged_;
    QPointer<QPushButton> newRead_;
    std::function<bool()> archived_;
    bool startEnabled_ = false;
    BoxFunction showBox_;
    int maximum_ = 0;
    int position_ = 0;
};

}  // namespace quorvex
