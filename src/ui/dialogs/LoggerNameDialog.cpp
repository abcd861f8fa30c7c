#include "ui/dialogs/LoggerNameDialog.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "params/Cp1250.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {
namespace {

// Refuses an edit that puts in a character without a Windows-1250 byte (it
// would reach the logger as '?') or makes a name longer than a save can carry.
// Texts set by the dialog itself are not checked, so an over-long name read
// from the logger shows whole; edits that shorten it are let through as
// "intermediate" until it fits.
class LoggerNameValidator : public QValidator {
public:
    explicit LoggerNameValidator(QLineEdit* edit) : QValidator(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { last_ = ToCp1250(text).size(); });
    }
    State validate(QString& input, int&) const override {
        const QByteArray bytes = ToCp1250(input);
        if (bytes.contains('\0') || FromCp1250(bytes) != input) return Invalid;
        if (bytes.size() <= LoggerNameDialog::kMaxNameCharacters) return Acceptable;
        return bytes.size() < last_ ? Intermediate : Invalid;
    }

private:
    qsizetype last_ = 0;  // bytes of the text now in the edit
};

}  // namespace

LoggerNameDialog::LoggerNameDialog(ParameterModel& model, QWidget* parent) : QDialog(parent, Qt::Tool), model_(model) {
    setObjectName(QString::fromLatin1(objname::kLoggerNameDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    nameGroup = Named(new QGroupBox(QStringLiteral("[110]Nazwa"), this), objname::kNameGroup);
    nameEdit = Named(new QLineEdit(nameGroup), objname::kNameEdit);
    nameEdit->setValidator(new LoggerNameValidator(nameEdit));
    // Room for a long name in wide letters.
    nameEdit->setMinimumWidth(nameEdit->fontMetrics().horizontalAdvance(QString(kMaxNameCharacters, u'W')) * 3 / 4);
    (new QVBoxLayout(nameGroup))->addWidget(nameEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(nameGroup);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);

    connect(saveButton, &QPushButton::clicked, this, [this] {
        onSaveClicked();
        accept();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(nameEdit, &QLineEdit::textChanged, this, [this] { saveButton->setEnabled(CanSave()); });
}

bool LoggerNameDialog::CanSave() const { return nameEdit->text() == shownName_ || nameEdit->hasAcceptableInput(); }

void LoggerNameDialog::showEvent(QShowEvent* e) {
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
}

void LoggerNameDialog::onShown() {
    shownName_ = model_.Param<LoggerName>().GetText();
    nameEdit->setText(shownName_);
    saveButton->setEnabled(true);
    nameEdit->setFocus();
}

void LoggerNameDialog::onSaveClicked() {
    const QString text = nameEdit->text();
    if (text == shownName_ || !CanSave()) return;

    LoggerName& name = model_.Param<LoggerName>();
    name.SetText(text);
    const auto words = name.Words();
    // Two registers a write, 256 to 277; the parameter's first register walks
    // along and comes back to 256.
    const std::int32_t first = name.FirstRegister;
    for (int k = 0; k < LoggerName::kWrittenWords; k += 2) {
        name.FirstRegister = first + k;
        model_.WriteRegisters(name, std::span(words).subspan(static_cast<std::size_t>(k), 2));
    }
    name.FirstRegister = first;
    // The name shows empty until the read-back arrives.
    name.NameBuffer[0] = 0xFF;
    name.NameBuffer[1] = 0xFF;
    model_.ReadBack(name, LoggerName::kWrittenWords);
}

}  // namespace quorvex
