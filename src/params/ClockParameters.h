#pragma once
// Registers 1–14: the logger's clock, the start moment of logging, the save
// interval and the two record indexes.
#include "params/Parameter.h"

namespace quorvex {

// Register a = year, hi(a+1) = month, lo(a+1) = day.
class DateParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;
    void SetText(const QString& text) override;
};

// hi(a) = hour, lo(a) = minute, hi(a+1) = second, lo(a+1) not used.
class TimeParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;
    void SetText(const QString& text) override;
};

// A 24-bit number: hi(a), lo(a), hi(a+1).
class IndexParameter : public Parameter {
public:
    using Parameter::Parameter;
    QString GetText() const override;

protected:
    std::uint32_t Number() const { return (static_cast<std::uint32_t>(Reg0) << 8) | Hi(Reg1); }
};

class CurrentDate : public DateParameter {
public:
    CurrentDate();
};

class CurrentTime : public TimeParameter {
public:
    CurrentTime();
};

class LogStartDate : public DateParameter {
public:
    LogStartDate();
};

class LogStartTime : public TimeParameter {
public:
    LogStartTime();
};

// Save interval in seconds, 24 bits; lo(10) = 0.
class WriteInterval : public IndexParameter {
public:
    WriteInterval();
    QString GetText() const override;  // e.g. "0d  00h:05m:00s"
    void SetValue(int seconds) override;
    int GetValue() const override;  // not checked for missing registers
};

// Number of records saved.
class WriteIndex : public IndexParameter {
public:
    WriteIndex();
};

// Number of the next record the log download reads.
class ReadIndex : public IndexParameter {
public:
    ReadIndex();
    void SetValue(int number) override;  // lo(a+1) stays as it was
};

}  // namespace quorvex
