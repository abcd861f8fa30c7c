#include "core/FakeHidBackend.h"

#include <algorithm>
#include <cstring>

namespace quorvex::sim {

int FakeHidBackend::AddDevice(FakeHidDevice device) {
    std::lock_guard lock(Mutex_);
    Devices_.push_back(DeviceState{std::move(device), {}, {}});
    return static_cast<int>(Devices_.size()) - 1;
}

void FakeHidBackend::SetPresent(int device, bool present) {
    std::lock_guard lock(Mutex_);
    Devices_.at(static_cast<std::size_t>(device)).Config.Present = present;
    InputArrived_.notify_all();
}

void FakeHidBackend::SetAccessDenied(int device, bool denied) {
    std::lock_guard lock(Mutex_);
    Devices_.at(static_cast<std::size_t>(device)).Config.AccessDenied = denied;
}

void FakeHidBackend::QueueLocked(DeviceState& d, const std::vector<std::uint8_t>& bytes, int delayMs) {
    const auto at = Clock::now() + std::chrono::milliseconds(delayMs);
    for (std::uint8_t b : bytes) d.Inputs.push_back({at, b});
    InputArrived_.notify_all();
}

void FakeHidBackend::QueueInput(int device, const std::vector<std::uint8_t>& bytes, int delayMs) {
    std::lock_guard lock(Mutex_);
    QueueLocked(Devices_.at(static_cast<std::size_t>(device)), bytes, delayMs);
}

std::vector<std::vector<std::uint8_t>> FakeHidBackend::OutputReports(int device) const {
    std::lock_guard lock(Mutex_);
    return Devices_.at(static_cast<std::size_t>(device)).Outputs;
}

int FakeHidBackend::EnumerateCalls() const {
    std::lock_guard lock(Mutex_);
    return EnumerateCalls_;
}

int FakeHidBackend::OpenCalls() const {
    std::lock_guard lock(Mutex_);
    return OpenCalls_;
}

int FakeHidBackend::CancelCalls() const {
    std::lock_guard lock(Mutex_);
    return CancelCalls_;
}

int FakeHidBackend::OpenHandles() const {
    std::lock_guard lock(Mutex_);
    return static_cast<int>(Handles_.size());
}

std::size_t FakeHidBackend::PendingInput(int device) const {
    std::lock_guard lock(Mutex_);
    return Devices_.at(static_cast<std::size_t>(device)).Inputs.size();
}

std::vector<HidInterfaceInfo> FakeHidBackend::Enumerate() {
    std::lock_guard lock(Mutex_);
    ++EnumerateCalls_;
    std::vector<HidInterfaceInfo> result;
    for (const auto& d : Devices_) {
        if (!d.Config.Present) continue;
        result.push_back({d.Config.Path, d.Config.Product, d.Config.VendorId, d.Config.ProductId});
    }
    return result;
}

HidOpenResult FakeHidBackend::Open(const std::string& path) {
    std::lock_guard lock(Mutex_);
    ++OpenCalls_;
    for (std::size_t i = 0; i < Devices_.size(); ++i) {
        const auto& c = Devices_[i].Config;
        if (c.Path != path || !c.Present) continue;
        if (c.AccessDenied) return {kInvalidHidHandle, HidOpenError::AccessDenied};
        const HidHandle h = NextHandle_++;
        Handles_[h] = HandleState{static_cast<int>(i)};
        return {h, HidOpenError::None};
    }
    return {kInvalidHidHandle, HidOpenError::NotFound};
}

void FakeHidBackend::Close(HidHandle handle) {
    std::lock_guard lock(Mutex_);
    Handles_.erase(handle);
}

bool FakeHidBackend::ReportLengths(HidHandle handle, HidReportLengths& lengths) {
    std::lock_guard lock(Mutex_);
    const auto it = Handles_.find(handle);
    if (it == Handles_.end()) return false;
    const auto& c = Devices_[static_cast<std::size_t>(it->second.Device)].Config;
    if (!c.LengthsReadable) return false;
    lengths = c.Lengths;
    return true;
}

HidIo FakeHidBackend::ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) {
    std::unique_lock lock(Mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto it = Handles_.find(handle);
        if (it == Handles_.end() || report == nullptr || length == 0) return HidIo::Failed;
        auto& d = Devices_[static_cast<std::size_t>(it->second.Device)];
        if (!d.Config.Present) return HidIo::Failed;
        const auto now = Clock::now();
        if (!d.Inputs.empty() && d.Inputs.front().ReadyAt <= now) {
            const std::uint8_t byte = d.Inputs.front().Byte;
            d.Inputs.pop_front();
            if (it->second.StaleRead) {
                it->second.StaleRead = false;  // the forgotten read took this report
                continue;
            }
            // Input report: id 0, the byte, zero padding up to the device's length.
            std::vector<std::uint8_t> full(std::max<std::size_t>(d.Config.Lengths.Input, 2), 0);
            full[1] = byte;
            std::memset(report, 0, length);
            std::memcpy(report, full.data(), std::min(length, full.size()));
            return HidIo::Ok;
        }
        if (now >= deadline) {
            it->second.StaleRead = true;
            return HidIo::TimedOut;
        }
        auto wakeAt = deadline;
        if (!d.Inputs.empty()) wakeAt = std::min(wakeAt, d.Inputs.front().ReadyAt);
        InputArrived_.wait_until(lock, wakeAt);
    }
}

HidIo FakeHidBackend::WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length, int) {
    FakeHidResponder responder;
    std::size_t device = 0;
    {
        std::lock_guard lock(Mutex_);
        const auto it = Handles_.find(handle);
        if (it == Handles_.end() || report == nullptr) return HidIo::Failed;
        device = static_cast<std::size_t>(it->second.Device);
        auto& d = Devices_[device];
        if (!d.Config.Present) return HidIo::Failed;
        // A report of another length than the device's is refused, as the system refuses it.
        if (length != d.Config.Lengths.Output || length < 2) return HidIo::Failed;
        d.Outputs.emplace_back(report, report + length);
        responder = d.Config.Responder;
    }
    if (!responder) return HidIo::Ok;
    // The responder runs unlocked: it may be slow or call back into this backend.
    const FakeHidReply reply = responder(report[1]);
    std::lock_guard lock(Mutex_);
    QueueLocked(Devices_[device], reply.Bytes, reply.DelayMs);
    return HidIo::Ok;
}

void FakeHidBackend::Cancel(HidHandle handle) {
    std::lock_guard lock(Mutex_);
    ++CancelCalls_;
    const auto it = Handles_.find(handle);
    if (it != Handles_.end()) it->second.StaleRead = false;
}

}  // namespace quorvex::sim
