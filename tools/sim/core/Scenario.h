#pragma once
// A scenario: the logger the simulator plays. Read from a small text file:
//
//   # comment                       (also ';' comments; blank lines ignored)
//   [logger]
//   name = Chłodnia 3               UTF-8 in the file, kept in the logger as Windows-1250 (45 bytes max)
//   type = 0201                     device type, hex ("02.." measures humidity)
//   serial = 0019A7F3               8 hex digits
//   firmware = 1.5                  major.minor
//   battery = 87                    percent
//   production = 2021-03-15
//   mode = 1                        start mode 0 button, 1 computer, 2 at a set time
//   recording = 0                   1 = recording now
//   overwrite = 0                   1 = overwrite the oldest records when memory is full
//   interval = 300                  save interval in seconds
//   capacity = 65536                records the memory holds
//   clock = now                     the logger clock at launch: now (local time) or YYYY-MM-DD HH:MM:SS
//   start = auto                    start of recording: auto (the log ends about now), now+S, now-S or a date-time
//   temp_low = -10.0 / temp_high = 35.0 / hum_low = 20.0 / hum_high = 80.0   thresholds
//   temp_correction = 0.0 / hum_correction = 0.0                             -12.8 .. 12.7
//   log_counter = 12345             measurements taken over the logger's life (default: 40000 + records)
//   [records]
//   count = 250                     generated records (ignored when records are listed)
//   seed = 1
//   temp_base = 21.0 / temp_swing = 3.0 / hum_base = 45.0 / hum_swing = 8.0
//   21.5 45.0                       listed records, one a line: temperature [humidity]
//   0x824A4560                      or the record's 32 bits in hex
//   [faults]
//   silent at=3                     one fault a line (FaultPlan.h)
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/FaultPlan.h"
#include "core/Measurement.h"

namespace quorvex::sim {

struct Scenario {
    std::string name = "Magazyn próbek – Łódź";  // UTF-8
    std::uint16_t type = 0x0201;
    std::uint32_t serial = 0x0019A7F3;
    std::uint8_t firmwareMajor = 1, firmwareMinor = 5;
    std::uint8_t battery = 87;
    int productionYear = 2021, productionMonth = 3, productionDay = 15;
    int mode = 1;
    bool recording = false;
    bool overwrite = false;
    std::uint32_t interval = 300;
    std::uint32_t capacity = 65536;
    std::string clock = "now";
    std::string start = "auto";
    double tempLow = 2.0, tempHigh = 30.0, humLow = 25.0, humHigh = 75.0;
    double tempCorrection = 0.0, humCorrection = 0.0;
    std::optional<std::uint32_t> logCounter;

    std::uint32_t recordCount = 250;
    Climate climate;
    std::optional<std::vector<std::uint32_t>> listedRecords;

    std::vector<Fault> faults;

    static std::optional<Scenario> Parse(const std::string& text, std::string* error);
    static std::optional<Scenario> LoadFile(const std::string& path, std::string* error);
};

}  // namespace quorvex::sim
