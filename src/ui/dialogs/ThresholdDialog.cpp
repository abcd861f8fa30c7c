#include "chart/ObjectNames.h"
#include "ui/dialogs/ThresholdDialog.h"

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

ThresholdDialog::ThresholdDialog(ParameterModel& model, Parameter& upper, Parameter& lower,
                                 const ThresholdKind& kind, QWidget* parent)
    : QDialog(parent), model_(model), upper_(upper), lower_(lower), low_(kind.low), high_(kind.high),
      rangeText_(kind.rangeText) {
    setObjectName(QString::fromLatin1(kind.objectName));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));

    GroupBox1 = new QGroupBox(kind.groupCaption, this);
    GroupBox1->setObjectName(QString::fromLatin1(objname::kLeadGroup));
    LabelUpper = NamedLabel(QStringLiteral("[141]Górny próg:"), objname::kUpperLabel, GroupBox1);
    EditUpperLimit = NamedEdit(objname::kUpperEdit, GroupBox1);
    LabelUpperUnit = NamedLabel(kind.unit, objname::kUpperUnitLabel, GroupBox1);
    LabelLower = NamedLabel(QStringLiteral("[142]Dolny próg:"), objname::kLowerLabel, GroupBox1);
    EditLowerLimit = NamedEdit(objname::kLowerEdit, GroupBox1);
    LabelLowerUnit = NamedLabel(kind.unit, objname::kLowerUnitLabel, GroupBox1);
    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(LabelUpper, 0, 0);
    grid->addWidget(EditUpperLimit, 0, 1);
    grid->addWidget(LabelUpperUnit, 0, 2);
    grid->addWidget(LabelLower, 1, 0);
    grid->addWidget(EditLowerLimit, 1, 1);
    grid->addWidget(LabelLowerUnit, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // follows the length of the translated captions
    layout->addWidget(GroupBox1);
    AddSaveCloseButtons(this, layout, ButtonSave, cancelButton_);
    cancelButton_->setObjectName(QString::fromLatin1(kind.cancelName));

    connect(ButtonSave, &QPushButton::clicked, this, &ThresholdDialog::ButtonSaveClick);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void ThresholdDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    onShown();
}

void ThresholdDialog::onShown() {
    shownUpper_ = upper_.GetText();
    shownLower_ = lower_.GetText();
    EditUpperLimit->setText(shownUpper_);
    EditLowerLimit->setText(shownLower_);
    EditUpperLimit->setFocus();
}

void ThresholdDialog::ButtonSaveClick() {
    const QString notNumber = QStringLiteral("[2056]Wpisana wartość musi być liczbą");
    const QString outOfRange = QStringLiteral("[2057]Wpisana liczba nie mieści się w zakresie");
    float upper = 0, lower = 0;
    if (!ReadNumberField(EditUpperLimit, low_, high_,
                         {QStringLiteral("[2052]Parametr górny próg."), notNumber, outOfRange, rangeText_}, this,
                         &upper))
        return;
    if (!ReadNumberField(EditLowerLimit, low_, high_,
                         {QStringLiteral("[2053]Parametr dolny próg."), notNumber, outOfRange, rangeText_}, this,
                         &lower))
        return;
    // Thresholds upside down would raise an alarm at every reading; nothing is written.
    if (upper <= lower) {
        EditUpperLimit->setFocus();
        ShowParameterError(this, TranslateText(QStringLiteral("[2151]Górny próg (%1) musi być wyższy od dolnego progu (%2)."))
                                     .arg(EditUpperLimit->text().trimmed(), EditLowerLimit->text().trimmed()));
        return;
    }

    // Texts are compared as typed: "25.0" where "25,0" was shown is a change.
    const QString upperText = EditUpperLimit->text();
    const QString lowerText = EditLowerLimit->text();
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
