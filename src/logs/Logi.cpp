#include "logs/Logi.h"

#include <atomic>

#include "params/Codecs.h"

namespace quorvex {

MLogi Logi;

void MLogi::Touch() {
    static std::atomic<std::uint64_t> lastRevision{0};
    revision_ = ++lastRevision;
}

void MLogi::Clear() {
    loggerName.clear();
    loggerType.clear();
    serialNumber.clear();
    writeInterval.clear();
    tempMax = tempMin = humMax = humMin = kEmptyExtreme;
    std::deque<MstrLog>().swap(records_);  // give a large download's memory back
    Touch();
}

void MLogi::Append(float temperature, float humidity, TDateTime time) {
    records_.push_back({temperature, humidity, time});
    Touch();
    if (records_.size() == 1) {
        tempMax = tempMin = temperature;
        humMax = humMin = humidity;
        return;
    }
    if (temperature > tempMax) tempMax = temperature;
    if (temperature < tempMin) tempMin = temperature;
    if (humidity > humMax) humMax = humidity;
    if (humidity < humMin) humMin = humidity;
}

bool MLogi::HasHumidity() const { return IsHumidityDevice(loggerType); }

}  // namespace quorvex
