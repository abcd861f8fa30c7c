#include "ui/ChangeLogWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "i18n/ProgramTexts.h"
#include "params/ParameterCaption.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString KindText(ChangeKind kind) {
    static const char* const kTexts[] = {"[2588]zapis rejestru",
                                         "[2589]ustawienie zegara",
                                         "[2590]start",
                                         "[2591]stop",
                                         "[2592]reset",
                                         "[2593]odczyt",
                                         "[2594]import",
                                         "[2595]eksport",
                                         "[2596]raport",
                                         "[2597]podpis",
                                         "[2598]zapis pliku",
                                         "[2608]zaufany klucz",
                                         "[2793]badanie mapujące",
                                         "[2794]kalibracja"};
    return TranslateText(QString::fromUtf8(kTexts[static_cast<int>(kind)]));
}

// A write names the parameter by its own (Polish) name: shown as the window calls it.
QString SubjectText(const ChangeEntry& e) {
    const bool write = e.kind == ChangeKind::RegisterWrite || e.kind == ChangeKind::ClockSet ||
                       e.kind == ChangeKind::Start || e.kind == ChangeKind::Stop || e.kind == ChangeKind::Reset;
    const QString caption = write ? ParameterCaption(e.subject) : QString();
    return caption.isEmpty() ? e.subject : TranslateText(caption);
}

QStringList Row(const ChangeEntry& e) {
    QString confirmed;
    if (e.confirmed >= 0)
        confirmed = TranslateText(e.confirmed == 1 ? QStringLiteral("[2586]tak") : QStringLiteral("[2587]nie"));
    QStringList details;
    if (e.download != 0 && e.lastRecord >= e.firstRecord)
        details << QStringLiteral("%1–%2").arg(e.firstRecord).arg(e.lastRecord);
    if (!e.details.isEmpty()) details << e.details;
    if (!e.fingerprint.isEmpty()) details << QStringLiteral("SHA-256 ") + e.fingerprint;
    return {QString::number(e.sequence),
            e.moment.toLocalTime().toString(kClockFormat),
            e.user + u'@' + e.host,
            e.program,
            e.serial,
            KindText(e.kind),
            SubjectText(e),
            e.before,
            e.after,
            confirmed,
            details.join(QStringLiteral("; "))};
}

}  // namespace

ChangeLogWindow::ChangeLogWindow(Archive* archive, QWidget* parent) : QDialog(parent), archive_(archive) {
    setObjectName(QString::fromLatin1(objname::kChangeLogWindow));
    setWindowFlag(Qt::Window);
    resize(1100, 600);
    auto* layout = new QVBoxLayout(this);
    checkLabel_ = Named(new QLabel(this), objname::kChangeLogCheck);
    checkLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(checkLabel_);

    auto* filterRow = new QHBoxLayout;
    loggerCaption_ = new QLabel(this);
    logger_ = Named(new QComboBox(this), objname::kChangeLogLogger);
    logger_->setMinimumContentsLength(12);
    fromCaption_ = new QLabel(this);
    from_ = Named(new QDateEdit(this), objname::kChangeLogFrom);
    toCaption_ = new QLabel(this);
    to_ = Named(new QDateEdit(this), objname::kChangeLogTo);
    for (QDateEdit* edit : {from_, to_}) {
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{loggerCaption_, logger_, fromCaption_, from_, toCaption_, to_})
        filterRow->addWidget(w);
    filterRow->addStretch();
    layout->addLayout(filterRow);

    list_ = Named(new QTreeWidget(this), objname::kChangeLogEntries);
    list_->setRootIsDecorated(false);
    list_->setColumnCount(11);
    list_->setAlternatingRowColors(true);
    layout->addWidget(list_, 1);

    auto* buttons = new QHBoxLayout;
    note_ = new QLabel(this);
    printButton_ = Named(new QPushButton(this), objname::kChangeLogPrintButton);
    closeButton_ = Named(new QPushButton(this), objname::kCloseButton);
    buttons->addWidget(note_, 1);
    buttons->addWidget(printButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    AskPdfPath = [this] {
        const QString title = TitleOfItem(TranslateText(QStringLiteral("[2575]Drukuj do PDF…")));
        return QFileDialog::getSaveFileName(this, title, QString(), QStringLiteral("PDF (*.pdf)"));
    };
    connect(logger_, &QComboBox::currentIndexChanged, this, &ChangeLogWindow::ShowEntries);
    connect(from_, &QDateEdit::dateChanged, this, &ChangeLogWindow::ShowEntries);
    connect(to_, &QDateEdit::dateChanged, this, &ChangeLogWindow::ShowEntries);
    connect(printButton_, &QPushButton::clicked, this, [this] {
        const QString path = AskPdfPath ? AskPdfPath() : QString();
        if (!path.isEmpty()) PrintTo(path);
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    RetranslateTexts();
}

void ChangeLogWindow::RetranslateTexts() {
    setWindowTitle(TranslateText(QStringLiteral("[2574]Dziennik zmian")));
    loggerCaption_->setText(TranslateText(QStringLiteral("[2576]Logger:")));
    if (logger_->count() > 0) logger_->setItemText(0, TranslateText(QStringLiteral("[2577]Wszystkie")));
    fromCaption_->setText(TranslateText(QStringLiteral("[2327]Od:")));
    toCaption_->setText(TranslateText(QStringLiteral("[2328]Do:")));
    list_->setHeaderLabels(
        {TranslateText(QStringLiteral("[2578]Nr")), TranslateText(QStringLiteral("[2579]Chwila")),
         TranslateText(QStringLiteral("[2326]Użytkownik i komputer")), TranslateText(QStringLiteral("[2599]Program")),
         TranslateText(QStringLiteral("[2318]Numer seryjny")), TranslateText(QStringLiteral("[2580]Zdarzenie")),
         TranslateText(QStringLiteral("[2581]Dotyczy")), TranslateText(QStringLiteral("[2582]Przed")),
         TranslateText(QStringLiteral("[2583]Po")), TranslateText(QStringLiteral("[2584]Potwierdzone")),
         TranslateText(QStringLiteral("[2585]Szczegóły"))});
    printButton_->setText(TranslateText(QStringLiteral("[2575]Drukuj do PDF…")));
    closeButton_->setText(TranslateText(QStringLiteral("[2334]Zamknij")));
    ShowCheck();
    if (isVisible()) ShowEntries();
}

void ChangeLogWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) RetranslateTexts();
}

void ChangeLogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
}

