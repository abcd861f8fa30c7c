#pragma once
// The change log window (File → "[2573]Dziennik zmian…"): the archive's change log, filtered by
// logger and period, with what checking its chain found when the window opened ("intact", or
// the first entry changed or removed), and the list as shown printed to a PDF file. The window
// only reads the archive.
#include <QDialog>
#include <QList>

#include <functional>

#include "archive/Archive.h"
#include "sign/FileSigner.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace quorvex {

class ChangeLogWindow : public QDialog {
    Q_OBJECT
public:
    // `archive` may be null: the window then says the program runs without one.
    explicit ChangeLogWindow(Archive* archive, QWidget* parent = nullptr);

    // The archive to show; null with `problem` saying why there is none (empty: none chosen).
    void SetArchive(Archive* archive, const ArchiveText& problem);
    // Checks the chain and lists the entries anew, keeping the filter.
    void Refresh();
    // Lists the entries anew (one appended since), keeping the filter and what the check found.
    void ShowNewEntries();
    // Writes the entries shown to a PDF file; false when that failed.
    bool PrintTo(const QString& path);
    // Asks where to write the PDF (empty: cancelled); a file dialog unless a test sets it.
    std::function<QString()> AskPdfPath;
    // Signs the PDF just written (the program's signer of written files); none: left unsigned.
    std::function<SignOutcome(const QString& path)> SignFile;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RetranslateTexts();
    void ShowEntries();
    void ShowCheck();

    Archive* archive_;
    ArchiveText problem_;
    std::optional<ChangeLogCheck> check_;
    QList<ChangeEntry> entries_;
    bool periodSet_ = false;
    QDate periodEnd_;  // the period's end as the window set it (today), not the operator
    QLabel* checkLabel_ = nullptr;
    QLabel* loggerCaption_ = nullptr;
    QComboBox* logger_ = nullptr;
    QLabel* fromCaption_ = nullptr;
    QDateEdit* from_ = nullptr;
    QLabel* toCaption_ = nullptr;
    QDateEdit* to_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace quorvex
