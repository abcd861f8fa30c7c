#include "ui/ResultsTabView.h"

#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>

#include "logs/RecordsFingerprint.h"
#include "logs/ResultsModel.h"
#include "params/Codecs.h"

namespace quorvex {

namespace {
constexpr int kCaptionWidth = 98;  // the caption column's designed width
// With the dew point column the six columns share the width the designed five had: the
// five keep this share of theirs, the dew point takes the rest.
constexpr int kSharePercent = 72;
}  // namespace

ResultsTabView::ResultsTabView(const Widgets& widgets, BoxFunction showBox)
    : status_(widgets.status),
      progress_(widgets.progress),
      loggerInfo_(widgets.loggerInfo),
      summaryList_(widgets.summary),
      results_(widgets.results),
      table_(widgets.table),
      report_(widgets.report),
      showBox_(std::move(showBox)) {
    for (int i = 0; i < 6; ++i) buttons_[i] = widgets.buttons[i];
    if (table_)
        for (int c = 0; c < ResultsModel::ColumnDewPoint; ++c) designedWidths_[c] = table_->columnWidth(c);
}

void ResultsTabView::ShowHumidityColumns(bool humidity, bool dewPoint) {
    const std::pair shown{humidity, dewPoint && humidity};
    if (!table_ || shownColumns_ == shown) return;
    shownColumns_ = shown;
    table_->setColumnHidden(ResultsModel::ColumnHumidity, !shown.first);
    table_->setColumnHidden(ResultsModel::ColumnDewPoint, !shown.second);
    // With the dew point the six columns share the width the designed five had; without
    // humidity the four left share it, each in proportion to its design.
    int designed = 0, kept = 0;
    for (int c = 0; c < ResultsModel::ColumnDewPoint; ++c) {
        designed += designedWidths_[c];
        if (c != ResultsModel::ColumnHumidity) kept += designedWidths_[c];
    }
    int narrowed = 0;
    for (int c = 0; c < ResultsModel::ColumnDewPoint; ++c) {
        int width = designedWidths_[c];
        if (shown.second)
            width = width * kSharePercent / 100;
        else if (!shown.first && c != ResultsModel::ColumnHumidity)
            width = width * designed / std::max(1, kept);
        table_->setColumnWidth(c, width);
        narrowed += width;
    }
    if (shown.second) table_->setColumnWidth(ResultsModel::ColumnDewPoint, designed - narrowed);
}

void ResultsTabView::SetNewReadButton(QPushButton* button, std::function<bool()> archived) {
    newRead_ = button;
    archived_ = std::move(archived);
    RefreshNewReadButton();
}

void ResultsTabView::RefreshNewReadButton() {
    if (newRead_) newRead_->setEnabled(startEnabled_ && archived_ && archived_());
}

void ResultsTabView::SetStatusLines(const QStringList& lines) {
    if (!status_) return;
    status_->clear();
    status_->addItems(lines);
}

void ResultsTabView::SetProgressMaximum(int maximum) {
    maximum_ = std::max(0, maximum);
    ApplyProgress();
}

void ResultsTabView::SetProgressPosition(int position) {
    position_ = std::max(0, position);
    ApplyProgress();
}

void ResultsTabView::ApplyProgress() {
    if (!progress_) return;
    // A range of 0…0 would turn the bar into a busy indicator, and a value
    // outside the range would be dropped by the bar: an unknown count shows an
    // empty bar, and a logger that recorded more meanwhile shows a full one.
    const int top = std::max(1, maximum_);
    progress_->setRange(0, top);
    progress_->setValue(maximum_ == 0 ? 0 : std::min(position_, top));
}

void ResultsTabView::SetButtonEnabled(Button button, bool enabled) {
    const int i = static_cast<int>(button);
    if (i >= 0 && i < 6 && buttons_[i]) buttons_[i]->setEnabled(enabled);
    // The report goes with the printout: whatever can be printed can be reported.
    if (button == ButtonPrintTable && report_) report_->setEnabled(enabled);
    if (button == ButtonStart) {
        startEnabled_ = enabled;
        RefreshNewReadButton();
    }
}

void ResultsTabView::ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) {
    if (showBox_) showBox_(icon, caption, text);
}

