#include "ui/dialogs/ClockDialog.h"
#include "ui/dialogs/ObjectNames.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

ClockDialog::ClockDialog(ParameterModel& model, QWidget* parent) : QDialog(parent, Qt::Tool), model_(model) {
    setObjectName(QString::fromLatin1(objname::kClockDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    fieldsGroup = Named(new QGroupBox(QStringLiteral("[130]Zegar"), this), objname::kFieldsGroup);
    dateCaption = Named(new QLabel(QStringLiteral("[131]Data:"), fieldsGroup), objname::kClockDateCaption);
    dateEdit = Named(new QDateEdit(fieldsGroup), objname::kDateEdit);
    timeCaption = Named(new QLabel(QStringLiteral("[132]Czas:"), fieldsGroup), objname::kClockTimeCaption);
    timeEdit = Named(new QTimeEdit(fieldsGroup), objname::kTimeEdit);
    computerTimeCheck = Named(new QCheckBox(QStringLiteral("[133]Odczytuj czas z komputera"), fieldsGroup),
                              objname::kComputerTimeCheck);
    loggerTimeCheck =
        Named(new QCheckBox(QStringLiteral("[134]Odczytuj czas z loggera"), fieldsGroup), objname::kLoggerTimeCheck);
    dateEdit->setCalendarPopup(true);

    auto* grid = new QGridLayout(fieldsGroup);
    grid->addWidget(dateCaption, 0, 0);
    grid->addWidget(dateEdit, 0, 1);
    grid->addWidget(timeCaption, 1, 0);
    grid->addWidget(timeEdit, 1, 1);
    grid->addWidget(computerTimeCheck, 2, 0, 1, 2);
    grid->addWidget(loggerTimeCheck, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fieldsGroup);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);

    pollTimer = Named(new QTimer(this), objname::kPollTimer);
    pollTimer->setInterval(1000);
    connect(pollTimer, &QTimer::timeout, this, &ClockDialog::onPollTimer);
    // Runs only while the dialog is shown: hidden, it would wake the program every second
    // for nothing.

    connect(computerTimeCheck, &QCheckBox::clicked, this, &ClockDialog::onComputerTimeClicked);
    connect(loggerTimeCheck, &QCheckBox::clicked, this, [this] { onLoggerTimeClicked(); });
    connect(dateEdit, &QDateEdit::dateChanged, this, &ClockDialog::onDateEdited);
    connect(timeEdit, &QTimeEdit::timeChanged, this, &ClockDialog::onTimeEdited);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        onSaveClicked();
        accept();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ClockDialog::showEvent(QShowEvent* e) {
    // The pickers show the formats of the locale in force now.
    SetPickerFormat(dateEdit, QLocale().dateFormat(QLocale::LongFormat));
    SetPickerFormat(timeEdit, LongTimeFormat());
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
    pollTimer->start();
}

void ClockDialog::hideEvent(QHideEvent* e) {
    pollTimer->stop();
    QDialog::hideEvent(e);
}

void ClockDialog::onShown() {
    loggerTimeCheck->setChecked(true);
    if (!onLoggerTimeClicked()) {
        const QDateTime now = ComputerClock();
        SetPickers(now.date(), now.time());
        computerTimeCheck->setChecked(true);
        onComputerTimeClicked();
    }
}

void ClockDialog::onComputerTimeClicked() {
    if (!computerTimeCheck->isChecked()) return;
    loggerTimeCheck->setChecked(false);
    const QDateTime now = ComputerClock();
    SetPickers(now.date(), now.time());
}

bool ClockDialog::onLoggerTimeClicked() {
    if (!loggerTimeCheck->isChecked()) return true;
    computerTimeCheck->setChecked(false);
    shownDate_ = model_.Param<CurrentDate>().GetText();
    shownTime_ = model_.Param<CurrentTime>().GetText();
    const auto date = ParseDateTimeText(shownDate_);
    const auto time = ParseDateTimeText(shownTime_);
    if (!date || !time) return false;
    SetPickers(date->date(), time->time());
    return true;
}

void ClockDialog::onPollTimer() {
    if (!isVisible()) return;
    onComputerTimeClicked();
    // The logger texts empty only when the link is lost, which closes the
    // dialog; until then the pickers keep what they show.
    onLoggerTimeClicked();
}

void ClockDialog::onDateEdited() {
    computerTimeCheck->setChecked(false);
    loggerTimeCheck->setChecked(false);
}

void ClockDialog::onTimeEdited() { onDateEdited(); }

void ClockDialog::SetPickers(QDate date, QTime time) {
    const QSignalBlocker blockDate(dateEdit);
    const QSignalBlocker blockTime(timeEdit);
    dateEdit->setDate(date);
    timeEdit->setTime(time);
}

void ClockDialog::onSaveClicked() {
    const QLocale locale;
    const QString dateText = locale.toString(dateEdit->date(), ShortDateFormat());
    const QString timeText = locale.toString(timeEdit->time(), LongTimeFormat());
    if (dateText != shownDate_) WriteAndReadBack(model_, model_.Param<CurrentDate>(), dateText);
    if (timeText != shownTime_) WriteAndReadBack(model_, model_.Param<CurrentTime>(), timeText);
}

}  // namespace quorvex
