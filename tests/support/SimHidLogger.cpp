#include "SimHidLogger.h"

#include <gtest/gtest.h>

#include "core/SimHidDevice.h"

namespace quorvex::test {

SimHidLogger::SimHidLogger(const std::vector<std::string>& faults) {
    for (const auto& line : faults) {
        std::string why;
        auto fault = sim::ParseFault(line, &why);
        if (!fault) {
            ADD_FAILURE() << "bad fault \"" << line << "\": " << why;
            continue;
        }
        logger_->Faults().Add(*fault);
    }
    device_ = backend_->AddDevice(sim::MakeSimHidDevice(*logger_, "/dev/hidraw-sim"));
}

}  // namespace quorvex::test
