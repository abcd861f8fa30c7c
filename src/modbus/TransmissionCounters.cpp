#include "modbus/TransmissionCounters.h"

namespace quorvex {

QStringList CounterTableLines(const TransmissionCounters& c) {
    auto line = [](const char* label, std::uint32_t value) {
        return QString::fromUtf8(label) + QString::number(value);
    };
    return {
        line("Brak odpowiedzi=", c.NoResponseCount),       line("Ramka za krótka=", c.FrameTooShortCount),
        line("Ramka za długa=", c.FrameTooLongCount),      line("Nieprawidłowa suma kontrolna=", c.CrcErrorCount),
        line("Nieprawidłowy adres=", c.AddressErrorCount), line("Nieprawidłowa komenda=", c.CommandErrorCount),
        line("Ramka odebrana=", c.FramesReceivedCount),
    };
}

}  // namespace quorvex
