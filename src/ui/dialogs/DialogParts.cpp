#include "ui/dialogs/DialogParts.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

#include <QBoxLayout>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFontMetrics>
#include <QLocale>
#include <QPushButton>

#include "params/ParameterModel.h"

namespace quorvex {

void AddSaveCloseButtons(QDialog* dialog, QBoxLayout* layout, QPushButton*& save, QPushButton*& close) {
    save = Named(new QPushButton(QStringLiteral("[14]Zapisz"), dialog), objname::kSaveButton);
    close = Named(new QPushButton(QStringLiteral("[15]Anuluj"), dialog), objname::kCloseButton);
    save->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(close);
    layout->addLayout(row);
}

void SetPickerFormat(QDateTimeEdit* picker, const QString& format) {
    const QLocale locale;
    picker->setLocale(locale);
    picker->setDisplayFormat(format);
    picker->setMinimumWidth(0);
    const QFontMetrics fm(picker->font());
    auto width = [&](QDate d) {
        return fm.horizontalAdvance(locale.toString(QDateTime(d, QTime(23, 59, 59)), format));
    };
    const int measured = std::max(width(picker->minimumDate()), width(picker->maximumDate()));
    int widest = measured;
    for (QDate d(2000, 1, 1); d.year() == 2000; d = d.addDays(1)) widest = std::max(widest, width(d));
    picker->setMinimumWidth(picker->sizeHint().width() + widest - measured);
}

void FitToCaptions(QDialog* dialog) {
    dialog->layout()->activate();
    dialog->resize(dialog->sizeHint().expandedTo(dialog->minimumSizeHint()));
}

void WriteAndReadBack(ParameterModel& model, Parameter& parameter, const QString& text) {
    parameter.SetText(text);
    const std::uint16_t words[] = {parameter.Reg0, parameter.Reg1};
    model.WriteRegisters(parameter, words);
    parameter.Invalidate();
    model.ReadBack(parameter, 2);
}

}  // namespace quorvex
