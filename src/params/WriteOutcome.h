#pragma once
// How a write to the logger ended, handed to whoever keeps the change log: what the parameter
// showed as last read, what was sent, what the logger showed afterwards and whether that
// confirmed the write.
#include <QString>

#include <cstdint>
#include <functional>

namespace quorvex {

class Parameter;

struct WriteOutcome {
    enum class Kind { Register, Clock, Start, Stop, Reset };
    Kind kind = Kind::Register;
    const Parameter* parameter = nullptr;  // none for the reset command
    std::uint16_t firstRegister = 0;
    QString before;  // as last read; empty when it never was
    QString sent;
    QString after;          // as read back, or as the echo confirmed it; empty without an answer
    int confirmed = 0;      // 1 the logger confirmed it, 0 not, -1 no confirmation to expect
    int exceptionCode = 0;  // the logger refused it with this exception
};

using WriteWatcher = std::function<void(const WriteOutcome&)>;

}  // namespace quorvex
