#include "chart/ObjectNames.h"
#include "ui/dialogs/ClockDialog.h"

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

#include "params/ParameterModel.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

ClockDialog::ClockDialog(ParameterModel& model, QWidget* parent)
    : QDialog(parent, Qt::Tool), model_(model)
{
    setObjectName(QString::fromLatin1(objname::kClockDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    GroupBox3 = Named(new QGroupBox(QStringLiteral("[130]Zegar"), this), objname::kFieldsGroup);
    LabelAktualnaData = Named(new QLabel(QStringLiteral("[131]Data:"), GroupBox3), objname::kClockDateCaption);
    DateTimeAktualnaData = Named(new QDateEdit(GroupBox3), objname::kDateEdit);
    LabelAktualnyCzas = Named(new QLabel(QStringLiteral("[132]Czas:"), GroupBox3), objname::kClockTimeCaption);
    DateTimeAktualnyCzas = Named(new QTimeEdit(GroupBox3), objname::kTimeEdit);
    CheckBoxComputerTime = Named(new QCheckBox(QStringLiteral("[133]Odczytuj czas z komputera"), GroupBox3),
                                 objname::kComputerTimeCheck);
    CheckBoxLoggerTime = Named(new QCheckBox(QStringLiteral("[134]Odczytuj czas z loggera"), GroupBox3),
                               objname::kLoggerTimeCheck);
    DateTimeAktualnaData->setCalendarPopup(true);

    auto* grid = new QGridLayout(GroupBox3);
    grid->addWidget(LabelAktualnaData, 0, 0);
    grid->addWidget(DateTimeAktualnaData, 0, 1);
    grid->addWidget(LabelAktualnyCzas, 1, 0);
    grid->addWidget(DateTimeAktualnyCzas, 1, 1);
    grid->addWidget(CheckBoxComputerTime, 2, 0, 1, 2);
    grid->addWidget(CheckBoxLoggerTime, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox3);
    AddSaveCloseButtons(this, layout, ButtonSave, ButtonClose);

    Timer1 = Named(new QTimer(this), objname::kPollTimer);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &ClockDialog::Timer1Timer);
    // Runs only while the dialog is shown: hidden, it would wake the program every second
    // for nothing.

    connect(CheckBoxComputerTime, &QCheckBox::clicked, this, &ClockDialog::CheckBoxComputerTimeClick);
    connect(CheckBoxLoggerTime, &QCheckBox::clicked, this, [this] { CheckBoxLoggerTimeClick(); });
    connect(DateTimeAktualnaData, &QDateEdit::dateChanged, this, &ClockDialog::DateTimeAktualnaDataChange);
    connect(DateTimeAktualnyCzas, &QTimeEdit::timeChanged, this, &ClockDialog::DateTimeAktualnyCzasChange);
    connect(ButtonSave, &QPushButton::clicked, this, [this] {
        ButtonSaveClick();
        accept();
    });
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

void ClockDialog::showEvent(QShowEvent* e)
{
    // The pickers show the formats of the locale in force now.
    SetPickerFormat(DateTimeAktualnaData, QLocale().dateFormat(QLocale::LongFormat));
    SetPickerFormat(DateTimeAktualnyCzas, LongTimeFormat());
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
    Timer1->start();
}

void ClockDialog::hideEvent(QHideEvent* e)
{
    Timer1->stop();
    QDialog::hideEvent(e);
}

void ClockDialog::onShown()
{
    CheckBoxLoggerTime->setChecked(true);
    if (!CheckBoxLoggerTimeClick()) {
        const QDateTime now = ComputerClock();
        SetPickers(now.date(), now.time());
        CheckBoxComputerTime->setChecked(true);
        CheckBoxComputerTimeClick();
    }
}

void ClockDialog::CheckBoxComputerTimeClick()
{
    if (!CheckBoxComputerTime->isChecked()) return;
    CheckBoxLoggerTime->setChecked(false);
    const QDateTime now = ComputerClock();
    SetPickers(now.date(), now.time());
}

bool ClockDialog::CheckBoxLoggerTimeClick()
{
    if (!CheckBoxLoggerTime->isChecked()) return true;
    CheckBoxComputerTime->setChecked(false);
    shownDate_ = model_.Param<CCurrentDate>().GetText();
    shownTime_ = model_.Param<CCurrentTime>().GetText();
    const auto date = ParseDateTimeText(shownDate_);
    const auto time = ParseDateTimeText(shownTime_);
    if (!date || !time) return false;
    SetPickers(date->date(), time->time());
    return true;
}

void ClockDialog::Timer1Timer()
{
    if (!isVisible()) return;
    CheckBoxComputerTimeClick();
    // The logger texts empty only when the link is lost, which closes the
    // dialog; until then the pickers keep what they show.
    CheckBoxLoggerTimeClick();
}

void ClockDialog::DateTimeAktualnaDataChange()
{
    CheckBoxComputerTime->setChecked(false);
    CheckBoxLoggerTime->setChecked(false);
}

void ClockDialog::DateTimeAktualnyCzasChange() { DateTimeAktualnaDataChange(); }

void ClockDialog::SetPickers(QDate date, QTime time)
{
    const QSignalBlocker blockDate(DateTimeAktualnaData);
    const QSignalBlocker blockTime(DateTimeAktualnyCzas);
    DateTimeAktualnaData->setDate(date);
    DateTimeAktualnyCzas->setTime(time);
}

void ClockDialog::ButtonSaveClick()
{
    const QLocale locale;
    const QString dateText = locale.toString(DateTimeAktualnaData->date(), ShortDateFormat());
    const QString timeText = locale.toString(DateTimeAktualnyCzas->time(), LongTimeFormat());
    if (dateText != shownDate_)
        WriteAndReadBack(model_, model_.Param<CCurrentDate>(), dateText);
    if (timeText != shownTime_)
        WriteAndReadBack(model_, model_.Param<CCurrentTime>(), timeText);
}

}  // namespace quorvex
