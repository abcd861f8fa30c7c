#include "ui/dialogs/DialogInput.h"

#include <QLineEdit>
#include <QMessageBox>

#include <array>
#include <cstdint>

#include "logs/LoggerInfo.h"
#include "params/Codecs.h"
#include "params/ParameterModel.h"

namespace quorvex {

bool ReadNumberField(QLineEdit* edit, float low, float high, const NumberFieldTexts& texts, QWidget* parent,
                     float* parsed) {
    edit->setFocus();
    float value = 0;
    if (!ParseNumber(edit->text(), value)) {
        ShowParameterError(parent, TranslateText(texts.parameter) + u'\n' + TranslateText(texts.notNumber));
        return false;
    }
    // Written so that a value that does not compare (NaN) fails as well.
    if (!(value >= low && value <= high)) {
        const QString& parameter = texts.rangeParameter.isEmpty() ? texts.parameter : texts.rangeParameter;
        ShowParameterError(parent,
                           TranslateText(parameter) + u'\n' + TranslateText(texts.outOfRange) + u' ' + texts.range);
        return false;
    }
    if (parsed) *parsed = value;
    return true;
}

void ShowParameterError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, TranslateText(QStringLiteral("[1020]Błąd")), text, QMessageBox::Ok, parent);
    box.exec();
}

void WriteCopiesAndReadBack(ParameterModel& model, Parameter& parameter, int count) {
    const std::array<std::uint16_t, 3> copies{parameter.Reg0, parameter.Reg1, parameter.Reg2};
    model.WriteRegisters(parameter, std::span(copies).first(static_cast<std::size_t>(count)));
    parameter.Invalidate();
    model.ReadBack(parameter, count);
}

}  // namespace quorvex
