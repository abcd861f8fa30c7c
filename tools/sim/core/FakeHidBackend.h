#pragma once
// HID devices that exist only in memory, for tests and the in-process simulator front.
// Each device answers through a responder: it is handed the data byte of every output
// report written to it and returns the bytes the device sends back, one input report each.
// A device without a responder is silent.
//
// The devices behave as the kernel's hidraw nodes do, not kinder:
// - every open handle has its own ring of 64 slots holding at most 63 unread input reports;
//   a report arriving at a full ring is dropped (the newest is lost, as the kernel drops it);
// - a handle sees only reports that arrive after it was opened, and what a closed handle had
//   not read is gone;
// - the reports of one reply arrive one per millisecond, as over a full-speed interrupt
//   endpoint, not all at once;
// - unplugging makes reads and writes of the open handles fail for good (the node hangs up:
//   HidIo::Gone, i.e. POLLHUP|POLLERR, EIO, ENODEV); the vanished node cannot be opened
//   (NotFound, ENOENT). Access can be refused (EACCES) while the device is still listed.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/HidBackend.h"

namespace quorvex::sim {

struct FakeHidReply {
    std::vector<std::uint8_t> Bytes;
    int DelayMs = 0;  // the first byte arrives this long after the write
};

using FakeHidResponder = std::function<FakeHidReply(std::uint8_t byte)>;

struct FakeHidDevice {
    std::string Path;
    std::string Product;
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    HidReportLengths Lengths{2, 65};
    bool Numbered = false;  // the descriptor declares report ids
    bool Present = true;
    bool AccessDenied = false;    // opening is refused as for a device node without rights
    bool LengthsReadable = true;  // false: the report descriptor cannot be read
    FakeHidResponder Responder;   // empty: never answers
};

class FakeHidBackend : public HidBackend {
public:
    static constexpr std::size_t kRingSlots = 64;  // one slot always stays free
    static constexpr std::size_t kMaxUnread = kRingSlots - 1;
    static constexpr int kReportIntervalMs = 1;

    // Returns the device's index for the calls below.
    int AddDevice(FakeHidDevice device);
    // Unplugged: no longer enumerated, its open handles hang up for good. Plugged in again:
    // listed and openable anew (the old handles stay dead).
    void SetPresent(int device, bool present);
    void SetAccessDenied(int device, bool denied);
    // Input reports the device sends on its own, one per millisecond from delayMs on.
    void QueueInput(int device, const std::vector<std::uint8_t>& bytes, int delayMs = 0);

    // Every output report written to the device, whole.
    std::vector<std::vector<std::uint8_t>> OutputReports(int device) const;
    int EnumerateCalls() const;
    int OpenCalls() const;
    int OpenCalls(int device) const;  // opens of this device's node, refused ones included
    int CancelCalls() const;
    int OpenHandles() const;
    // Reports on their way from the device plus those unread in its handles' rings.
    std::size_t PendingInput(int device) const;
    // Reports lost because a handle's ring was full when they arrived.
    std::size_t DroppedReports(int device) const;

    std::vector<HidInterfaceInfo> Enumerate() override;
    HidOpenResult Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool ReportDescriptor(HidHandle handle, HidDescriptorInfo& info) override;
    HidIo ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) override;
    HidIo WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length, int timeoutMs) override;
    void Cancel(HidHandle handle) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Arrival {
        Clock::time_point At;
        std::uint8_t Byte;
    };
    struct DeviceState {
        FakeHidDevice Config;
        std::deque<Arrival> InFlight;  // in arrival order
        std::vector<std::vector<std::uint8_t>> Outputs;
        int Opens = 0;
        std::size_t Dropped = 0;
    };
    struct HandleState {
        int Device;
        Clock::time_point OpenedAt;
        std::deque<std::uint8_t> Ring;  // unread input reports (their data bytes)
        bool HungUp = false;
    };

    // Hands every report that has arrived by now to the rings of the handles open then.
    void DeliverLocked(Clock::time_point now);
    void ScheduleLocked(DeviceState& d, const std::vector<std::uint8_t>& bytes, int delayMs);

    mutable std::mutex Mutex_;
    std::condition_variable Changed_;
    std::vector<DeviceState> Devices_;
    std::map<HidHandle, HandleState> Handles_;
    HidHandle NextHandle_ = 100;
    int EnumerateCalls_ = 0;
    int OpenCalls_ = 0;
    int CancelCalls_ = 0;
};

}  // namespace quorvex::sim
