#include "ui/MonitorTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "i18n/ProgramTexts.h"
#include "params/LoggerState.h"
#include "params/ParameterModel.h"
#include "ui/ControlBindings.h"
#include "ui/ObjectNames.h"
#include "ui/StatePanel.h"

namespace quorvex {

namespace {

// The states of the link, in front of the logger's own (LoggerState.h).
constexpr StateTexts kLinkStates[] = {
    {10, "[1000]Wystąpił błąd otwarcia portu", "[1001]Port nie istnieje, lub jest otwarty przez inną aplikację", 0},
    {11, "[1000]Wystąpił błąd otwarcia portu", "[2083]Brak uprawnień do otwarcia portu", 0},
    {12, "[1000]Wystąpił błąd otwarcia portu", "[2702]Port jest otwarty przez inną aplikację", 0},
    {15, "[2703]Port odłączony", "[2704]Połączenie wróci samo po podłączeniu portu", 0},
    {20, nullptr, "[1002]Kabel USB odłączony", 0},
    {25, "[2081]Logger podłączony, ale nie nadaje się do użycia", "[2082]Nieobsługiwany format raportów USB", 0},
    {30, nullptr, "[1004]Brak komunikacji z Loggerem", 0},
    {35, nullptr, "[1006]Odczyt parametrów z Loggera", 0},
};

const StateTexts* FindState(int code) {
    for (const StateTexts& s : kLinkStates)
        if (s.code == code) return &s;
    return FindLoggerState(code);
}

QString Translated(const char* numbered) { return TranslateText(QString::fromUtf8(numbered)); }

}  // namespace

MonitorTab::MonitorTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objname::kMeasurementsTab));
    auto* grid = new QGridLayout(this);
    const auto editOf = [this](QPushButton* button, ParameterDialog dialog) {
        connect(button, &QPushButton::clicked, this, [this, dialog] { emit edit(dialog); });
        return button;
    };

    auto* name = Group(this, objname::kNameGroup, QStringLiteral("[110]Nazwa"));
    auto* nameField = Edit(name, objname::kNameField);
    (new QHBoxLayout(name))->addWidget(nameField, 1);
    auto* changeName =
        editOf(Button(name, objname::kChangeNameButton, QStringLiteral("[1]Zmień")), ParameterDialog::Name);
    name->layout()->addWidget(changeName);

    auto* clock = Group(this, objname::kClockGroup, QStringLiteral("[130]Zegar"));
    auto* cg = new QGridLayout(clock);
    auto* dateCaption = Label(clock, objname::kDateCaption, QStringLiteral("[131]Data:"));
    auto* dateField = Edit(clock, objname::kDateField);
    auto* timeCaption = Label(clock, objname::kTimeCaption, QStringLiteral("[132]Czas:"));
    auto* timeField = Edit(clock, objname::kTimeField);
    Row(cg, 0, dateCaption, dateField);
    Row(cg, 1, timeCaption, timeField);
    auto* setClock =
        editOf(Button(clock, objname::kSetClockButton, QStringLiteral("[2]Ustaw")), ParameterDialog::Clock);
    cg->addWidget(setClock, 2, 1, Qt::AlignRight);

    // One measurement's group: the current value, the upper and lower thresholds and the
    // button of the thresholds dialog; each field bound with its caption and unit.
    struct MeasurementNames {
        const char *box, *current, *currentUnit, *hiLabel, *hi, *hiUnit, *loLabel, *lo, *loUnit, *button;
    };
    struct MeasurementParams {
        Parameter *current, *high, *low;
    };
    auto measurement = [&](const MeasurementNames& n, const QString& caption, const QString& unit,
                           const MeasurementParams& p, ParameterDialog dialog) {
        auto* g = Group(this, n.box, caption);
        auto* gg = new QGridLayout(g);
        gg->setColumnStretch(1, 1);
        auto* current = Edit(g, n.current);
        auto* currentUnit = Label(g, n.currentUnit, unit);
        auto* hiLabel = Label(g, n.hiLabel, QStringLiteral("[141]Górny próg"));
        auto* hi = Edit(g, n.hi);
        auto* hiUnit = Label(g, n.hiUnit, unit);
        auto* loLabel = Label(g, n.loLabel, QStringLiteral("[142]Dolny próg"));
        auto* lo = Edit(g, n.lo);
        auto* loUnit = Label(g, n.loUnit, unit);
        Row(gg, 0, nullptr, current, currentUnit);
        Row(gg, 1, hiLabel, hi, hiUnit);
        Row(gg, 2, loLabel, lo, loUnit);
        auto* button = editOf(Button(g, n.button, QStringLiteral("[1]Zmień")), dialog);
        gg->addWidget(button, 3, 1, 1, 2, Qt::AlignRight);
        bindings.AddEditor(current, *p.current, {.box = g, .button = button, .unit = currentUnit});
        bindings.AddEditor(hi, *p.high, {.caption = hiLabel, .unit = hiUnit});
        bindings.AddEditor(lo, *p.low, {.caption = loLabel, .unit = loUnit});
        return g;
    };
    const QString celsius = QStringLiteral("°C");
    ParameterModel& m = model;
    bindings.AddEditor(nameField, m.Param<LoggerName>(), {.box = name, .button = changeName});
    auto* temp = measurement(
        {objname::kTemperatureGroup, objname::kTemperatureField, objname::kTemperatureUnit, objname::kHighTempCaption,
         objname::kHighTempField, objname::kHighTempUnit, objname::kLowTempCaption, objname::kLowTempField,
         objname::kLowTempUnit, objname::kTempThresholdsButton},
        QStringLiteral("[140]Temperatura"), celsius,
        {&m.Param<CurrentTemp>(), &m.Param<HighTemp>(), &m.Param<LowTemp>()}, ParameterDialog::TemperatureThresholds);
    auto* hum = measurement(
        {objname::kHumidityGroup, objname::kHumidityField, objname::kHumidityUnit, objname::kHighHumCaption,
         objname::kHighHumField, objname::kHighHumUnit, objname::kLowHumCaption, objname::kLowHumField,
         objname::kLowHumUnit, objname::kHumThresholdsButton},
        QStringLiteral("[150]Wilgotność"), QStringLiteral("%"),
        {&m.Param<CurrentHum>(), &m.Param<HighHum>(), &m.Param<LowHum>()}, ParameterDialog::HumidityThresholds);
    bindings.AddEditor(dateField, m.Param<CurrentDate>(), {.box = clock, .button = setClock, .caption = dateCaption});
    bindings.AddEditor(timeField, m.Param<CurrentTime>(), {.caption = timeCaption});

    auto* state = Group(this, objname::kStateGroup, QStringLiteral("[120]Aktualny stan loggera"));
    bindings.AddFrame({.box = state});
    auto* sl = new QVBoxLayout(state);
    statePanel_ = new StatePanel(state);
    statePanel_->setMinimumHeight(70);
    sl->addWidget(statePanel_, 1);
    auto* buttons = new QHBoxLayout;
    recordStartButton_ = Button(state, objname::kRecordStartButton, QStringLiteral("[3]Start"));
    recordStopButton_ = Button(state, objname::kRecordStopButton, QStringLiteral("[4]Stop"));
    buttons->addStretch();
    buttons->addWidget(recordStartButton_);
    buttons->addWidget(recordStopButton_);
    buttons->addStretch();
    sl->addLayout(buttons);
    recordStartButton_->hide();
    recordStopButton_->hide();
    connect(recordStartButton_, &QPushButton::clicked, this, [this] { emit record(true); });
    connect(recordStopButton_, &QPushButton::clicked, this, [this] { emit record(false); });

    grid->addWidget(name, 0, 0, 1, 2);
    grid->addWidget(clock, 1, 0);
    grid->addWidget(state, 1, 1);
    grid->addWidget(temp, 2, 0);
    grid->addWidget(hum, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void MonitorTab::ShowState(int code) {
    if (code == stateCode_ && code != -1) return;
    if (code != -1) stateCode_ = code;
    recordStartButton_->hide();
    recordStopButton_->hide();
    if (const StateTexts* s = FindState(stateCode_)) {
        stateText_ = (s->first ? Translated(s->first) : QString()) + QLatin1Char('\n') + Translated(s->second);
        if (s->button == 1) recordStartButton_->show();
        if (s->button == 2) recordStopButton_->show();
    }
    statePanel_->SetText(stateText_);
}

}  // namespace quorvex
