#pragma once
// HID devices through the Linux hidraw driver: libudev lists them, /dev/hidrawN carries
// the reports, poll() bounds every wait.
#include <map>
#include <mutex>

#include "link/HidBackend.h"

namespace quorvex {

class HidrawBackend : public HidBackend {
public:
    HidrawBackend();
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    std::vector<HidInterfaceInfo> Enumerate() override;
    HidOpenResult Open(const std::string& path) override;
    void Close(HidHandle handle) override;
    bool ReportDescriptor(HidHandle handle, HidDescriptorInfo& info) override;
    HidIo ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) override;
    HidIo WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length, int timeoutMs) override;
    // Reads and writes are never left pending after a time-out, so there is nothing to drop.
    void Cancel(HidHandle handle) override;

private:
    struct OpenDevice {
        bool HaveDescriptor = false;
        HidDescriptorInfo Descriptor;
    };
    bool Lookup(HidHandle handle, OpenDevice& device);

    std::mutex Mutex_;
    std::map<HidHandle, OpenDevice> Open_;
};

}  // namespace quorvex
