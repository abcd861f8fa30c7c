// The monitor: bindings of the fields to the parameter model, the logger state
// panel and the start and stop buttons.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "chart/ObjectNames.h"
#include "i18n/ProgramTexts.h"
#include "params/LoggerState.h"
#include "params/ParameterModel.h"
#include "ui/ControlBindings.h"
#include "ui/MainWindow.h"
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

void MainWindow::BindMonitorControls() {
    auto edit = [this](const char* n) { return findChild<QLineEdit*>(QString::fromLatin1(n)); };
    auto label = [this](const char* n) { return n ? findChild<QLabel*>(QString::fromLatin1(n)) : nullptr; };
    auto box = [this](const char* n) { return n ? findChild<QGroupBox*>(QString::fromLatin1(n)) : nullptr; };
    auto button = [this](const char* n) { return n ? findChild<QPushButton*>(QString::fromLatin1(n)) : nullptr; };
    auto finish = [this](ControlBinding* c, QGroupBox* b, QPushButton* btn, QLabel* caption, QLabel* unit,
                         Parameter* p) {
        c->Box = b;
        c->Button = btn;
        c->CaptionLabel = caption;
        c->UnitLabel = unit;
        c->Param = p;
        c->Model = &model_;
        controls->AddControl(c);
    };
    auto base = [&](const char* b, const char* btn) {
        finish(new ControlBinding, box(b), button(btn), nullptr, nullptr, nullptr);
    };
    auto editor = [&](const char* e, const char* b, const char* btn, const char* caption, const char* unit,
                      Parameter& p) {
        finish(new EditorBinding(edit(e)), box(b), button(btn), label(caption), label(unit), &p);
    };
    auto radios = [&](const char* g, Parameter& p) {
        finish(new RadioGroupBinding(box(g)), nullptr, nullptr, nullptr, nullptr, &p);
    };
    ParameterModel& m = model_;

    base(objname::kStateGroup, nullptr);
    base(objname::kRegistrationGroup, nullptr);
    base(objname::kSavingGroup, nullptr);
    base(objname::kDeviceGroup, nullptr);
    base(nullptr, objname::kStartReadButton);
    editor(objname::kNameField, objname::kNameGroup, objname::kChangeNameButton, nullptr, nullptr,
           m.Param<LoggerName>());
    editor(objname::kTemperatureField, objname::kTemperatureGroup, objname::kTempThresholdsButton, nullptr,
           objname::kTemperatureUnit, m.Param<CurrentTemp>());
    editor(objname::kHighTempField, nullptr, nullptr, objname::kHighTempCaption, objname::kHighTempUnit,
           m.Param<HighTemp>());
    editor(objname::kLowTempField, nullptr, nullptr, objname::kLowTempCaption, objname::kLowTempUnit,
           m.Param<LowTemp>());
    // The correction tab's captions grey with their fields (humidity on a temperature-only logger).
    editor(objname::kCorrTempField, objname::kCorrectionGroup, objname::kCorrectionButton, objname::kCorrTempCaption,
           objname::kCorrTempUnit, m.Param<CurrentTemp>());
    editor(objname::kCorrHumField, nullptr, nullptr, objname::kCorrHumCaption, objname::kCorrHumUnit,
           m.Param<CurrentHum>());
    editor(objname::kTempCorrectionField, nullptr, nullptr, objname::kTempCorrectionCaption,
           objname::kTempCorrectionUnit, m.Param<CorrectionTemp>());
    editor(objname::kHumCorrectionField, nullptr, nullptr, objname::kHumCorrectionCaption, objname::kHumCorrectionUnit,
           m.Param<CorrectionHum>());
    editor(objname::kHumidityField, objname::kHumidityGroup, objname::kHumThresholdsButton, nullptr,
           objname::kHumidityUnit, m.Param<CurrentHum>());
    editor(objname::kHighHumField, nullptr, nullptr, objname::kHighHumCaption, objname::kHighHumUnit,
           m.Param<HighHum>());
    editor(objname::kLowHumField, nullptr, nullptr, objname::kLowHumCaption, objname::kLowHumUnit, m.Param<LowHum>());
    editor(objname::kTypeField, nullptr, nullptr, objname::kTypeCaption, nullptr, m.Param<DeviceType>());
    editor(objname::kSerialField, nullptr, nullptr, objname::kSerialCaption, nullptr, m.Param<SerialNumber>());
    editor(objname::kDateField, objname::kClockGroup, objname::kSetClockButton, objname::kDateCaption, nullptr,
           m.Param<CurrentDate>());
    editor(objname::kTimeField, nullptr, nullptr, objname::kTimeCaption, nullptr, m.Param<CurrentTime>());
    radios(objname::kStartModeGroup, m.Param<StartLog>());
    radios(objname::kWrapGroup, m.Param<WrapAround>());
    editor(objname::kStartDateField, nullptr, objname::kChangeStartButton, nullptr, nullptr, m.Param<LogStartDate>());
    editor(objname::kStartTimeField, nullptr, nullptr, objname::kStartMomentCaption, nullptr, m.Param<LogStartTime>());
    editor(objname::kIntervalField, nullptr, nullptr, objname::kIntervalCaption, nullptr, m.Param<WriteInterval>());
    editor(objname::kSavedCountField, nullptr, objname::kChangeIntervalButton, objname::kSavedCountCaption, nullptr,
           m.Param<WriteIndex>());
    editor(objname::kMadeField, nullptr, nullptr, objname::kMadeCaption, nullptr, m.Param<ProductionDate>());
    editor(objname::kFirmwareField, nullptr, nullptr, objname::kFirmwareCaption, nullptr, m.Param<VersionFirmware>());
    editor(objname::kMeasuredField, nullptr, nullptr, objname::kMeasuredCaption, nullptr, m.Param<LogCounter>());
    editor(objname::kBatteryField, nullptr, nullptr, objname::kBatteryCaption, nullptr, m.Param<BatteryStatus>());
}

int MainWindow::ChooseStateCode() const {
    const int link = CurrentLinkState();
    if (link == 3) {
        switch (portRefusal.value_or(LinkEvent::PortFailed)) {
        case LinkEvent::PortMissing:
            return 15;
        case LinkEvent::PortBusy:
            return 12;
        case LinkEvent::PortAccessDenied:
            return 11;
        default:
            return 10;
        }
    }
    if (link == 5) return hidUnusable ? 25 : 20;
    if (connState_ == CONN_NONE) return 30;
    if (connState_ == CONN_READING) return 35;
    return LoggerStateCode(model_);
}

void MainWindow::UpdateLoggerState() { SetLoggerState(ChooseStateCode()); }

void MainWindow::SetLoggerState(int code) {
    if (code == lastStateCode_ && code != -1) return;
    if (code != -1) lastStateCode_ = code;
    recordStartButton->hide();
    recordStopButton->hide();
    if (const StateTexts* s = FindState(lastStateCode_)) {
        stateText = (s->first ? Translated(s->first) : QString()) + QLatin1Char('\n') + Translated(s->second);
        if (s->button == 1) recordStartButton->show();
        if (s->button == 2) recordStopButton->show();
    }
    statePanel->SetText(stateText);
}

void MainWindow::onRecordStartClicked() { model_.WriteRecordingBit(true); }
void MainWindow::onRecordStopClicked() { model_.WriteRecordingBit(false); }

}  // namespace quorvex
