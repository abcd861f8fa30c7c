#include "ui/ArchiveWindow.h"

#include <QColor>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "i18n/ProgramTexts.h"
#include "params/DateTimeCodec.h"
#include "ui/ObjectNames.h"

namespace quorvex {

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
// Half a second in Moment's unit (days): a moment typed to the second takes in the record stamped then.
constexpr Moment kHalfSecond = 0.5 / 86400.0;

enum LogData { kLogId = Qt::UserRole, kFirstRecord, kLastRecord, kImported, kChecked };

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString ClockText(Moment m) { return FromMoment(m).toString(kClockFormat); }

QString IntervalText(int seconds) { return QStringLiteral("%1 s").arg(seconds); }

// A name as the search compares it: without diacritics and case, so that "lodz" finds "Łódź".
QString Folded(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        // Letters with a stroke have no decomposition.
        if (c == u'ł' || c == u'Ł')
            out += u'l';
        else if (c == u'đ' || c == u'Đ')
            out += u'd';
        else if (c == u'ø' || c == u'Ø')
            out += u'o';
        else
            out += c;
    }
    return out.toCaseFolded();
}

}  // namespace

ArchiveWindow::ArchiveWindow(Archive* archive, OpenLog open, QWidget* parent)
    : QDialog(parent), archive_(archive), open_(std::move(open)) {
    setObjectName(QString::fromLatin1(objname::kArchiveWindow));
    setWindowFlag(Qt::Window);
    resize(900, 620);
    auto* layout = new QVBoxLayout(this);
    where_ = Named(new QLabel(this), objname::kArchiveWhere);
    where_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where_);

    auto* filterRow = new QHBoxLayout;
    filterCaption_ = Named(new QLabel(this), objname::kArchiveFilterCaption);
    filter_ = Named(new QLineEdit(this), objname::kArchiveFilter);
    filter_->setClearButtonEnabled(true);
    filterRow->addWidget(filterCaption_);
    filterRow->addWidget(filter_, 1);
    layout->addLayout(filterRow);

    auto* split = new QSplitter(Qt::Vertical, this);
    loggersGroup_ = Named(new QGroupBox(split), objname::kArchiveLoggersGroup);
    loggers_ = Named(new QTreeWidget(loggersGroup_), objname::kArchiveLoggers);
    loggers_->setRootIsDecorated(false);
    loggers_->setColumnCount(4);
    (new QVBoxLayout(loggersGroup_))->addWidget(loggers_);
    logsGroup_ = Named(new QGroupBox(split), objname::kArchiveLogsGroup);
    logs_ = Named(new QTreeWidget(logsGroup_), objname::kArchiveLogs);
    logs_->setColumnCount(6);
    auto* logsLayout = new QGridLayout(logsGroup_);
    logsLayout->addWidget(logs_, 0, 0, 1, 6);
    fromCaption_ = Named(new QLabel(logsGroup_), objname::kArchiveFromCaption);
    from_ = Named(new QDateTimeEdit(logsGroup_), objname::kArchiveFrom);
    toCaption_ = Named(new QLabel(logsGroup_), objname::kArchiveToCaption);
    to_ = Named(new QDateTimeEdit(logsGroup_), objname::kArchiveTo);
    for (QDateTimeEdit* edit : {from_, to_}) edit->setDisplayFormat(kClockFormat);
    openButton_ = Named(new QPushButton(logsGroup_), objname::kArchiveOpenButton);
    logsLayout->addWidget(fromCaption_, 1, 0);
    logsLayout->addWidget(from_, 1, 1);
    logsLayout->addWidget(toCaption_, 1, 2);
    logsLayout->addWidget(to_, 1, 3);
    logsLayout->setColumnStretch(4, 1);
    logsLayout->addWidget(openButton_, 1, 5);
    split->addWidget(loggersGroup_);
    split->addWidget(logsGroup_);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    auto* buttons = new QHBoxLayout;
    closeButton_ = Named(new QPushButton(this), objname::kCloseButton);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    connect(filter_, &QLineEdit::textChanged, this, &ArchiveWindow::ApplyFilter);
    connect(loggers_, &QTreeWidget::currentItemChanged, this, &ArchiveWindow::ShowLogs);
    connect(logs_, &QTreeWidget::currentItemChanged, this, &ArchiveWindow::LogChosen);
    connect(logs_, &QTreeWidget::itemDoubleClicked, this, [this] { OpenChosen(); });
    connect(openButton_, &QPushButton::clicked, this, [this] { OpenChosen(); });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    RetranslateTexts();
    LogChosen();
}

