#pragma once
// One logger parameter: private copies of the registers it is built from, its
// display text and, for writable ones, the way back from a value to register words.
#include <QString>
#include <array>
#include <cstdint>

namespace quorvex {

constexpr std::uint16_t kNotReceived = 0xFFFF;  // a register copy that has not arrived
constexpr int kRegisterCount = 512;

// The last received value of every register 0–511. Only the cell of register 0
// is read by the model (through the status-bit parameters).
using RegisterMirror = std::array<std::uint16_t, kRegisterCount>;

inline std::uint8_t Hi(std::uint16_t w) { return static_cast<std::uint8_t>(w >> 8); }
inline std::uint8_t Lo(std::uint16_t w) { return static_cast<std::uint8_t>(w & 0xFF); }
inline std::uint16_t Word(unsigned hi, unsigned lo) {
    return static_cast<std::uint16_t>(((hi & 0xFF) << 8) | (lo & 0xFF));
}

class Parameter {
public:
    Parameter(std::int32_t firstRegister, QString name);
    virtual ~Parameter() = default;
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    // Stores the value when the register is one of the parameter's three;
    // the first register also ends the empty state. True when that changed what
    // the parameter holds (another value, or the first one after being empty).
    virtual bool OnRegister(int reg, std::uint16_t value);
    // Back to the not-received state.
    virtual void Invalidate();
    // Writable parameters change their register copies; the base ignores both.
    virtual void SetValue(int value);
    virtual void SetText(const QString& text);
    virtual int GetValue() const;     // -1 in the base
    virtual QString GetText() const;  // empty in the base and while a needed register is missing
    // Holds what the logger last reported: received and not emptied since (a write
    // empties what it wrote until the read-back arrives).
    virtual bool Known() const { return !Empty; }

    std::int32_t FirstRegister;
    QString Name;
    bool Empty = true;
    bool Applicable = true;               // recomputed for the start-of-logging date and time
    bool Available = true;                // recomputed for the humidity parameters (and the humidity correction)
    std::uint16_t* StatusCell = nullptr;  // register 0 in the mirror; status-bit parameters only
    std::uint16_t Reg0 = kNotReceived;
    std::uint16_t Reg1 = kNotReceived;
    std::uint16_t Reg2 = kNotReceived;

protected:
    bool Has(int count) const;  // the first `count` register copies have arrived
    std::uint32_t Pair() const { return (static_cast<std::uint32_t>(Reg0) << 16) | Reg1; }
};

}  // namespace quorvex
