#pragma once
// The simulated logger behind the fake HID backend: a device with the product string
// "Logger" whose replies come from a SimLogger (with its fault plan), in process.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/FakeHidBackend.h"
#include "core/RequestAssembler.h"
#include "core/SimLogger.h"

namespace quorvex::test {

class SimHidLogger {
public:
    // `faults` are fault lines as quorvex-sim takes them ("silent at=1"); a bad one fails the test.
    explicit SimHidLogger(const std::vector<std::string>& faults = {});

    std::shared_ptr<sim::FakeHidBackend> Backend() const { return backend_; }
    int Device() const { return device_; }
    // Requests the logger handled so far.
    std::uint32_t RequestCount() const;
    void SetPresent(bool present) { backend_->SetPresent(device_, present); }

private:
    struct Shared {
        std::mutex mutex;
        sim::SimLogger logger;
        sim::RequestAssembler assembler;
    };
    std::shared_ptr<sim::FakeHidBackend> backend_ = std::make_shared<sim::FakeHidBackend>();
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    int device_ = -1;
};

}  // namespace quorvex::test
