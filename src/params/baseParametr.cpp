#include "params/baseParametr.h"

#include <utility>

namespace quorvex {

baseParametr::baseParametr(std::int32_t firstRegister, QString name)
    : FirstRegister(firstRegister), Name(std::move(name)) {}

void baseParametr::OnRegister(int reg, std::uint16_t value) {
    if (reg == FirstRegister) {
        Reg0 = value;
        Empty = false;
    } else if (reg == FirstRegister + 1) {
        Reg1 = value;
    } else if (reg == FirstRegister + 2) {
        Reg2 = value;
    }
}

void baseParametr::Invalidate() {
    Reg0 = Reg1 = Reg2 = kNotReceived;
    Empty = true;
}

void baseParametr::SetValue(int) {}
void baseParametr::SetText(const QString&) {}
int baseParametr::GetValue() const { return -1; }
QString baseParametr::GetText() const { return {}; }

bool baseParametr::Has(int count) const {
    const std::uint16_t regs[3] = {Reg0, Reg1, Reg2};
    for (int i = 0; i < count; ++i)
        if (regs[i] == kNotReceived) return false;
    return true;
}

}  // namespace quorvex
