#include "chart/ObjectNames.h"
#include "ui/dialogs/StartDialog.h"

#include <array>

#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "logs/LoggerInfo.h"
#include "params/ParameterModel.h"
#include "params/DateTimeCodec.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

StartDialog::StartDialog(ParameterModel& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName(QString::fromLatin1(objname::kStartDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    GroupBoxTrybStartu2 = Named(new QGroupBox(QStringLiteral("[210]Parametry startu i rejestracji"), this),
                                objname::kStartMomentGroup);
    LabelMonitorCzasLogowania = Named(new QLabel(QStringLiteral("[211]Start logowania:"), GroupBoxTrybStartu2),
                                      objname::kStartMomentCaption);
    DateTimeAktualnaData = Named(new QDateEdit(GroupBoxTrybStartu2), objname::kDateEdit);
    DateTimeAktualnaData->setCalendarPopup(true);
    DateTimeAktualnyCzas = Named(new QTimeEdit(GroupBoxTrybStartu2), objname::kTimeEdit);

    GroupBoxTrybStartu = Named(new QGroupBox(QStringLiteral("[220]Sposób uruchomienia rejestracji:"),
                                             GroupBoxTrybStartu2), objname::kStartModeGroup);
    RadioButtonSU1 = Named(new QRadioButton(QStringLiteral("[221]przyciskiem na loggerze"), GroupBoxTrybStartu),
                           objname::kButtonStartRadio);
    RadioButtonSU2 = Named(new QRadioButton(QStringLiteral("[222]bezpośrednio z komputera"), GroupBoxTrybStartu),
                           objname::kImmediateStartRadio);
    RadioButtonSU3 = Named(new QRadioButton(QStringLiteral("[223]o ustalonym czasie"), GroupBoxTrybStartu),
                           objname::kTimedStartRadio);
    auto* modes = new QVBoxLayout(GroupBoxTrybStartu);
    for (QRadioButton* b : {RadioButtonSU1, RadioButtonSU2, RadioButtonSU3}) modes->addWidget(b);

    GroupBoxNadpisywanie = Named(new QGroupBox(QStringLiteral("[230]Po zapełnieniu pamięci:"), GroupBoxTrybStartu2),
                                 objname::kWrapGroup);
    RadioButtonPZ1 = Named(new QRadioButton(QStringLiteral("[231]zatrzymaj pracę loggera"), GroupBoxNadpisywanie),
                           objname::kStopWhenFullRadio);
    RadioButtonPZ2 = Named(new QRadioButton(QStringLiteral("[232]nadpisuj kasując poprzednie wyniki"),
                                            GroupBoxNadpisywanie), objname::kOverwriteRadio);
    auto* overwrite = new QVBoxLayout(GroupBoxNadpisywanie);
    overwrite->addWidget(RadioButtonPZ1);
    overwrite->addWidget(RadioButtonPZ2);

    auto* grid = new QGridLayout(GroupBoxTrybStartu2);
    grid->addWidget(LabelMonitorCzasLogowania, 0, 0);
    grid->addWidget(DateTimeAktualnaData, 0, 1);
    grid->addWidget(DateTimeAktualnyCzas, 0, 2);
    grid->addWidget(GroupBoxTrybStartu, 1, 0, 1, 3);
    grid->addWidget(GroupBoxNadpisywanie, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBoxTrybStartu2);
    AddSaveCloseButtons(this, layout, ButtonSave, ButtonClose);

    const std::pair<QRadioButton*, int> modeButtons[] = {{RadioButtonSU1, 0}, {RadioButtonSU2, 1}, {RadioButtonSU3, 2}};
    for (auto [button, mode] : modeButtons)
        connect(button, &QRadioButton::clicked, this, [this, mode = mode] { chosenStartMode_ = mode; });
    connect(RadioButtonPZ1, &QRadioButton::clicked, this, [this] { chosenOverwrite_ = 0; });
    connect(RadioButtonPZ2, &QRadioButton::clicked, this, [this] { chosenOverwrite_ = 1; });
    connect(ButtonSave, &QPushButton::clicked, this, [this] {
        if (ButtonSaveClick()) accept();
    });
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::reject);
}

void StartDialog::showEvent(QShowEvent* e)
{
    SetPickerFormat(DateTimeAktualnaData, QLocale().dateFormat(QLocale::LongFormat));
    SetPickerFormat(DateTimeAktualnyCzas, QStringLiteral("HH'h':mm'min':ss's'"));
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
}

void StartDialog::ClearRadios()
{
    for (QRadioButton* b : {RadioButtonSU1, RadioButtonSU2, RadioButtonSU3, RadioButtonPZ1, RadioButtonPZ2}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void StartDialog::Select(QRadioButton* button)
{
    button->setChecked(true);
    emit button->clicked(true);
}

void StartDialog::onShown()
{
    ClearRadios();
    const std::uint16_t cell = model_.Mirror()[0];
    currentStartMode_ = cell == kNotReceived ? -1 : (cell & 3);
    const std::array modeButtons{RadioButtonSU1, RadioButtonSU2, RadioButtonSU3};
    if (currentStartMode_ >= 0 && currentStartMode_ <= 2) Select(modeButtons[static_cast<std::size_t>(currentStartMode_)]);
    currentOverwrite_ = cell == kNotReceived ? -1 : (cell >> 3) & 1;
    if (currentOverwrite_ >= 0) Select(currentOverwrite_ == 0 ? RadioButtonPZ1 : RadioButtonPZ2);

    shownDate_ = model_.Param<CLogStartDate>().GetText();
    shownTime_ = model_.Param<CLogStartTime>().GetText();
    const auto date = ParseDateTimeText(shownDate_);
    const auto time = ParseDateTimeText(shownTime_);
    if (date && time) {
        DateTimeAktualnaData->setDate(date->date());
        DateTimeAktualnyCzas->setTime(time->time());
    } else {
        const QDateTime now = QDateTime::currentDateTime();
        DateTimeAktualnaData->setDate(now.date());
        DateTimeAktualnyCzas->setTime(now.time());
    }
}

QDateTime StartDialog::LoggerNow() const
{
    // The logger starts by its own clock; the computer's stands in while that is unknown.
    const auto date = ParseDateTimeText(model_.Param<CCurrentDate>().GetText());
    const auto time = ParseDateTimeText(model_.Param<CCurrentTime>().GetText());
    if (date && time) return QDateTime(date->date(), time->time());
    return QDateTime::currentDateTime();
}

bool StartDialog::ButtonSaveClick()
{
    const QDateTime start(DateTimeAktualnaData->date(), DateTimeAktualnyCzas->time());
    const int mode = chosenStartMode_ >= 0 ? chosenStartMode_ : currentStartMode_;
    const QDateTime now = LoggerNow();
    // A timed start already past would never come; nothing is written.
    if (mode == 2 && start <= now) {
        const QLocale locale;
        const QString format = ShortDateFormat() + u' ' + LongTimeFormat();
        ShowParameterError(this, TranslateText(QStringLiteral("[2153]Moment startu %1 już minął (teraz: %2)."))
                                     .arg(locale.toString(start, format), locale.toString(now, format)));
        DateTimeAktualnaData->setFocus();
        return false;
    }
    std::uint16_t& cell = *model_.Param<CStartLog>().StatusCell;
    // Nothing chosen (register 0 unread and no button clicked) writes nothing.
    if (chosenStartMode_ >= 0 && chosenStartMode_ != currentStartMode_) {
        model_.Param<CStartLog>().SetValue(chosenStartMode_);  // start moment applicable at once
        model_.WriteCommand(ParameterModel::kStartModeBit0Register, static_cast<std::uint16_t>(cell & 1));
        model_.WriteCommand(ParameterModel::kStartModeBit1Register, static_cast<std::uint16_t>(cell & 2));
        cell = kNotReceived;
    }
    if (chosenOverwrite_ >= 0 && chosenOverwrite_ != currentOverwrite_) {
        model_.Param<CWrapAround>().SetValue(chosenOverwrite_);
        model_.WriteCommand(ParameterModel::kOverwriteRegister, static_cast<std::uint16_t>(cell & 8));
        cell = kNotReceived;
    }
    model_.ReadBack(model_.Param<CStartLog>(), 1);
    model_.ReadBack(model_.Param<CWrapAround>(), 1);

    const QLocale locale;
    const QString dateText = locale.toString(DateTimeAktualnaData->date(), ShortDateFormat());
    const QString timeText = locale.toString(DateTimeAktualnyCzas->time(), LongTimeFormat());
    if (dateText != shownDate_)
        WriteAndReadBack(model_, model_.Param<CLogStartDate>(), dateText);
    if (timeText != shownTime_)
        WriteAndReadBack(model_, model_.Param<CLogStartTime>(), timeText);
    return true;
}

}  // namespace quorvex
