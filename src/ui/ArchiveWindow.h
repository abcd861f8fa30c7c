#pragma once
// The archive window (File → "[2310]Archiwum…"): the archived loggers with their name, serial
// number, type and last download; for the chosen one its logs (start, interval, records archived
// and announced, first and last record) with the downloads that brought them (moment, outcome,
// user and computer); a filter by name or serial number. A log, whole or between two moments,
// opens in the results tab through `open`. A log whose records were changed outside the program
// is marked damaged as it is chosen, and does not open. The window only reads the archive.
#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

#include "archive/Archive.h"

class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace quorvex {

class ArchiveWindow : public QDialog {
    Q_OBJECT
public:
    // The log's records between the two moments (logger clock; none: from its first, to its
    // last) into the results tab; false when that did not happen (the window stays as it is).
    using OpenLog = std::function<bool(std::int64_t log, std::optional<Moment> from, std::optional<Moment> to)>;

    // `archive` may be null: the window then says the program runs without one.
    ArchiveWindow(Archive* archive, OpenLog open, QWidget* parent = nullptr);

    // The archive to show; null with `problem` saying why there is none (empty: none chosen).
    void SetArchive(Archive* archive, const ArchiveText& problem);
    // Reads the loggers anew, keeping the chosen one when it is still there.
    void Refresh();
    // Chooses the logger with this serial number; false when it is not listed.
    bool ChooseLogger(const QString& serial);
    // Opens the chosen log between the moments set; false when none is chosen or it did not open.
    bool OpenChosen();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void RetranslateTexts();
    void ApplyFilter();
    void ShowLogs();
    void LogChosen();

    Archive* archive_;
    ArchiveText problem_;
    OpenLog open_;
    QList<ArchiveLoggerRow> loggerRows_;
    QLabel* where_ = nullptr;
    QLabel* filterCaption_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QGroupBox* loggersGroup_ = nullptr;
    QTreeWidget* loggers_ = nullptr;
    QGroupBox* logsGroup_ = nullptr;
    QTreeWidget* logs_ = nullptr;
    QLabel* fromCaption_ = nullptr;
    QDateTimeEdit* from_ = nullptr;
    QLabel* toCaption_ = nullptr;
    QDateTimeEdit* to_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace quorvex
