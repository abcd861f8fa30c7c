#include "logs/ResultsStore.h"

#include <atomic>
#include <utility>

#include "params/Codecs.h"

namespace quorvex {

void ResultsStore::Clear() {
    loggerName.clear();
    loggerType.clear();
    serialNumber.clear();
    writeInterval.clear();
    thresholds.reset();
    intervalSeconds = 0;
    sourceFile.clear();
    archivedLogStart.reset();
    humidityInFile = false;
    signature.reset();
    tempMax = tempMin = humMax = humMin = kEmptyExtreme;
    std::deque<LogRecord>().swap(records_);  // give a large download's memory back
    generation_ = NextGeneration();
}

void ResultsStore::Swap(ResultsStore& other) {
    using std::swap;
    swap(loggerName, other.loggerName);
    swap(loggerType, other.loggerType);
    swap(serialNumber, other.serialNumber);
    swap(writeInterval, other.writeInterval);
    swap(thresholds, other.thresholds);
    swap(intervalSeconds, other.intervalSeconds);
    swap(sourceFile, other.sourceFile);
    swap(archivedLogStart, other.archivedLogStart);
    swap(humidityInFile, other.humidityInFile);
    swap(signature, other.signature);
    swap(tempMax, other.tempMax);
    swap(tempMin, other.tempMin);
    swap(humMax, other.humMax);
    swap(humMin, other.humMin);
    records_.swap(other.records_);
    generation_ = NextGeneration();
    other.generation_ = NextGeneration();
}

std::uint64_t ResultsStore::NextGeneration() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

void ResultsStore::TakeLoggerFacts(const ResultsStore& from) {
    loggerName = from.loggerName;
    loggerType = from.loggerType;
    serialNumber = from.serialNumber;
    writeInterval = from.writeInterval;
    thresholds = from.thresholds;
    intervalSeconds = from.intervalSeconds;
}

void ResultsStore::Append(float temperature, float humidity, Moment time) {
    records_.push_back({temperature, humidity, time});
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

bool ResultsStore::HasHumidity() const { return humidityInFile || IsHumidityDevice(loggerType); }

}  // namespace quorvex
