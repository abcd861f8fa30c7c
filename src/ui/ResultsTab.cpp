#include "ui/ResultsTab.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "archive/ChangeRecording.h"
#include "chart/ChartWindow.h"
#include "i18n/Translator.h"
#include "logs/LogDownload.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsModel.h"
#include "print/PrintDialog.h"
#include "ui/ArchiveKeeping.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/OperatorPrompts.h"
#include "ui/ResultsFolder.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

namespace {

// Column widths of the results table; "Lp" only needs room for the count,
// so the five columns fit the tab without a horizontal scroll bar.
constexpr int kColumnWidths[] = {60, 121, 119, 119, 119, 0};  // the dew point's: ResultsTabView

// Rows as tall as their text needs wrapped to the width it has: a tree takes its row heights
// from this hint, and Qt's own hint counts one line only.
class WrappingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const auto* tree = qobject_cast<const QTreeView*>(option.widget);
        if (!tree) return size;
        const int width = tree->isFirstColumnSpanned(index.row(), index.parent()) ? tree->viewport()->width()
                                                                                  : tree->columnWidth(index.column());
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        // The style's text margin on either side.
        const int margin = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        const QRect text =
            item.fontMetrics.boundingRect(QRect(0, 0, std::max(1, width - margin), 0), Qt::TextWordWrap, item.text);
        size.setHeight(std::max(size.height(), text.height() + size.height() - item.fontMetrics.height()));
        return size;
    }
};

}  // namespace

ResultsTab::ResultsTab(const Needs& needs, QWidget* parent)
    : QWidget(parent),
      model_(needs.model),
      results_(needs.results),
      settings_(needs.settings),
      translator_(needs.translator),
      prompts_(needs.prompts),
      keeping_(needs.keeping),
      windows_(needs.windows),
      systemLocale_(needs.systemLocale) {
    setObjectName(QString::fromLatin1(objname::kResultsTab));
    recent_.Load(settings_);
    BuildWidgets();
    CreateDownload();
}

ResultsTab::~ResultsTab() { EndDownload(); }

