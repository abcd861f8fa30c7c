#include "params/LoggerState.h"

#include "params/DateTimeCodec.h"
#include "params/ParameterModel.h"

namespace quorvex {

namespace {

constexpr StateTexts kLoggerStates[] = {
    {60, "[1007]Logger nie rejestruje", "[1008]Uruchomienie przyciskiem na urządzeniu", 0},
    {70, "[1007]Logger nie rejestruje", "[1009]Uruchomienie z komputera przyciskiem 'START'", 1},
    {80, "[1007]Logger nie rejestruje", "[1010]Oczekiwanie na start o ustalonym czasie", 0},
    {90, "[1007]Logger nie rejestruje", "[1011]Aby uruchomić pracę zmień parametry rejestracji", 0},
    {100, "[1012]Logger uruchomiony - trwa rejestracja.", "[1013]Aby zakończyć logowanie wciśnij klawisz 'STOP'", 2},
};

}  // namespace

int LoggerStateCode(const ParameterModel& m) {
    const int v = m.Param<StatusWord>().GetValue();  // -1: all bits set
    if (v & 4) return 100;
    switch (v & 3) {
    case 0:
        return 60;
    case 1:
        return 70;
    case 2: {
        const auto clock =
            ParseDateTimeText(m.Param<CurrentDate>().GetText() + QLatin1Char(' ') + m.Param<CurrentTime>().GetText());
        const auto start =
            ParseDateTimeText(m.Param<LogStartDate>().GetText() + QLatin1Char(' ') + m.Param<LogStartTime>().GetText());
        if (clock && start && *clock < *start) return 80;
        return 90;
    }
    default:
        return 0;
    }
}

const StateTexts* FindLoggerState(int code) {
    for (const StateTexts& s : kLoggerStates)
        if (s.code == code) return &s;
    return nullptr;
}

}  // namespace quorvex
