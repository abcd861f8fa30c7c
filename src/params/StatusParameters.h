#pragma once
// Register 0: the status word and the three bits the operator can change
// (start mode, recording, overwrite). The bits live in the register mirror's
// cell, so a change through one of them is seen by the others at once.
#include <functional>

#include "params/Parameter.h"

namespace quorvex {

// Common ground of the three status-bit parameters: they read and write the
// mirror's register-0 cell instead of their own copies.
class StatusBitParameter : public Parameter {
public:
    StatusBitParameter(QString name, std::uint16_t& statusCell);
    void Invalidate() override;        // empties the shared cell
    QString GetText() const override;  // GetValue in decimal, empty while -1
    bool Known() const override;       // the shared cell holds register 0 as received

protected:
    // -1 while the cell is not received, else the masked bits shifted down.
    int Bits(std::uint16_t mask, int shift) const;
    void StoreBits(std::uint16_t mask, std::uint16_t bits);
};

// Bits 0–1: 0 button on the logger, 1 directly from the computer, 2 at a set time.
class StartLog : public StatusBitParameter {
public:
    // `changed` runs after every SetValue (the model's UpdateDependencies).
    StartLog(std::uint16_t& statusCell, std::function<void()> changed);
    void SetValue(int value) override;
    int GetValue() const override;

private:
    std::function<void()> changed_;
};

// Bit 2: 1 while the logger records.
class Logging : public StatusBitParameter {
public:
    explicit Logging(std::uint16_t& statusCell);
    void SetValue(int value) override;
    int GetValue() const override;
};

// Bit 3: 1 overwrite the oldest results when the memory is full, 0 stop.
class WrapAround : public StatusBitParameter {
public:
    explicit WrapAround(std::uint16_t& statusCell);
    void SetValue(int value) override;
    int GetValue() const override;
};

// The wording of each start mode and of each overwrite choice, as numbered texts (the registration
// tab's radio buttons); empty for a value without one.
QString StartModeCaption(int mode);
QString WrapAroundCaption(int overwrite);

class StatusWord : public Parameter {
public:
    StatusWord();
    int GetValue() const override;
    QString GetText() const override;
};

}  // namespace quorvex
