#include "SimHidLogger.h"

#include <gtest/gtest.h>

namespace quorvex::test {

SimHidLogger::SimHidLogger(const std::vector<std::string>& faults)
{
    for (const auto& line : faults) {
        std::string why;
        auto fault = sim::ParseFault(line, &why);
        if (!fault) {
            ADD_FAILURE() << "bad fault \"" << line << "\": " << why;
            continue;
        }
        shared_->logger.Faults().Add(*fault);
    }
    sim::FakeHidDevice device;
    device.Path = "/dev/hidraw-sim";
    device.Product = "Logger";
    device.VendorId = 0x1234;
    device.ProductId = 0x0001;
    std::weak_ptr<Shared> weak = shared_;
    device.Responder = [weak](std::uint8_t byte) -> sim::FakeHidReply {
        auto shared = weak.lock();
        if (!shared)
            return {};
        std::lock_guard lock(shared->mutex);
        auto frame = shared->assembler.Push(byte);
        if (!frame)
            return {};
        sim::SimReply reply = shared->logger.Handle(*frame);
        return {std::move(reply.bytes), reply.delayMs};
    };
    device_ = backend_->AddDevice(std::move(device));
}

std::uint32_t SimHidLogger::RequestCount() const
{
    std::lock_guard lock(shared_->mutex);
    return shared_->logger.RequestCount();
}

}  // namespace quorvex::test