void ResultsTabView::SetLoggerInfo(const QList<LoggerInfoRow>& rows) {
    if (!loggerInfo_) return;
    loggerInfo_->clear();
    // A long value (a signature's state) is read whole in its tool tip.
    for (const LoggerInfoRow& row : rows)
        (new QTreeWidgetItem(loggerInfo_, {row.caption, row.value}))->setToolTip(1, row.value);
    // The captions are as long as the language makes them ("Aufzeichnungsintervall:").
    loggerInfo_->resizeColumnToContents(0);
    loggerInfo_->setColumnWidth(0, std::max(kCaptionWidth, loggerInfo_->columnWidth(0)));
    // The download refreshes the info list after every block and every change
    // of state or language: the summary follows with it.
    RefreshSummary();
}

void ResultsTabView::RefreshSummary() {
    if (!summaryList_ || !results_) return;
    const ResultsStore& store = results_->Store();
    summary_.Update(store);
    // An empty table before anything is known keeps the designed columns.
    const bool unknown = store.IsEmpty() && store.loggerType.isEmpty() && store.sourceFile.isEmpty();
    ShowHumidityColumns(store.HasHumidity() || unknown, store.HasHumidity());
    RefreshVerdict(store);
    QList<LoggerInfoRow> rows = store.IsEmpty() || !rules_
                                    ? SummaryRows(summary_, store, DecimalSeparator())
                                    : SummaryRows(summary_, store, DecimalSeparator(), verdict_, fingerprint_);
    // Damaged stored rules judge nothing; the summary says why instead of "no rules".
    if (!rulesError_.isEmpty() && !store.IsEmpty() && rows.size() >= 2) rows[rows.size() - 2].value = rulesError_;
    // Rows are rewritten in place, so a summary growing with a download does not flicker.
    while (summaryList_->topLevelItemCount() > rows.size()) delete summaryList_->takeTopLevelItem(rows.size());
    while (summaryList_->topLevelItemCount() < rows.size()) new QTreeWidgetItem(summaryList_);
    for (int i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = summaryList_->topLevelItem(i);
        item->setText(0, rows[i].caption);
        item->setText(1, rows[i].value);
        // A rule's caption or the fingerprint may be longer than its column: the whole on hovering.
        item->setToolTip(0, rows[i].caption);
        item->setToolTip(1, rows[i].value);
        // An excursion's line has no value: it takes the whole width.
        summaryList_->setFirstColumnSpanned(i, QModelIndex(), rows[i].value.isEmpty() && !rows[i].caption.isEmpty());
    }
    summaryList_->resizeColumnToContents(0);
    // The verdict's captions are long: the values keep at least two fifths of the list.
    const int room = summaryList_->viewport()->width() * 3 / 5;
    if (room > kCaptionWidth && summaryList_->columnWidth(0) > room) summaryList_->setColumnWidth(0, room);
    // Row heights follow the wrapped texts in their new widths.
    summaryList_->doItemsLayout();
}

void ResultsTabView::RefreshVerdict(const ResultsStore& store) {
    const Judged now{store.Generation(), store.Count()};
    if (now == judged_) return;
    judged_ = now;
    verdict_ = {};
    fingerprint_.clear();
    rulesError_.clear();
    if (store.IsEmpty() || !rules_) return;
    // A download judges again after every block: one pass for the verdict, one for the
    // fingerprint, cheap beside the link's time for the block.
    verdict_ = EvaluateRules(store, rules_(store, &rulesError_));
    fingerprint_ = RecordsFingerprint(store);
}

void ResultsTabView::SetRules(RulesFunction rules) {
    rules_ = std::move(rules);
    RulesChanged();
}

void ResultsTabView::RulesChanged() {
    judged_ = {};
    RefreshSummary();
}

void ResultsTabView::ResultsCleared() {
    if (results_) results_->SyncRows();
    RefreshSummary();
}

void ResultsTabView::ResultsAppended(int, int) {
    if (results_) results_->SyncRows();
}

}  // namespace quorvex
