#include "params/ClockParameters.h"

#include "params/DateTimeCodec.h"

namespace quorvex {

QString DateParameter::GetText() const {
    if (!Has(2)) return {};
    return DateText(Reg0, Hi(Reg1), Lo(Reg1));
}

void DateParameter::SetText(const QString& text) {
    const auto parsed = ParseDateTimeText(text);
    if (!parsed) return;
    const QDate d = parsed->date();
    Reg0 = static_cast<std::uint16_t>(d.year());
    Reg1 = Word(static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
}

QString TimeParameter::GetText() const {
    if (!Has(2)) return {};
    return TimeText(Hi(Reg0), Lo(Reg0), Hi(Reg1));
}

void TimeParameter::SetText(const QString& text) {
    const auto parsed = ParseDateTimeText(text);
    if (!parsed) return;
    const QTime t = parsed->time();
    Reg0 = Word(static_cast<unsigned>(t.hour()), static_cast<unsigned>(t.minute()));
    Reg1 = Word(static_cast<unsigned>(t.second()), Lo(Reg1));
}

QString IndexParameter::GetText() const { return Has(2) ? QString::number(Number()) : QString(); }

CurrentDate::CurrentDate() : DateParameter(1, QStringLiteral("Bieżąca Data")) {}
CurrentTime::CurrentTime() : TimeParameter(3, QStringLiteral("Bieżący Czas")) {}
LogStartDate::LogStartDate() : DateParameter(5, QStringLiteral("Start logowania. Data")) {}
LogStartTime::LogStartTime() : TimeParameter(7, QStringLiteral("Start logowania. Czas")) {}

WriteInterval::WriteInterval() : IndexParameter(9, QStringLiteral("Częstość zapisu")) {}

QString WriteInterval::GetText() const { return Has(2) ? IntervalText(Number()) : QString(); }

void WriteInterval::SetValue(int seconds) {
    const auto v = static_cast<std::uint32_t>(seconds);
    Reg0 = static_cast<std::uint16_t>((v >> 8) & 0xFFFF);
    Reg1 = static_cast<std::uint16_t>((v & 0xFF) << 8);
}

int WriteInterval::GetValue() const { return static_cast<int>(Number()); }

WriteIndex::WriteIndex() : IndexParameter(11, QStringLiteral("Nr zapisanego rekordu")) {}

ReadIndex::ReadIndex() : IndexParameter(13, QStringLiteral("Nr rekordu do odczytu")) {}

void ReadIndex::SetValue(int number) {
    const auto v = static_cast<std::uint32_t>(number);
    Reg0 = Word(v >> 16, v >> 8);
    Reg1 = Word(v, Lo(Reg1));
}

}  // namespace quorvex