void ChangeLogWindow::SetArchive(Archive* archive, const ArchiveText& problem) {
    if (archive != archive_) periodSet_ = false;
    archive_ = archive;
    problem_ = problem;
    if (isVisible())
        Refresh();
    else
        ShowCheck();
}

void ChangeLogWindow::Refresh() {
    check_.reset();
    if (archive_) check_ = archive_->CheckChanges();
    ShowCheck();
    ShowNewEntries();
}

void ChangeLogWindow::ShowNewEntries() {
    if (!archive_) return ShowEntries();
    // The loggers that appear, keeping the one chosen.
    const QString chosen = logger_->currentIndex() > 0 ? logger_->currentText() : QString();
    const QStringList serials = archive_->ChangeSerials().value_or(QStringList{});
    {
        const QSignalBlocker block(logger_);
        logger_->clear();
        logger_->addItem(TranslateText(QStringLiteral("[2577]Wszystkie")));
        logger_->addItems(serials);
        logger_->setCurrentIndex(qMax(0, logger_->findText(chosen)));
    }
    const QSignalBlocker a(from_), b(to_);
    if (!periodSet_) {
        const auto first = archive_->Changes(ChangeFilter{{}, {}, {}, 1});
        if (first && !first->isEmpty()) {
            from_->setDate(first->first().moment.toLocalTime().date());
            to_->setDate(QDate::currentDate());
            periodEnd_ = to_->date();
            periodSet_ = true;
        }
    } else if (to_->date() == periodEnd_ && periodEnd_ != QDate::currentDate()) {
        // A period left ending today goes on ending today past midnight.
        to_->setDate(QDate::currentDate());
        periodEnd_ = to_->date();
    }
    ShowEntries();
}

void ChangeLogWindow::ShowCheck() {
    if (!archive_) {
        checkLabel_->setText(problem_.IsEmpty() ? TranslateText(QStringLiteral("[2330]Program działa bez archiwum"))
                                                : problem_.Translated());
        checkLabel_->setStyleSheet(problem_.IsEmpty() ? QString()
                                                      : QStringLiteral("color: #b00000; font-weight: bold"));
        return;
    }
    if (!check_) {
        checkLabel_->setText(archive_->LastError().Translated());
        checkLabel_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
        return;
    }
    checkLabel_->setText(ChangeLogCheckText(*check_).Translated());
    checkLabel_->setStyleSheet(check_->Intact() ? QStringLiteral("color: #006000; font-weight: bold")
                                                : QStringLiteral("color: #b00000; font-weight: bold"));
}

void ChangeLogWindow::ShowEntries() {
    list_->clear();
    entries_.clear();
    if (!archive_) return;
    ChangeFilter filter;
    if (logger_->currentIndex() > 0) filter.serial = logger_->currentText();
    if (periodSet_) {
        filter.from = QDateTime(from_->date(), QTime(0, 0)).toUTC();
        filter.to = QDateTime(to_->date(), QTime(23, 59, 59, 999)).toUTC();
    }
    entries_ = archive_->Changes(filter).value_or(QList<ChangeEntry>{});
    QList<QTreeWidgetItem*> items;
    for (const ChangeEntry& e : entries_) {
        auto* item = new QTreeWidgetItem(Row(e));
        if (e.confirmed == 0) item->setForeground(9, QColor(0xb0, 0, 0));
        items << item;
    }
    list_->addTopLevelItems(items);
    for (int c = 0; c < list_->columnCount() - 1; ++c) list_->resizeColumnToContents(c);
}

bool ChangeLogWindow::PrintTo(const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    QString html = QStringLiteral(
                       "<h3>%1</h3><p>%2</p><p>%3</p><table border=\"1\" cellspacing=\"0\" "
                       "cellpadding=\"2\" style=\"font-size: 7pt\"><tr>")
                       .arg(windowTitle().toHtmlEscaped(), checkLabel_->text().toHtmlEscaped(),
                            archive_ ? archive_->Location().Display().toHtmlEscaped() : QString());
    for (int c = 0; c < list_->columnCount(); ++c)
        html += QStringLiteral("<th>%1</th>").arg(list_->headerItem()->text(c).toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (const ChangeEntry& e : entries_) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : Row(e)) html += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setHtml(html);
    document.print(&printer);
    const bool ok = QFileInfo(path).size() > 0;
    QString said = ok ? TranslateText(QStringLiteral("[2204]Wydruk zapisano w pliku")) + u' ' + path : QString();
    // Signed as every file the program writes.
    if (ok && SignFile) {
        const QString unsignedNote = SignFile(path).Note();
        if (!unsignedNote.isEmpty()) said += QStringLiteral("; ") + unsignedNote;
    }
    note_->setText(said);
    return ok;
}

}  // namespace quorvex