void ArchiveWindow::SetArchive(Archive* archive, const ArchiveText& problem) {
    archive_ = archive;
    problem_ = problem;
    RetranslateTexts();
    if (isVisible()) Refresh();
}

void ArchiveWindow::RetranslateTexts() {
    setWindowTitle(TranslateText(QStringLiteral("[2315]Archiwum")));
    where_->setText(archive_ ? TranslateText(QStringLiteral("[2332]Archiwum: %1")).arg(archive_->Location().Display())
                    : !problem_.IsEmpty() ? problem_.Translated()
                                          : TranslateText(QStringLiteral("[2330]Program działa bez archiwum")));
    where_->setStyleSheet(!archive_ && !problem_.IsEmpty() ? QStringLiteral("color: #b00000; font-weight: bold")
                                                           : QString());
    filterCaption_->setText(TranslateText(QStringLiteral("[2316]Szukaj (nazwa lub numer seryjny):")));
    loggersGroup_->setTitle(TranslateText(QStringLiteral("[2317]Loggery")));
    loggers_->setHeaderLabels(
        {TranslateText(QStringLiteral("[110]Nazwa")), TranslateText(QStringLiteral("[2318]Numer seryjny")),
         TranslateText(QStringLiteral("[1054]Typ")), TranslateText(QStringLiteral("[2319]Ostatni odczyt"))});
    logsGroup_->setTitle(TranslateText(QStringLiteral("[2320]Logi i ich odczyty")));
    logs_->setHeaderLabels(
        {TranslateText(QStringLiteral("[2321]Początek / odczyt")), TranslateText(QStringLiteral("[2322]Interwał")),
         TranslateText(QStringLiteral("[2323]Rekordy w archiwum / zapowiedziane")),
         TranslateText(QStringLiteral("[2324]Pierwszy rekord")), TranslateText(QStringLiteral("[2325]Ostatni rekord")),
         TranslateText(QStringLiteral("[2326]Użytkownik i komputer"))});
    fromCaption_->setText(TranslateText(QStringLiteral("[2327]Od:")));
    toCaption_->setText(TranslateText(QStringLiteral("[2328]Do:")));
    openButton_->setText(TranslateText(QStringLiteral("[2329]Otwórz")));
    closeButton_->setText(TranslateText(QStringLiteral("[2334]Zamknij")));
    // The imported files' notes are texts of the list itself.
    if (isVisible()) ShowLogs();
}

void ArchiveWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) RetranslateTexts();
}

void ArchiveWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
}

void ArchiveWindow::Refresh() {
    const QString chosen = loggers_->currentItem() ? loggers_->currentItem()->text(1) : QString();
    loggers_->clear();
    loggerRows_.clear();
    if (archive_) {
        // A failed read leaves the list empty; the archive's own message names the fault.
        if (const auto rows = archive_->Loggers())
            loggerRows_ = *rows;
        else
            where_->setText(archive_->LastError().Translated());
    }
    for (const ArchiveLoggerRow& row : loggerRows_)
        loggers_->addTopLevelItem(new QTreeWidgetItem(
            QStringList{row.name, row.serial, row.type, row.lastDownload.toLocalTime().toString(kClockFormat)}));
    for (int c = 0; c < loggers_->columnCount(); ++c) loggers_->resizeColumnToContents(c);
    ApplyFilter();
    if (!ChooseLogger(chosen) && loggers_->topLevelItemCount() > 0 && !loggers_->topLevelItem(0)->isHidden())
        loggers_->setCurrentItem(loggers_->topLevelItem(0));
    ShowLogs();
}

