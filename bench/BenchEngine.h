#pragma once
// The transmission thread on the link of a started quorvex-sim, with its messages timed:
// what the engine benchmarks measure against.
#include <memory>
#include <string>

#include <QString>

#include "BenchSim.h"
#include "modbus/TransmissionThread.h"

namespace quorvex::bench {

class BenchEngine {
public:
    BenchEngine() : sim_({}) {
        if (!sim_.Running()) {
            error_ = "quorvex-sim did not start";
            return;
        }
        thread_ = std::make_unique<TransmissionThread>(&target_, QString::fromStdString(sim_.Link()));
        if (!target_.WaitFor(Msg::PortOpened, 1, std::chrono::seconds(10))) error_ = "the port did not open";
    }
    ~BenchEngine() { End(); }

    // Empty when the thread is running on an open port.
    const std::string& Error() const { return error_; }
    TransmissionThread& Thread() { return *thread_; }
    TimingTarget& Target() { return target_; }
    // Ends the thread, delivering what it still sends; the recorded messages stay.
    void End() {
        if (thread_) EndTransmissionThread(*thread_);
    }

private:
    BenchSim sim_;
    TimingTarget target_;
    std::unique_ptr<TransmissionThread> thread_;
    std::string error_;
};

}  // namespace quorvex::bench
