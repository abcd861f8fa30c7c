#include "ui/dialogs/ThresholdDialog.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "logs/LoggerInfo.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {
namespace {

QLabel* NamedLabel(const QString& text, const char* name, QWidget* parent) {
    return Named(new QLabel(text, parent), name);
}

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(20);
    return edit;
}

// A threshold pair shares its two registers with the other measurement's
// threshold; both copies must be known, or the write would overwrite the
// other threshold with the "not received" marker.
bool PairKnown(const Parameter& p) { return p.Reg0 != kNotReceived && p.Reg1 != kNotReceived; }

}  // namespace

ThresholdDialog::ThresholdDialog(ParameterModel& model, Parameter& upper, Parameter& lower, const ThresholdKind& kind,
                                 QWidget* parent)
    : QDialog(parent),
      model_(model),
      upper_(upper),
      lower_(lower),
      low_(kind.low),
      high_(kind.high),
      rangeText_(kind.rangeText) {
    setObjectName(QString::fromLatin1(kind.objectName));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));

    limitsGroup = new QGroupBox(kind.groupCaption, this);
    limitsGroup->setObjectName(QString::fromLatin1(objname::kLeadGroup));
    upperCaption = NamedLabel(QStringLiteral("[141]Górny próg:"), objname::kUpperLabel, limitsGroup);
    upperEdit = NamedEdit(objname::kUpperEdit, limitsGroup);
    upperUnit = NamedLabel(kind.unit, objname::kUpperUnitLabel, limitsGroup);
    lowerCaption = NamedLabel(QStringLiteral("[142]Dolny próg:"), objname::kLowerLabel, limitsGroup);
    lowerEdit = NamedEdit(objname::kLowerEdit, limitsGroup);
    lowerUnit = NamedLabel(kind.unit, objname::kLowerUnitLabel, limitsGroup);
    auto* grid = new QGridLayout(limitsGroup);
    grid->addWidget(upperCaption, 0, 0);
    grid->addWidget(upperEdit, 0, 1);
    grid->addWidget(upperUnit, 0, 2);
    grid->addWidget(lowerCaption, 1, 0);
    grid->addWidget(lowerEdit, 1, 1);
    grid->addWidget(lowerUnit, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // follows the length of the translated captions
    layout->addWidget(limitsGroup);
    AddSaveCloseButtons(this, layout, saveButton, cancelButton_);
    cancelButton_->setObjectName(QString::fromLatin1(kind.cancelName));

    connect(saveButton, &QPushButton::clicked, this, &ThresholdDialog::onSaveClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void ThresholdDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onShown();
}

void ThresholdDialog::onShown() {
    shownUpper_ = upper_.GetText();
    shownLower_ = lower_.GetText();
    upperEdit->setText(shownUpper_);
    lowerEdit->setText(shownLower_);
    upperEdit->setFocus();
}

void ThresholdDialog::onSaveClicked() {
    const QString notNumber = QStringLiteral("[2056]Wpisana wartość musi być liczbą");
    const QString outOfRange = QStringLiteral("[2057]Wpisana liczba nie mieści się w zakresie");
    float upper = 0, lower = 0;
    if (!ReadNumberField(upperEdit, low_, high_,
                         {QStringLiteral("[2052]Parametr górny próg."), notNumber, outOfRange, rangeText_}, this,
                         &upper))
        return;
    if (!ReadNumberField(lowerEdit, low_, high_,
                         {QStringLiteral("[2053]Parametr dolny próg."), notNumber, outOfRange, rangeText_}, this,
                         &lower))
        return;
    // Thresholds upside down would raise an alarm at every reading; nothing is written.
    if (upper <= lower) {
        upperEdit->setFocus();
        ShowParameterError(this,
                           TranslateText(QStringLiteral("[2151]Górny próg (%1) musi być wyższy od dolnego progu (%2)."))
                               .arg(upperEdit->text().trimmed(), lowerEdit->text().trimmed()));
        return;
    }

    // Texts are compared as typed: "25.0" where "25,0" was shown is a change.
    const QString upperText = upperEdit->text();
    const QString lowerText = lowerEdit->text();
    const bool upperChanged = upperText != shownUpper_;
    const bool lowerChanged = lowerText != shownLower_;
    if ((upperChanged && !PairKnown(upper_)) || (lowerChanged && !PairKnown(lower_))) {
        ShowParameterError(this, TranslateText(QStringLiteral("[2058]Progi nie zostały jeszcze odczytane z Loggera.")));
        return;
    }
    if (upperChanged) WriteAndReadBack(model_, upper_, upperText);
    if (lowerChanged) WriteAndReadBack(model_, lower_, lowerText);
    accept();
}

}  // namespace quorvex
