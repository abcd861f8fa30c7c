#include "ui/dialogs/SaveIntervalDialog.h"
#include "ui/dialogs/ObjectNames.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "logs/LoggerInfo.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {
namespace {

constexpr int kSecondsPerDay = 86400;

}  // namespace

SaveIntervalDialog::SaveIntervalDialog(ParameterModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QString::fromLatin1(objname::kSaveIntervalDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setWindowFlag(Qt::Tool);

    fieldsGroup = Named(new QGroupBox(QStringLiteral("[240]Parametry zapisu"), this), objname::kFieldsGroup);
    intervalCaption = Named(new QLabel(QStringLiteral("[241]Częstość zapisu:"), fieldsGroup), objname::kIntervalLabel);
    daysSpin = Named(new QSpinBox(fieldsGroup), objname::kDaysSpin);
    daysSpin->setRange(0, kMaxDays);
    daysSpin->setSingleStep(1);
    daysSpin->setValue(0);
    // The days change only by the arrows (buttons or keys), never by typing.
    daysEdit = Named(daysSpin->findChild<QLineEdit*>(), objname::kDaysEdit);
    daysEdit->setReadOnly(true);
    hoursEdit = Named(new QTimeEdit(fieldsGroup), objname::kHoursEdit);
    hoursEdit->setDisplayFormat(QStringLiteral("HH'h' mm'm' ss's'"));
    hoursEdit->setTime(QTime(0, 0));

    auto* row = new QHBoxLayout(fieldsGroup);
    row->addWidget(intervalCaption);
    row->addWidget(daysSpin);
    row->addWidget(hoursEdit);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(fieldsGroup);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);

    connect(saveButton, &QPushButton::clicked, this, &SaveIntervalDialog::onSaveClicked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void SaveIntervalDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onShown();
}

void SaveIntervalDialog::onShown() {
    shownInterval_ = model_.Param<WriteInterval>().GetValue();
    daysSpin->setValue(shownInterval_ / kSecondsPerDay);  // the spin box keeps it within 0–100
    const int rest = shownInterval_ % kSecondsPerDay;
    const QTime time(rest / 3600, rest % 3600 / 60, rest % 60);
    hoursEdit->setTime(time.isValid() ? time : QTime(0, 0));
    hoursEdit->setFocus();
}

void SaveIntervalDialog::onSaveClicked() {
    const QTime time = hoursEdit->time();
    const int total = time.hour() * 3600 + time.minute() * 60 + time.second() + daysSpin->value() * kSecondsPerDay;
    // A logger told to save every 0 s would never save; nothing is written.
    if (total == 0) {
        ShowParameterError(this, TranslateText(QStringLiteral("[2152]Częstość zapisu musi być dłuższa niż 0 s.")));
        hoursEdit->setFocus();
        return;
    }
    if (total != shownInterval_) {
        auto& interval = model_.Param<WriteInterval>();
        interval.SetValue(total);
        WriteCopiesAndReadBack(model_, interval, 2);
    }
    accept();
}

}  // namespace quorvex
