#pragma once
// The simulated logger behind the fake HID backend, in process: a "Logger" device answered
// by a SimLogger with the given fault plan. Destroy whatever uses the backend first.
#include <memory>
#include <string>
#include <vector>

#include "core/FakeHidBackend.h"
#include "core/SimLogger.h"

namespace quorvex::test {

class SimHidLogger {
public:
    // `faults` are fault lines as quorvex-sim takes them ("silent at=1"); a bad one fails the test.
    explicit SimHidLogger(const std::vector<std::string>& faults = {});

    std::shared_ptr<sim::FakeHidBackend> Backend() const { return backend_; }
    int Device() const { return device_; }
    void SetPresent(bool present) { backend_->SetPresent(device_, present); }

private:
    std::unique_ptr<sim::SimLogger> logger_ = std::make_unique<sim::SimLogger>();
    std::shared_ptr<sim::FakeHidBackend> backend_ = std::make_shared<sim::FakeHidBackend>();
    int device_ = -1;
};

}  // namespace quorvex::test
