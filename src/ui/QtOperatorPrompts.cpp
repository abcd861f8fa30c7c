#include "ui/QtOperatorPrompts.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

#include "i18n/ProgramTexts.h"
#include "logs/ResultsFile.h"
#include "ui/DesktopNotification.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

namespace {

QMessageBox::Icon ToQtIcon(LogDownloadView::BoxIcon icon) {
    switch (icon) {
    case LogDownloadView::BoxIcon::Error:
        return QMessageBox::Critical;
    case LogDownloadView::BoxIcon::Warning:
        return QMessageBox::Warning;
    case LogDownloadView::BoxIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

// Both kinds of results file, then each alone.
QStringList ResultsFilters() {
    return {TranslateText(QStringLiteral("[2134]Pliki wyników")) + QStringLiteral(" (*.txt *.csv)"), kResultsTextFilter,
            kResultsCsvFilter};
}

}  // namespace

QString QtOperatorPrompts::AskSavePath(const QString& folder, const QString& fileName) {
    QFileDialog dialog(parent_, {}, folder);
    dialog.setObjectName(QString::fromLatin1(objname::kSaveResultsDialog));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({kResultsTextFilter, kResultsCsvFilter});
    dialog.setDefaultSuffix(kResultsFileSuffix);
    // The dialog itself swaps a typed ".txt" for ".csv" when the filter
    // changes; a name typed without either gets the filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter == kResultsCsvFilter ? kResultsCsvSuffix : kResultsFileSuffix);
    });
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return ResultsPathForFilter(dialog.selectedFiles().constFirst(), dialog.selectedNameFilter());
}

QString QtOperatorPrompts::AskOpenPath(const QString& folder) {
    const QStringList files = AskResultsFiles(QStringLiteral("[2120]Otwórz plik wyników…"), folder,
                                              objname::kOpenResultsDialog, QFileDialog::ExistingFile);
    return files.isEmpty() ? QString() : files.constFirst();
}

QStringList QtOperatorPrompts::AskImportPaths(const QString& folder) {
    return AskResultsFiles(QStringLiteral("[2311]Importuj do archiwum…"), folder, objname::kImportDialog,
                           QFileDialog::ExistingFiles);
}

QStringList QtOperatorPrompts::AskResultsFiles(const QString& item, const QString& folder, const char* name,
                                               int fileMode) {
    QFileDialog dialog(parent_, TitleOfItem(TranslateText(item)), folder);
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::FileMode(fileMode));
    dialog.setNameFilters(ResultsFilters());
    if (dialog.exec() != QDialog::Accepted) return QStringList();
    return dialog.selectedFiles();
}

QString QtOperatorPrompts::AskReportPath(const QString& folder, const QString& fileName, ReportTable& table) {
    const QString title = TitleOfItem(TranslateText(QStringLiteral("[2442]Raport PDF…")));
    QFileDialog dialog(parent_, title, folder);
    dialog.setObjectName(QString::fromLatin1(objname::kReportDialog));
    // Qt's own dialog: the table choice goes into its layout.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(TranslateText(QStringLiteral("[2463]Pliki PDF")) + QStringLiteral(" (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(fileName);
    auto* choice = new QComboBox(&dialog);
    choice->setObjectName(QString::fromLatin1(objname::kReportTableChoice));
    choice->addItem(TranslateText(QStringLiteral("[2460]wszystkie rekordy")), int(ReportTable::All));
    choice->addItem(TranslateText(QStringLiteral("[2461]wartości dobowe")), int(ReportTable::Daily));
    choice->addItem(TranslateText(QStringLiteral("[2462]bez tabeli")), int(ReportTable::None));
    choice->setCurrentIndex(choice->findData(int(table)));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(TranslateText(QStringLiteral("[2459]Tabela w raporcie:")), &dialog), row, 0);
        grid->addWidget(choice, row, 1);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    table = ReportTable(choice->currentData().toInt());
    return dialog.selectedFiles().constFirst();
}

QString QtOperatorPrompts::AskFolder(const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent_, title, folder);
}

bool QtOperatorPrompts::Confirm(const QString& caption, const QString& text) {
    return QMessageBox::question(parent_, caption, text) == QMessageBox::Yes;
}

void QtOperatorPrompts::ShowBox(BoxIcon icon, const QString& caption, const QString& text) {
    // Opened, not executed: the box may come up while the transmission
    // thread waits for the window to take a reply.
    auto* box = new QMessageBox(ToQtIcon(icon), caption, text, QMessageBox::Ok, parent_);
    box->setObjectName(QString::fromLatin1(objname::kResultsMessageBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void QtOperatorPrompts::Notify(const QString& title, const QString& body) { ShowDesktopNotification(title, body); }

}  // namespace quorvex
