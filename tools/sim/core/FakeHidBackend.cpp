#include "core/FakeHidBackend.h"

#include <algorithm>
#include <cstring>

namespace quorvex::sim {

int FakeHidBackend::AddDevice(FakeHidDevice device) {
    std::lock_guard lock(Mutex_);
    Devices_.push_back(DeviceState{std::move(device), {}, {}, 0, 0});
    return static_cast<int>(Devices_.size()) - 1;
}

void FakeHidBackend::SetPresent(int device, bool present) {
    std::lock_guard lock(Mutex_);
    DeliverLocked(Clock::now());
    auto& d = Devices_.at(static_cast<std::size_t>(device));
    d.Config.Present = present;
    if (!present) {
        // Whatever was still on its way never arrives; every handle on the node hangs up.
        d.InFlight.clear();
        for (auto& [h, state] : Handles_)
            if (state.Device == device) state.HungUp = true;
    }
    Changed_.notify_all();
}

void FakeHidBackend::SetAccessDenied(int device, bool denied) {
    std::lock_guard lock(Mutex_);
    Devices_.at(static_cast<std::size_t>(device)).Config.AccessDenied = denied;
}

void FakeHidBackend::ScheduleLocked(DeviceState& d, const std::vector<std::uint8_t>& bytes, int delayMs) {
    if (!d.Config.Present) return;
    const auto interval = std::chrono::milliseconds(kReportIntervalMs);
    auto at = Clock::now() + std::chrono::milliseconds(delayMs);
    // The endpoint carries one report per interval: a reply queues behind what is still on its way.
    if (!d.InFlight.empty()) at = std::max(at, d.InFlight.back().At + interval);
    for (std::uint8_t b : bytes) {
        d.InFlight.push_back({at, b});
        at += interval;
    }
    Changed_.notify_all();
}

void FakeHidBackend::DeliverLocked(Clock::time_point now) {
    for (std::size_t i = 0; i < Devices_.size(); ++i) {
        auto& d = Devices_[i];
        while (!d.InFlight.empty() && d.InFlight.front().At <= now) {
            const Arrival a = d.InFlight.front();
            d.InFlight.pop_front();
            for (auto& [h, state] : Handles_) {
                if (state.Device != static_cast<int>(i) || state.HungUp || state.OpenedAt > a.At) continue;
                if (state.Ring.size() >= kMaxUnread)
                    ++d.Dropped;
                else
                    state.Ring.push_back(a.Byte);
            }
        }
    }
}

void FakeHidBackend::QueueInput(int device, const std::vector<std::uint8_t>& bytes, int delayMs) {
    std::lock_guard lock(Mutex_);
    DeliverLocked(Clock::now());
    ScheduleLocked(Devices_.at(static_cast<std::size_t>(device)), bytes, delayMs);
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

int FakeHidBackend::OpenCalls(int device) const {
    std::lock_guard lock(Mutex_);
    return Devices_.at(static_cast<std::size_t>(device)).Opens;
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
    std::size_t n = Devices_.at(static_cast<std::size_t>(device)).InFlight.size();
    for (const auto& [h, state] : Handles_)
        if (state.Device == device) n += state.Ring.size();
    return n;
}

std::size_t FakeHidBackend::DroppedReports(int device) const {
    std::lock_guard lock(Mutex_);
    return Devices_.at(static_cast<std::size_t>(device)).Dropped;
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
    const auto now = Clock::now();
    DeliverLocked(now);
    for (std::size_t i = 0; i < Devices_.size(); ++i) {
        auto& d = Devices_[i];
        if (d.Config.Path != path || !d.Config.Present) continue;
        ++d.Opens;
        if (d.Config.AccessDenied) return {kInvalidHidHandle, HidOpenError::AccessDenied};
        const HidHandle h = NextHandle_++;
        Handles_[h] = HandleState{static_cast<int>(i), now, {}, false};
        return {h, HidOpenError::None};
    }
    return {kInvalidHidHandle, HidOpenError::NotFound};
}

void FakeHidBackend::Close(HidHandle handle) {
    std::lock_guard lock(Mutex_);
    DeliverLocked(Clock::now());
    Handles_.erase(handle);
}

bool FakeHidBackend::ReportDescriptor(HidHandle handle, HidDescriptorInfo& info) {
    std::lock_guard lock(Mutex_);
    const auto it = Handles_.find(handle);
    if (it == Handles_.end() || it->second.HungUp) return false;
    const auto& c = Devices_[static_cast<std::size_t>(it->second.Device)].Config;
    if (!c.LengthsReadable) return false;
    info.Numbered = c.Numbered;
    info.Lengths = c.Lengths;
    return true;
}

HidIo FakeHidBackend::ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) {
    std::unique_lock lock(Mutex_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto now = Clock::now();
        DeliverLocked(now);
        auto it = Handles_.find(handle);
        if (it == Handles_.end() || report == nullptr || length == 0) return HidIo::Failed;
        if (it->second.HungUp) return HidIo::Gone;
        auto& d = Devices_[static_cast<std::size_t>(it->second.Device)];
        if (!it->second.Ring.empty()) {
            const std::uint8_t byte = it->second.Ring.front();
            it->second.Ring.pop_front();
            // Input report: id 0, the byte, zero padding up to the device's length.
            std::vector<std::uint8_t> full(std::max<std::size_t>(d.Config.Lengths.Input, 2), 0);
            full[1] = byte;
            std::memset(report, 0, length);
            std::memcpy(report, full.data(), std::min(length, full.size()));
            return HidIo::Ok;
        }
        if (now >= deadline) return HidIo::TimedOut;
        auto wakeAt = deadline;
        if (!d.InFlight.empty()) wakeAt = std::min(wakeAt, d.InFlight.front().At);
        Changed_.wait_until(lock, wakeAt);
    }
}

HidIo FakeHidBackend::WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length, int) {
    FakeHidResponder responder;
    std::size_t device = 0;
    {
        std::lock_guard lock(Mutex_);
        const auto it = Handles_.find(handle);
        if (it == Handles_.end() || report == nullptr) return HidIo::Failed;
        if (it->second.HungUp) return HidIo::Gone;
        device = static_cast<std::size_t>(it->second.Device);
        auto& d = Devices_[device];
        // A report of another length than the device's is refused, as the system refuses it.
        if (length != d.Config.Lengths.Output || length < 2) return HidIo::Failed;
        d.Outputs.emplace_back(report, report + length);
        responder = d.Config.Responder;
    }
    if (!responder) return HidIo::Ok;
    // The responder runs unlocked: it may be slow or call back into this backend.
    const FakeHidReply reply = responder(report[1]);
    std::lock_guard lock(Mutex_);
    DeliverLocked(Clock::now());
    ScheduleLocked(Devices_[device], reply.Bytes, reply.DelayMs);
    return HidIo::Ok;
}

void FakeHidBackend::Cancel(HidHandle) {
    // hidraw leaves nothing pending after a read or write returns; only count the call.
    std::lock_guard lock(Mutex_);
    ++CancelCalls_;
}

}  // namespace quorvex::sim
