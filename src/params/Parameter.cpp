#include "params/Parameter.h"

#include <utility>

namespace quorvex {

Parameter::Parameter(std::int32_t firstRegister, QString name) : FirstRegister(firstRegister), Name(std::move(name)) {}

bool Parameter::OnRegister(int reg, std::uint16_t value) {
    std::uint16_t* copy = reg == FirstRegister       ? &Reg0
                          : reg == FirstRegister + 1 ? &Reg1
                          : reg == FirstRegister + 2 ? &Reg2
                                                     : nullptr;
    if (!copy) return false;
    const bool changed = *copy != value || (reg == FirstRegister && Empty);
    *copy = value;
    if (reg == FirstRegister) Empty = false;
    return changed;
}

void Parameter::Invalidate() {
    Reg0 = Reg1 = Reg2 = kNotReceived;
    Empty = true;
}

void Parameter::SetValue(int) {}
void Parameter::SetText(const QString&) {}
int Parameter::GetValue() const { return -1; }
QString Parameter::GetText() const { return {}; }

bool Parameter::Has(int count) const {
    const std::uint16_t regs[3] = {Reg0, Reg1, Reg2};
    for (int i = 0; i < count; ++i)
        if (regs[i] == kNotReceived) return false;
    return true;
}

}  // namespace quorvex
