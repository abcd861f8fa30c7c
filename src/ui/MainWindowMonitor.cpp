// The monitor: bindings of the fields to the parameter model, the logger state
// panel and the start and stop buttons.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/ControlBindings.h"
#include "params/LoggerState.h"
#include "params/ParameterModel.h"
#include "i18n/ProgramTexts.h"
#include "ui/MainWindow.h"
#include "ui/StatePanel.h"

namespace quorvex {

namespace {

// The states of the link, in front of the logger's own (LoggerState.h).
constexpr StateTexts kLinkStates[] = {
    {10, "[1000]Wystąpił błąd otwarcia portu", "[1001]Port nie istnieje, lub jest otwarty przez inną aplikację", 0},
    {20, nullptr, "[1002]Kabel USB odłączony", 0},
    {25, "[2081]Logger podłączony, ale nie nadaje się do użycia", "[2082]Nieobsługiwany format raportów USB", 0},
    {30, nullptr, "[1004]Brak komunikacji z Loggerem", 0},
    {35, nullptr, "[1006]Odczyt parametrów z Loggera", 0},
};

const StateTexts* FindState(int code)
{
    for (const StateTexts& s : kLinkStates)
        if (s.code == code) return &s;
    return FindLoggerState(code);
}

QString Translated(const char* numbered)
{
    return TranslateText(QString::fromUtf8(numbered));
}

}  // namespace

void MainWindow::BindMonitorControls()
{
    auto edit = [this](const char* n) { return findChild<QLineEdit*>(QString::fromLatin1(n)); };
    auto label = [this](const char* n) { return n ? findChild<QLabel*>(QString::fromLatin1(n)) : nullptr; };
    auto box = [this](const char* n) { return n ? findChild<QGroupBox*>(QString::fromLatin1(n)) : nullptr; };
    auto button = [this](const char* n) { return n ? findChild<QPushButton*>(QString::fromLatin1(n)) : nullptr; };
    auto finish = [this](ControlBinding* c, QGroupBox* b, QPushButton* btn, QLabel* l1, QLabel* l2,
                         Parameter* p) {
        c->Box = b;
        c->Button = btn;
        c->Label1 = l1;
        c->Label2 = l2;
        c->Param = p;
        c->Model = &model_;
        controls->AddControl(c);
    };
    auto base = [&](const char* b, const char* btn) {
        finish(new ControlBinding, box(b), button(btn), nullptr, nullptr, nullptr);
    };
    auto editor = [&](const char* e, const char* b, const char* btn, const char* l1, const char* l2,
                      Parameter& p) {
        finish(new EditorBinding(edit(e)), box(b), button(btn), label(l1), label(l2), &p);
    };
    auto radios = [&](const char* g, Parameter& p) {
        finish(new RadioGroupBinding(box(g)), nullptr, nullptr, nullptr, nullptr, &p);
    };
    ParameterModel& m = model_;

    base("GroupBoxStanLoggera", nullptr);
    base("GroupBoxRejestracja", nullptr);
    base("GroupBoxParametryZapisu", nullptr);
    base("GroupBoxUrzadzenie", nullptr);
    base(nullptr, "ButtonStart");
    editor("EditMonitorNazwaLoggera", "GroupBoxNazwaLoggera", "ButtonZmienNazwaLoggera", nullptr, nullptr,
           m.Param<CLoggerName>());
    editor("EditMonitorAktualnaTemperatura", "GroupBoxTemperatura", "ButtonZmienProgiTemp", nullptr,
           "LabelMonitorAktualnaTemperatura2", m.Param<CCurrentTemp>());
    editor("EditMonitorTemperaturaGornyProg", nullptr, nullptr, "LabelMonitorTemperaturaGornyProg",
           "LabelMonitorTemperaturaGornyProg2", m.Param<CHighTemp>());
    editor("EditMonitorTemperaturaDolnyProg", nullptr, nullptr, "LabelMonitorTemperaturaDolnyProg",
           "LabelMonitorTemperaturaDolnyProg2", m.Param<CLowTemp>());
    // The correction tab's captions grey with their fields (humidity on a temperature-only logger).
    editor("EditMonitorAktualnaTemperatura2", "GroupBoxTemperatura2", "ButtonKorektaTempHum", "LabelKorektaTemperatura",
           "LabelMonitorAktualnaTemperatura3", m.Param<CCurrentTemp>());
    editor("EditMonitorAktualnaWilgotnosc2", nullptr, nullptr, "LabelKorektaWilgotnosc",
           "LabelMonitorAktualnaWilgotnosc3", m.Param<CCurrentHum>());
    editor("EditMonitorTemperaturaKorekta", nullptr, nullptr, "LabelMonitorTemperaturaKorekta",
           "LabelMonitorTemperaturaKorekta2", m.Param<CCorrectionTemp>());
    editor("EditMonitorWilgotnoscKorekta", nullptr, nullptr, "LabelMonitorWilgotnoscKorekta",
           "LabelMonitorWilgotnoscKorekta2", m.Param<CCorrectionHum>());
    editor("EditMonitorAktualnaWilgotnosc", "GroupBoxWilgotnosc", "ButtonZmienProgiWilgotnosc", nullptr,
           "LabelMonitorAktualnaWilgotnosc2", m.Param<CCurrentHum>());
    editor("EditMonitorWilgotnoscGornyProg", nullptr, nullptr, "LabelMonitorWilgotnoscGornyProg",
           "LabelMonitorWilgotnoscGornyProg2", m.Param<CHighHum>());
    editor("EditMonitorWilgotnoscDolnyProg", nullptr, nullptr, "LabelMonitorWilgotnoscDolnyProg",
           "LabelMonitorWilgotnoscDolnyProg2", m.Param<CLowHum>());
    editor("EditMonitorTyp", nullptr, nullptr, "LabelMonitorTyp", nullptr, m.Param<CDeviceType>());
    editor("EditMonitorNumerSeryjny", nullptr, nullptr, "LabelMonitorNumerSeryjny", nullptr,
           m.Param<CSerialNumber>());
    editor("EditMonitorAktualnaData", "GroupBoxZegar", "ButtonUstawZegar", "LabelMonitorAktualnaData", nullptr,
           m.Param<CCurrentDate>());
    editor("EditMonitorAktualnyCzas", nullptr, nullptr, "LabelMonitorAktualnyCzas", nullptr,
           m.Param<CCurrentTime>());
    radios("GroupBoxTrybStartu", m.Param<CStartLog>());
    radios("GroupBoxNadpisywanie", m.Param<CWrapAround>());
    editor("EditMonitorDataLogowania", nullptr, "ButtonZmienLogStart", nullptr, nullptr, m.Param<CLogStartDate>());
    editor("EditMonitorCzasLogowania", nullptr, nullptr, "LabelMonitorCzasLogowania", nullptr,
           m.Param<CLogStartTime>());
    editor("EditMonitorCzestoscZapisu", nullptr, nullptr, "LabelMonitorCzestoscZapisu", nullptr,
           m.Param<CWriteInterval>());
    editor("EditMonitorLiczbaPomiarow", nullptr, "ButtonZmienFreqSave", "LabelMonitorLiczbaPomiarow", nullptr,
           m.Param<CWriteIndex>());
    editor("EditMonitorDataProdukcji", nullptr, nullptr, "LabelMonitorDataProdukcji", nullptr,
           m.Param<CProductionDate>());
    editor("EditlMonitorWersjaOprogramowania", nullptr, nullptr, "LabelMonitorWersjaOprogramowania", nullptr,
           m.Param<CVersionFirmware>());
    editor("EditMonitorIloscPomiarow", nullptr, nullptr, "LabelMonitorIloscPomiarow", nullptr,
           m.Param<CLogCounter>());
    editor("EditMonitorStanBaterii", nullptr, nullptr, "LabelMonitorStanBaterii", nullptr,
           m.Param<CBatteryStatus>());
}

int MainWindow::ChooseStateCode() const
{
    const int link = CurrentLinkState();
    if (link == 3) return 10;
    if (link == 5) return hidUnusable ? 25 : 20;
    if (connState_ == CONN_NONE) return 30;
    if (connState_ == CONN_READING) return 35;
    return LoggerStateCode(model_);
}

void MainWindow::UpdateLoggerState() { SetLoggerState(ChooseStateCode()); }

void MainWindow::SetLoggerState(int code)
{
    if (code == lastStateCode && code != -1) return;
    if (code != -1) lastStateCode = code;
    ButtonLogStart->hide();
    ButtonLogStop->hide();
    if (const StateTexts* s = FindState(lastStateCode)) {
        stateText = (s->first ? Translated(s->first) : QString()) + QLatin1Char('\n') + Translated(s->second);
        if (s->button == 1) ButtonLogStart->show();
        if (s->button == 2) ButtonLogStop->show();
    }
    PaintBoxStanLoggera->SetText(stateText);
}

void MainWindow::ButtonLogStartClick() { model_.WriteRecordingBit(true); }
void MainWindow::ButtonLogStopClick() { model_.WriteRecordingBit(false); }

}  // namespace quorvex