bool ArchiveWindow::ChooseLogger(const QString& serial) {
    for (int i = 0; i < loggers_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = loggers_->topLevelItem(i);
        if (item->text(1) == serial && !item->isHidden()) {
            loggers_->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void ArchiveWindow::ApplyFilter() {
    const QString wanted = Folded(filter_->text().trimmed());
    for (int i = 0; i < loggers_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = loggers_->topLevelItem(i);
        item->setHidden(!wanted.isEmpty() && !Folded(item->text(0)).contains(wanted) &&
                        !Folded(item->text(1)).contains(wanted));
    }
    if (loggers_->currentItem() && loggers_->currentItem()->isHidden()) loggers_->setCurrentItem(nullptr);
}

void ArchiveWindow::ShowLogs() {
    logs_->clear();
    QTreeWidgetItem* logger = loggers_->currentItem();
    if (archive_ && logger && !logger->isHidden()) {
        const auto rows = archive_->Logs(logger->text(1));
        if (!rows) where_->setText(archive_->LastError().Translated());
        for (const ArchiveLogRow& log : rows.value_or(QList<ArchiveLogRow>{})) {
            const bool any = log.archived > 0;
            auto* item = new QTreeWidgetItem(
                QStringList{ClockText(MomentFromSeconds(log.key.startSeconds)), IntervalText(log.key.intervalSeconds),
                            QStringLiteral("%1 / %2").arg(log.archived).arg(log.announced),
                            any ? ClockText(log.firstRecord) : QString(), any ? ClockText(log.lastRecord) : QString(),
                            log.sourceFile.isEmpty()
                                ? QString()
                                : TranslateText(QStringLiteral("[2331]zaimportowano z pliku %1")).arg(log.sourceFile)});
            item->setData(0, kLogId, QVariant::fromValue<qlonglong>(log.id));
            item->setData(0, kFirstRecord, any ? QVariant(log.firstRecord) : QVariant());
            item->setData(0, kLastRecord, any ? QVariant(log.lastRecord) : QVariant());
            item->setData(0, kImported, !log.sourceFile.isEmpty());
            for (const ArchiveDownloadRow& d : log.downloads) {
                QString records;
                if (d.last >= d.first) records = QStringLiteral("%1–%2").arg(d.first).arg(d.last);
                item->addChild(new QTreeWidgetItem(QStringList{d.moment.toLocalTime().toString(kClockFormat),
                                                               OutcomeName(d.outcome), records, QString(), QString(),
                                                               QStringLiteral("%1@%2").arg(d.user, d.host)}));
            }
            logs_->addTopLevelItem(item);
        }
    }
    logs_->expandAll();
    for (int c = 0; c < logs_->columnCount(); ++c) logs_->resizeColumnToContents(c);
    // The logger's newest log is the one an operator looks for; an imported file only when there is nothing else.
    QTreeWidgetItem* newest = nullptr;
    for (int i = 0; i < logs_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = logs_->topLevelItem(i);
        if (!newest || !item->data(0, kImported).toBool() || newest->data(0, kImported).toBool()) newest = item;
    }
    logs_->setCurrentItem(newest);
    LogChosen();
}

void ArchiveWindow::LogChosen() {
    QTreeWidgetItem* item = logs_->currentItem();
    if (item && item->parent()) item = item->parent();  // a download stands for its log
    // Checked as it is chosen: reading every log of a logger at once could take long.
    if (item && archive_ && !item->data(0, kChecked).toBool()) {
        item->setData(0, kChecked, true);
        const auto changed = archive_->ChangedRecord(item->data(0, kLogId).toLongLong());
        if (!changed) {
            where_->setText(archive_->LastError().Translated());
        } else if (*changed > 0) {
            item->setText(5, TranslateText(QStringLiteral("[2605]USZKODZONY: zmieniony poza programem od rekordu %1"))
                                 .arg(*changed));
            for (int c = 0; c < logs_->columnCount(); ++c) item->setForeground(c, QColor(0xb0, 0, 0));
            logs_->resizeColumnToContents(5);
        }
    }
    const bool any = item && item->data(0, kFirstRecord).isValid();
    for (QWidget* w : std::initializer_list<QWidget*>{from_, to_, openButton_}) w->setEnabled(any);
    if (!any) return;
    const QDateTime first = FromMoment(item->data(0, kFirstRecord).toDouble());
    const QDateTime last = FromMoment(item->data(0, kLastRecord).toDouble());
    for (QDateTimeEdit* edit : {from_, to_}) edit->setDateTimeRange(first, last);
    from_->setDateTime(first);
    to_->setDateTime(last);
}

bool ArchiveWindow::OpenChosen() {
    QTreeWidgetItem* item = logs_->currentItem();
    if (item && item->parent()) item = item->parent();
    if (!item || !item->data(0, kFirstRecord).isValid() || !open_) return false;
    // The ends of the log as they stand mean the whole log: no rounding can then cut a record off.
    std::optional<Moment> from, to;
    if (from_->dateTime() > FromMoment(item->data(0, kFirstRecord).toDouble()))
        from = ToMoment(from_->dateTime()) - kHalfSecond;
    if (to_->dateTime() < FromMoment(item->data(0, kLastRecord).toDouble()))
        to = ToMoment(to_->dateTime()) + kHalfSecond;
    return open_(item->data(0, kLogId).toLongLong(), from, to);
}

}  // namespace quorvex
