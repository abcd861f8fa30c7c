#pragma once
// HID devices that exist only in memory, for tests and the in-process simulator front.
// Each device answers through a responder: it is handed the data byte of every output
// report written to it and returns the bytes the device sends back, one input report each.
// A device without a responder is silent.
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
    int DelayMs = 0;  // the bytes become readable this long after the write
};

using FakeHidResponder = std::function<FakeHidReply(std::uint8_t byte)>;

struct FakeHidDevice {
    std::string Path;
    std::string Product;
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    HidReportLengths Lengths{2, 65};
    bool Present = true;
    bool AccessDenied = false;      // opening is refused as for a device node without rights
    bool LengthsReadable = true;    // false: the report descriptor cannot be read
    FakeHidResponder Responder;     // empty: never answers
};

class FakeHidBackend : public HidBackend {
public:
    // Returns the device's index for the calls below.
    int AddDevice(FakeHidDevice device);
    // A vanished device is no longer enumerated; handles open on it fail their I/O.
    void SetPresent(int device, bool present);
    void SetAccessDenied(int device, bool denied);
    // Input reports the device sends on its own.
    void QueueInput(int device, const std::vector<std::uint8_t>& bytes, int delayMs = 0);

    // Every output report written to the device, whole.
    std::vector<std::vector<std::uint8_t>> OutputReports(int device) const;
    int EnumerateCalls() const;
    int OpenCalls() const;
    int CancelCalls() const;
    int OpenHandles() const;
    // Input reports still queued for the device (a stale read would have eaten one).
    std::size_t PendingInput(int device) const;

    std::vector<HidInterfaceInfo> Enumerate() override;
    HidOpenResult Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool ReportLengths(HidHandle handle, HidReportLengths& lengths) override;
    HidIo ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) override;
    HidIo WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length,
                            int timeoutMs) override;
    void Cancel(HidHandle handle) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Input {
        Clock::time_point ReadyAt;
        std::uint8_t Byte;
    };
    struct DeviceState {
        FakeHidDevice Config;
        std::deque<Input> Inputs;
        std::vector<std::vector<std::uint8_t>> Outputs;
    };
    struct HandleState {
        int Device;
        // A read that timed out stays queued, as an overlapped read would, until cancelled;
        // it swallows the next input report.
        bool StaleRead = false;
    };

    void QueueLocked(DeviceState& d, const std::vector<std::uint8_t>& bytes, int delayMs);

    mutable std::mutex Mutex_;
    std::condition_variable InputArrived_;
    std::vector<DeviceState> Devices_;
    std::map<HidHandle, HandleState> Handles_;
    HidHandle NextHandle_ = 100;
    int EnumerateCalls_ = 0;
    int OpenCalls_ = 0;
    int CancelCalls_ = 0;
};

}  // namespace quorvex::sim
