#include "ui/dialogs/CorrectionDialog.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "params/ParameterModel.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {
namespace {

constexpr float kLimit = 3.0f;

}  // namespace

CorrectionDialog::CorrectionDialog(ParameterModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QString::fromLatin1(objname::kCorrectionDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));

    tempCaption = Named(new QLabel(QStringLiteral("[2050]Korekta temperatury:"), this), objname::kLeadCaption);
    tempEdit = Named(new QLineEdit(this), objname::kCorrTempEdit);
    tempUnit = Named(new QLabel(QStringLiteral("°C"), this), objname::kCorrTempUnitLabel);
    humCaption = Named(new QLabel(QStringLiteral("[2051]Korekta wilgotności:"), this), objname::kCorrHumLabel);
    humEdit = Named(new QLineEdit(this), objname::kCorrHumEdit);
    humUnit = Named(new QLabel(QStringLiteral("%"), this), objname::kCorrHumUnitLabel);
    tempEdit->setMaxLength(20);
    humEdit->setMaxLength(20);

    auto* grid = new QGridLayout;
    grid->addWidget(tempCaption, 0, 0);
    grid->addWidget(tempEdit, 0, 1);
    grid->addWidget(tempUnit, 0, 2);
    grid->addWidget(humCaption, 1, 0);
    grid->addWidget(humEdit, 1, 1);
    grid->addWidget(humUnit, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);

    connect(saveButton, &QPushButton::clicked, this, &CorrectionDialog::onSaveClicked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CorrectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onShown();
}

void CorrectionDialog::onShown() {
    shownTemp_ = model_.Param<CorrectionTemp>().GetText();
    shownHum_ = model_.Param<CorrectionHum>().GetText();
    tempEdit->setText(shownTemp_);
    humEdit->setText(shownHum_);
    // A logger without humidity: its humidity correction is shown greyed and left alone.
    const bool humidity = model_.Param<CorrectionHum>().Available;
    for (QWidget* w :
         {static_cast<QWidget*>(humCaption), static_cast<QWidget*>(humEdit), static_cast<QWidget*>(humUnit)})
        w->setEnabled(humidity);
    tempEdit->setFocus();
}

void CorrectionDialog::onSaveClicked() {
    const QString notNumber = QStringLiteral("[2056]Wpisana wartość musi być liczbą");
    const QString outOfRange = QStringLiteral("[2057]Wpisana liczba nie mieści się w zakresie");
    // The range error of the temperature keeps the wording operators know,
    // spelling included.
    if (!ReadNumberField(tempEdit, -kLimit, kLimit,
                         {QStringLiteral("[2054]Parametr korekcja temperatury."), notNumber, outOfRange,
                          QStringLiteral("[-3..3°C]"), QStringLiteral("[2054]Parametr korekcja tempeeratury.")},
                         this))
        return;
    if (humEdit->isEnabled() && !ReadNumberField(humEdit, -kLimit, kLimit,
                                                 {QStringLiteral("[2055]Parametr korekcja wilgotności."), notNumber,
                                                  outOfRange, QStringLiteral("[-3..3%]")},
                                                 this))
        return;

    const QString tempText = tempEdit->text();
    const QString humText = humEdit->text();
    bool changed = false;
    if (tempText != shownTemp_) {
        changed = true;
        auto& temp = model_.Param<CorrectionTemp>();
        temp.SetText(tempText);
        WriteCopiesAndReadBack(model_, temp, 1);
    }
    if (humEdit->isEnabled() && humText != shownHum_) {
        changed = true;
        auto& hum = model_.Param<CorrectionHum>();
        hum.SetText(humText);
        WriteCopiesAndReadBack(model_, hum, 1);
    }
    if (changed) model_.EnqueueResetCommand();
    accept();
}

}  // namespace quorvex