void ResultsTab::BuildWidgets() {
    // Captions, buttons and lists in the weight the other tabs show them in.
    QFont normal = font();
    normal.setBold(false);
    setFont(normal);
    auto* grid = new QGridLayout(this);

    auto* table = Named(new QTableView(this), objname::kResultsTable);
    widgets_.table = table;
    auto* model = new QStandardItemModel(0, 5, table);
    const QStringList columns{QStringLiteral("[2200]Lp"), QStringLiteral("[131]Data"), QStringLiteral("[132]Czas"),
                              QStringLiteral("[140]Temperatura"), QStringLiteral("[150]Wilgotność")};
    for (int c = 0; c < columns.size(); ++c) model->setHeaderData(c, Qt::Horizontal, columns[c]);
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* logger = Named(new QTreeWidget(this), objname::kLoggerList);
    widgets_.loggerInfo = logger;
    logger->setColumnCount(2);
    logger->setHeaderLabels({QStringLiteral("[320]Dane Loggera"), QString()});
    logger->setRootIsDecorated(false);
    logger->setColumnWidth(0, 150);

    // Under the table, as wide as it: captions such as "Czas powyżej progu
    // górnego (22,5°C)" and values with their moments fit side by side.
    auto* summary = Named(new QTreeWidget(this), objname::kSummaryList);
    widgets_.summary = summary;
    summary->setColumnCount(2);
    summary->setHeaderLabels({QStringLiteral("[2135]Podsumowanie"), QString()});
    summary->setRootIsDecorated(false);
    summary->setSelectionMode(QAbstractItemView::NoSelection);
    summary->setFocusPolicy(Qt::NoFocus);
    // Rules and excursions are sentences: wrapped within their column rather than cut short,
    // and wrapped anew when the column is made narrower or wider.
    summary->setWordWrap(true);
    summary->setItemDelegate(new WrappingDelegate(summary));
    QObject::connect(summary->header(), &QHeaderView::sectionResized, summary, [summary] { summary->doItemsLayout(); });
    summary->setMinimumHeight((summary->fontMetrics().height() + 4) * 10);

    auto* status = Named(new QGroupBox(QStringLiteral("[330]Status"), this), objname::kDownloadGroup);
    auto* sl = new QVBoxLayout(status);
    widgets_.progress = Named(new QProgressBar(status), objname::kDownloadProgress);
    widgets_.status = Named(new QListWidget(status), objname::kDownloadStatusList);
    sl->addWidget(widgets_.progress);
    sl->addWidget(widgets_.status);

    auto* buttons = Named(new QWidget(this), objname::kResultsButtons);
    auto* bl = new QVBoxLayout(buttons);
    bl->setContentsMargins(0, 0, 0, 0);
    for (auto [name, caption] : {std::pair{objname::kStartReadButton, "[10]Rozpocznij odczyt od nowa"},
                                 std::pair{objname::kStopReadButton, "[11]Przerwij odczyt"},
                                 std::pair{objname::kRetryReadButton, "[13]Ponów odczyt"},
                                 std::pair{objname::kNewReadButton, "[2483]Pobierz nowe"},
                                 std::pair{objname::kChartButton, "[12]Pokaż wykres"},
                                 std::pair{objname::kPrintTableButton, "[16]Drukuj tabelę"},
                                 std::pair{objname::kSaveResultsButton, "[2202]Zapisz wyniki do pliku"},
                                 std::pair{objname::kReportButton, "[2442]Raport PDF…"}}) {
        auto* b = Named(new QPushButton(QString::fromUtf8(caption), buttons), name);
        b->setMinimumWidth(90);
        bl->addWidget(b);
        // The download's view drives six of them; the report button goes with the print button.
        for (auto [viewName, button] : {std::pair{objname::kStartReadButton, LogDownloadView::ButtonStart},
                                        std::pair{objname::kStopReadButton, LogDownloadView::ButtonStop},
                                        std::pair{objname::kRetryReadButton, LogDownloadView::ButtonRetry},
                                        std::pair{objname::kChartButton, LogDownloadView::ButtonChart},
                                        std::pair{objname::kPrintTableButton, LogDownloadView::ButtonPrintTable},
                                        std::pair{objname::kSaveResultsButton, LogDownloadView::ButtonSaveResults}})
            if (qstrcmp(name, viewName) == 0) widgets_.buttons[button] = b;
        if (qstrcmp(name, objname::kReportButton) == 0) widgets_.report = b;
        if (qstrcmp(name, objname::kNewReadButton) == 0) newReadButton_ = b;
    }
    bl->addStretch();

    grid->addWidget(table, 0, 0, 2, 1);
    grid->addWidget(summary, 2, 0);
    grid->addWidget(logger, 0, 1);
    grid->addWidget(status, 1, 1);
    grid->addWidget(buttons, 2, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
}

void ResultsTab::CreateDownload() {
    QTableView* table = widgets_.table;
    // The table reads the results store directly: no item per row.
    QAbstractItemModel* placeholder = table->model();
    resultsModel_ = new ResultsModel(results_, table);
    table->setModel(resultsModel_);
    delete placeholder;
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setShowGrid(true);
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setMinimumSectionSize(10);
    for (int c = 0; c < ResultsModel::ColumnCount; ++c) table->setColumnWidth(c, kColumnWidths[c]);
    // The tabs' bold font is for captions; thousands of bold rows read badly.
    QFont plain = table->font();
    plain.setBold(false);
    table->setFont(plain);
    // Fixed row heights keep a table of a million rows cheap to lay out.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);

    widgets_.loggerInfo->setColumnWidth(0, 98);

    ResultsTabView::Widgets w = widgets_;
    w.results = resultsModel_;
    reportButton_ = w.report;
    view_ = std::make_unique<ResultsTabView>(w, [this](LogDownloadView::BoxIcon icon, const QString& caption,
                                                       const QString& text) { prompts_.ShowBox(icon, caption, text); });

    logs_ = std::make_unique<LogDownload>(model_, results_);
    logs_->SetView(view_.get());
    keeping_.Attach(*logs_);
    connect(w.buttons[LogDownloadView::ButtonStart], &QPushButton::clicked, this, [this] {
        if (logs_) logs_->StartRead();
    });
    connect(w.buttons[LogDownloadView::ButtonStop], &QPushButton::clicked, this, [this] {
        if (logs_) logs_->StopRead();
    });
    connect(w.buttons[LogDownloadView::ButtonRetry], &QPushButton::clicked, this, [this] {
        if (logs_) logs_->ResumeRead();
    });
    connect(w.buttons[LogDownloadView::ButtonChart], &QPushButton::clicked, this, &ResultsTab::ChartChosen);
    connect(w.buttons[LogDownloadView::ButtonPrintTable], &QPushButton::clicked, this, &ResultsTab::PrintTableChosen);
    connect(w.buttons[LogDownloadView::ButtonSaveResults], &QPushButton::clicked, this, &ResultsTab::SaveChosen);

    reportButton_->setEnabled(false);  // enabled with the print button, once there are results
    connect(reportButton_, &QPushButton::clicked, this, &ResultsTab::ReportChosen);
    view_->SetRules([this](const ResultsStore& store, QString* error) { return RulesFor(store, settings_, error); });

    // Reading only what the archive lacks follows the start button while the archive holds part of the log.
    connect(newReadButton_, &QPushButton::clicked, this, [this] { keeping_.StartNewDownload(false); });
    view_->SetNewReadButton(newReadButton_, [this] { return keeping_.ArchivedPart(); });
    connect(&keeping_, &ArchiveKeeping::ArchivedPartChanged, this, [this] {
        if (view_) view_->RefreshNewReadButton();
    });
    logs_->Reset();
}

void ResultsTab::WindowShown() {
    if (!logs_) return;
    if (ChartWindow* chart = Chart()) {
        logs_->SetThresholds(chart->ThresholdsBlock());
        // Results opened from a file carry no thresholds: the chart then draws none.
        chart->SetThresholdsFromResults(true);
        // An open chart empties with the table when a new download begins,
        // not only when its first block arrives. Queued: the download has
        // named its logger (type, humidity) by the time the chart looks.
        connect(resultsModel_, &QAbstractItemModel::modelReset, chart, &ChartWindow::RefreshChart,
                Qt::QueuedConnection);
        // The chart window may go before this window does (tests, the end of the program).
        connect(chart, &QObject::destroyed, this, [this] {
            if (logs_) logs_->SetThresholds(nullptr);
        });
    }
    logs_->Reset();
}

void ResultsTab::EndDownload() {
    if (logs_) {
        logs_->SetView(nullptr);
        keeping_.Detach();
    }
    logs_.reset();
    view_.reset();
}

ChartWindow* ResultsTab::Chart() const { return qobject_cast<ChartWindow*>(windows_.chartWindow); }

void ResultsTab::SetParamsReady(bool ready) {
    if (!logs_) return;
    logs_->SetParamsReady(ready);
    if (ready) logs_->RefreshView();
}

void ResultsTab::LinkReset() {
    if (!logs_) return;
    logs_->StopRead();
    logs_->SetParamsReady(false);
    logs_->RefreshView();
}

void ResultsTab::RefreshTexts() {
    if (logs_) logs_->RefreshView();
}

void ResultsTab::BlockArrived() {
    if (ChartWindow* chart = Chart()) chart->RefreshChart();
}

void ResultsTab::ChartChosen() {
    ChartWindow* chart = Chart();
    if (!chart) return;
    chart->SetResults(results_);
    chart->ShowChart();
}

void ResultsTab::PrintTableChosen() {
    auto* print = qobject_cast<PrintDialog*>(windows_.printDialog);
    if (!print) return;
    print->Results = &results_;
    if (print->ExecForTable() != QDialog::Accepted) return;
    print->PrintTable();
}

QString ResultsTab::Folder() const { return ResultsFolder(settings_); }

void ResultsTab::ShowError(const QString& text) {
    prompts_.ShowBox(LogDownloadView::BoxIcon::Error, translator_.Tr(QStringLiteral("[1020]Błąd")), text);
}

void ResultsTab::SaveChosen() {
    // The extension is part of the proposal: the date in the name holds dots,
    // and a name with a dot would not get the dialog's default suffix.
    const QString proposed = ProposedResultsFileName(results_, model_) + QLatin1Char('.') + kResultsFileSuffix;
    const QString path = prompts_.AskSavePath(Folder(), proposed);
    if (path.isEmpty()) return;
    const FileSigner signer = keeping_.Signer();
    const SaveResultsOutcome outcome =
        SaveResultsFile(path, results_, ResultsFormatOf(path), DewPointInFiles(), &signer);
    // The records stay in memory: the operator can choose another place.
    if (!outcome.ok) return ShowError(outcome.errorText);
    RememberResultsFolder(settings_, path);
    keeping_.RecordChange(FileChange(ChangeKind::FileWritten, VersionText(), results_, path));
    emit StatusNote(translator_.Tr(QStringLiteral("[2203]Wyniki zapisano w pliku")) + u' ' +
                    QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    // Saved all the same; the operator learns that it carries no signature, and why.
    const QString unsignedNote = outcome.signature.Note();
    if (!unsignedNote.isEmpty())
        prompts_.ShowBox(LogDownloadView::BoxIcon::Warning, translator_.Tr(QStringLiteral("[1020]Błąd")), unsignedNote);
}

}  // namespace quorvex
