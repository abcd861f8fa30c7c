#include "chart/ObjectNames.h"
#include "ui/dialogs/SaveIntervalDialog.h"

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

    GroupBox3 = Named(new QGroupBox(QStringLiteral("[240]Parametry zapisu"), this), objname::kFieldsGroup);
    Label = Named(new QLabel(QStringLiteral("[241]Częstość zapisu:"), GroupBox3), objname::kIntervalLabel);
    UpDown1 = Named(new QSpinBox(GroupBox3), objname::kDaysSpin);
    UpDown1->setRange(0, kMaxDays);
    UpDown1->setSingleStep(1);
    UpDown1->setValue(0);
    // The days change only by the arrows (buttons or keys), never by typing.
    Edit1 = Named(UpDown1->findChild<QLineEdit*>(), objname::kDaysEdit);
    Edit1->setReadOnly(true);
    DateTime = Named(new QTimeEdit(GroupBox3), objname::kHoursEdit);
    DateTime->setDisplayFormat(QStringLiteral("HH'h' mm'm' ss's'"));
    DateTime->setTime(QTime(0, 0));

    auto* row = new QHBoxLayout(GroupBox3);
    row->addWidget(Label);
    row->addWidget(UpDown1);
    row->addWidget(DateTime);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(GroupBox3);
    AddSaveCloseButtons(this, layout, ButtonSave, ButtonClose);

    connect(ButtonSave, &QPushButton::clicked, this, &SaveIntervalDialog::ButtonSaveClick);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

void SaveIntervalDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onShown();
}

void SaveIntervalDialog::onShown() {
    shownInterval_ = model_.Param<CWriteInterval>().GetValue();
    UpDown1->setValue(shownInterval_ / kSecondsPerDay);  // the spin box keeps it within 0–100
    const int rest = shownInterval_ % kSecondsPerDay;
    const QTime time(rest / 3600, rest % 3600 / 60, rest % 60);
    DateTime->setTime(time.isValid() ? time : QTime(0, 0));
    DateTime->setFocus();
}

void SaveIntervalDialog::ButtonSaveClick() {
    const QTime time = DateTime->time();
    const int total =
        time.hour() * 3600 + time.minute() * 60 + time.second() + UpDown1->value() * kSecondsPerDay;
    // A logger told to save every 0 s would never save; nothing is written.
    if (total == 0) {
        ShowParameterError(this, TranslateText(QStringLiteral("[2152]Częstość zapisu musi być dłuższa niż 0 s.")));
        DateTime->setFocus();
        return;
    }
    if (total != shownInterval_) {
        auto& interval = model_.Param<CWriteInterval>();
        interval.SetValue(total);
        WriteCopiesAndReadBack(model_, interval, 2);
    }
    accept();
}

}  // namespace quorvex
