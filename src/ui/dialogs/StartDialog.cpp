#include "ui/dialogs/StartDialog.h"
#include "chart/SharedNames.h"
#include "ui/dialogs/ObjectNames.h"

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
#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

StartDialog::StartDialog(ParameterModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QString::fromLatin1(objname::kStartDialog));
    setWindowTitle(QStringLiteral("[600]Zmień parametr"));
    setModal(true);

    momentGroup =
        Named(new QGroupBox(QStringLiteral("[210]Parametry startu i rejestracji"), this), objname::kStartMomentGroup);
    momentCaption =
        Named(new QLabel(QStringLiteral("[211]Start logowania:"), momentGroup), objname::kStartMomentCaption);
    dateEdit = Named(new QDateEdit(momentGroup), objname::kDateEdit);
    dateEdit->setCalendarPopup(true);
    timeEdit = Named(new QTimeEdit(momentGroup), objname::kTimeEdit);

    modeGroup = Named(new QGroupBox(QStringLiteral("[220]Sposób uruchomienia rejestracji:"), momentGroup),
                      objname::kStartModeGroup);
    buttonStartRadio =
        Named(new QRadioButton(QStringLiteral("[221]przyciskiem na loggerze"), modeGroup), objname::kButtonStartRadio);
    immediateStartRadio = Named(new QRadioButton(QStringLiteral("[222]bezpośrednio z komputera"), modeGroup),
                                objname::kImmediateStartRadio);
    timedStartRadio =
        Named(new QRadioButton(QStringLiteral("[223]o ustalonym czasie"), modeGroup), objname::kTimedStartRadio);
    auto* modes = new QVBoxLayout(modeGroup);
    for (QRadioButton* b : {buttonStartRadio, immediateStartRadio, timedStartRadio}) modes->addWidget(b);

    wrapGroup = Named(new QGroupBox(QStringLiteral("[230]Po zapełnieniu pamięci:"), momentGroup), objname::kWrapGroup);
    stopWhenFullRadio =
        Named(new QRadioButton(QStringLiteral("[231]zatrzymaj pracę loggera"), wrapGroup), objname::kStopWhenFullRadio);
    overwriteRadio = Named(new QRadioButton(QStringLiteral("[232]nadpisuj kasując poprzednie wyniki"), wrapGroup),
                           objname::kOverwriteRadio);
    auto* overwrite = new QVBoxLayout(wrapGroup);
    overwrite->addWidget(stopWhenFullRadio);
    overwrite->addWidget(overwriteRadio);

    auto* grid = new QGridLayout(momentGroup);
    grid->addWidget(momentCaption, 0, 0);
    grid->addWidget(dateEdit, 0, 1);
    grid->addWidget(timeEdit, 0, 2);
    grid->addWidget(modeGroup, 1, 0, 1, 3);
    grid->addWidget(wrapGroup, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(momentGroup);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);

    const std::pair<QRadioButton*, int> modeButtons[] = {
        {buttonStartRadio, 0}, {immediateStartRadio, 1}, {timedStartRadio, 2}};
    for (auto [button, mode] : modeButtons)
        connect(button, &QRadioButton::clicked, this, [this, mode = mode] { chosenStartMode_ = mode; });
    connect(stopWhenFullRadio, &QRadioButton::clicked, this, [this] { chosenOverwrite_ = 0; });
    connect(overwriteRadio, &QRadioButton::clicked, this, [this] { chosenOverwrite_ = 1; });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (BeforeNewLog && StartsNewLog() && !InThePast()) {
            // The choice stays in the dialog's fields until it is written.
            accept();
            BeforeNewLog([this] { onSaveClicked(); });
            return;
        }
        if (onSaveClicked()) accept();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void StartDialog::showEvent(QShowEvent* e) {
    SetPickerFormat(dateEdit, QLocale().dateFormat(QLocale::LongFormat));
    SetPickerFormat(timeEdit, QStringLiteral("HH'h':mm'min':ss's'"));
    onShown();
    FitToCaptions(this);
    QDialog::showEvent(e);
}

