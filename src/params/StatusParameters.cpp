#include "params/StatusParameters.h"

#include <utility>

namespace quorvex {

StatusBitParameter::StatusBitParameter(QString name, std::uint16_t& statusCell) : Parameter(0, std::move(name)) {
    StatusCell = &statusCell;
    StatusBitParameter::Invalidate();
}

void StatusBitParameter::Invalidate() {
    *StatusCell = kNotReceived;
    Empty = true;
}

QString StatusBitParameter::GetText() const {
    const int v = GetValue();
    return v == -1 ? QString() : QString::number(v);
}

bool StatusBitParameter::Known() const { return *StatusCell != kNotReceived; }

int StatusBitParameter::Bits(std::uint16_t mask, int shift) const {
    if (*StatusCell == kNotReceived) return -1;
    return (*StatusCell & mask) >> shift;
}

void StatusBitParameter::StoreBits(std::uint16_t mask, std::uint16_t bits) {
    *StatusCell = static_cast<std::uint16_t>((*StatusCell & ~mask) | (bits & mask));
}

StartLog::StartLog(std::uint16_t& statusCell, std::function<void()> changed)
    : StatusBitParameter(QStringLiteral("Tryb startu"), statusCell), changed_(std::move(changed)) {}

void StartLog::SetValue(int value) {
    StoreBits(0x0003, static_cast<std::uint16_t>(value & 3));
    if (changed_) changed_();
}

int StartLog::GetValue() const { return Bits(0x0003, 0); }

Logging::Logging(std::uint16_t& statusCell) : StatusBitParameter(QStringLiteral("Logowanie"), statusCell) {}

void Logging::SetValue(int value) { StoreBits(0x0004, value != 0 ? 0x0004 : 0); }

int Logging::GetValue() const { return Bits(0x0004, 2); }

WrapAround::WrapAround(std::uint16_t& statusCell) : StatusBitParameter(QStringLiteral("Nadpisywanie"), statusCell) {}

void WrapAround::SetValue(int value) { StoreBits(0x0008, static_cast<std::uint16_t>((value & 1) << 3)); }

int WrapAround::GetValue() const { return Bits(0x0008, 3); }

QString StartModeCaption(int mode) {
    switch (mode) {
    case 0:
        return QStringLiteral("[221]przyciskiem na loggerze");
    case 1:
        return QStringLiteral("[222]bezpośrednio z komputera");
    case 2:
        return QStringLiteral("[223]o ustalonym czasie");
    default:
        return {};
    }
}

QString WrapAroundCaption(int overwrite) {
    switch (overwrite) {
    case 0:
        return QStringLiteral("[231]zatrzymaj pracę loggera");
    case 1:
        return QStringLiteral("[232]rejestruj od początku");
    default:
        return {};
    }
}

StatusWord::StatusWord() : Parameter(0, QStringLiteral("Stan urządzenia")) {}

int StatusWord::GetValue() const { return Reg0 == kNotReceived ? -1 : Reg0; }

QString StatusWord::GetText() const { return Has(1) ? QString::number(Reg0) : QString(); }

}  // namespace quorvex
