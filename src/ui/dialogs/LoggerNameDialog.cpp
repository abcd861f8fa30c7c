#include "chart/ObjectNames.h"
#include "ui/dialogs/LoggerNameDialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

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
    explicit LoggerNameValidator(QLineEdit* edit) : QValidator(edit)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { last_ = ToCp1250(text).size(); });
    }
    State validate(QString& input, int&) const override
    {
        const QByteArray bytes = ToCp1250(input);
        if (bytes.contains('\0') || FromCp1250(bytes) != input) return Invalid;
        if (bytes.size() <= LoggerNameDialog::kMaxNameCharacters) return Acceptable;
        return bytes.size() < last_ ? Intermediate : Invalid;
    }

private:
    qsizetype last_ = 0;  // bytes of the text now in the edit
};

}  // namespace

LoggerNameDialog::LoggerNameDialog(ParameterModel& model, QWidget* parent)
    : QDialog(parent, Qt::Tool), model_(model)
{
    setObjectName(QString::fromLatin1(objname::kLoggerNameDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    GroupBoxNazwaLoggera = Named(new QGroupBox(QStringLiteral("[110]Nazwa"), this), objname::kNameGroup);
    EditNazwa = Named(new QLineEdit(GroupBoxNazwaLoggera), objname::kNameEdit);
    EditNazwa->setValidator(new LoggerNameValidator(EditNazwa));
    // Room for a long name in wide letters.
    EditNazwa->setMinimumWidth(EditNazwa->fontMetrics().horizontalAdvance(QString(kMaxNameCharacters, u'W')) * 3 / 4);
    (new QVBoxLayout(GroupBoxNazwaLoggera))->addWidget(EditNazwa);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBoxNazwaLoggera);
    AddSaveCloseButtons(this, layout, ButtonSave, ButtonClose);

    connect(ButtonSave, &QPushButton::clicked, this, [this] {
        ButtonSaveClick();
        accept();
    });
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(EditNazwa, &QLineEdit::textChanged, this, [this] { ButtonSave->setEnabled(CanSave()); });
}

bool LoggerNameDialog::CanSave() const { return EditNazwa->text() == shownName_ || EditNazwa->hasAcceptableInput(); }

void LoggerNameDialog::showEvent(QShowEvent* e)
{
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
}

void LoggerNameDialog::onShown()
{
    shownName_ = model_.Param<CLoggerName>().GetText();
    EditNazwa->setText(shownName_);
    ButtonSave->setEnabled(true);
    EditNazwa->setFocus();
}

void LoggerNameDialog::ButtonSaveClick()
{
    const QString text = EditNazwa->text();
    if (text == shownName_ || !CanSave()) return;

    CLoggerName& name = model_.Param<CLoggerName>();
    name.SetText(text);
    const auto words = name.Words();
    // Two registers a write, 256 to 277; the parameter's first register walks
    // along and comes back to 256.
    const std::int32_t first = name.FirstRegister;
    for (int k = 0; k < CLoggerName::kWrittenWords; k += 2) {
        name.FirstRegister = first + k;
        model_.WriteRegisters(name, std::span(words).subspan(static_cast<std::size_t>(k), 2));
    }
    name.FirstRegister = first;
    // The name shows empty until the read-back arrives.
    name.NameBuffer[0] = 0xFF;
    name.NameBuffer[1] = 0xFF;
    model_.ReadBack(name, CLoggerName::kWrittenWords);
}

}  // namespace quorvex