void StartDialog::ClearRadios() {
    for (QRadioButton* b :
         {buttonStartRadio, immediateStartRadio, timedStartRadio, stopWhenFullRadio, overwriteRadio}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void StartDialog::Select(QRadioButton* button) {
    button->setChecked(true);
    emit button->clicked(true);
}

void StartDialog::onShown() {
    ClearRadios();
    const std::uint16_t cell = model_.Mirror()[0];
    currentStartMode_ = cell == kNotReceived ? -1 : (cell & 3);
    const std::array modeButtons{buttonStartRadio, immediateStartRadio, timedStartRadio};
    if (currentStartMode_ >= 0 && currentStartMode_ <= 2)
        Select(modeButtons[static_cast<std::size_t>(currentStartMode_)]);
    currentOverwrite_ = cell == kNotReceived ? -1 : (cell >> 3) & 1;
    if (currentOverwrite_ >= 0) Select(currentOverwrite_ == 0 ? stopWhenFullRadio : overwriteRadio);

    shownDate_ = model_.Param<LogStartDate>().GetText();
    shownTime_ = model_.Param<LogStartTime>().GetText();
    const auto date = ParseDateTimeText(shownDate_);
    const auto time = ParseDateTimeText(shownTime_);
    if (date && time) {
        dateEdit->setDate(date->date());
        timeEdit->setTime(time->time());
    } else {
        const QDateTime now = QDateTime::currentDateTime();
        dateEdit->setDate(now.date());
        timeEdit->setTime(now.time());
    }
}

QDateTime StartDialog::LoggerNow() const {
    // The logger starts by its own clock; the computer's stands in while that is unknown.
    const auto date = ParseDateTimeText(model_.Param<CurrentDate>().GetText());
    const auto time = ParseDateTimeText(model_.Param<CurrentTime>().GetText());
    if (date && time) return QDateTime(date->date(), time->time());
    return QDateTime::currentDateTime();
}

bool StartDialog::StartsNewLog() const {
    const int mode = chosenStartMode_ >= 0 ? chosenStartMode_ : currentStartMode_;
    if (mode != 2) return false;
    const QLocale locale;
    return (chosenStartMode_ >= 0 && chosenStartMode_ != currentStartMode_) ||
           locale.toString(dateEdit->date(), ShortDateFormat()) != shownDate_ ||
           locale.toString(timeEdit->time(), LongTimeFormat()) != shownTime_;
}

bool StartDialog::InThePast() const {
    const int mode = chosenStartMode_ >= 0 ? chosenStartMode_ : currentStartMode_;
    return mode == 2 && QDateTime(dateEdit->date(), timeEdit->time()) <= LoggerNow();
}

bool StartDialog::onSaveClicked() {
    const QDateTime start(dateEdit->date(), timeEdit->time());
    const QDateTime now = LoggerNow();
    // A timed start already past would never come; nothing is written.
    if (InThePast()) {
        const QLocale locale;
        const QString format = ShortDateFormat() + u' ' + LongTimeFormat();
        ShowParameterError(this, TranslateText(QStringLiteral("[2153]Moment startu %1 już minął (teraz: %2)."))
                                     .arg(locale.toString(start, format), locale.toString(now, format)));
        dateEdit->setFocus();
        return false;
    }
    std::uint16_t& cell = *model_.Param<StartLog>().StatusCell;
    // Nothing chosen (register 0 unread and no button clicked) writes nothing.
    if (chosenStartMode_ >= 0 && chosenStartMode_ != currentStartMode_) {
        model_.Param<StartLog>().SetValue(chosenStartMode_);  // start moment applicable at once
        model_.WriteCommand(ParameterModel::kStartModeBit0Register, static_cast<std::uint16_t>(cell & 1));
        model_.WriteCommand(ParameterModel::kStartModeBit1Register, static_cast<std::uint16_t>(cell & 2));
        cell = kNotReceived;
    }
    if (chosenOverwrite_ >= 0 && chosenOverwrite_ != currentOverwrite_) {
        model_.Param<WrapAround>().SetValue(chosenOverwrite_);
        model_.WriteCommand(ParameterModel::kOverwriteRegister, static_cast<std::uint16_t>(cell & 8));
        cell = kNotReceived;
    }
    model_.ReadBack(model_.Param<StartLog>(), 1);
    model_.ReadBack(model_.Param<WrapAround>(), 1);

    const QLocale locale;
    const QString dateText = locale.toString(dateEdit->date(), ShortDateFormat());
    const QString timeText = locale.toString(timeEdit->time(), LongTimeFormat());
    if (dateText != shownDate_) WriteAndReadBack(model_, model_.Param<LogStartDate>(), dateText);
    if (timeText != shownTime_) WriteAndReadBack(model_, model_.Param<LogStartTime>(), timeText);
    return true;
}

}  // namespace quorvex
