#pragma once
// What HidClass needs from the system's HID layer. The hidraw backend talks to the
// kernel; the simulator's fake backend presents devices that exist only in memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/HidReportDescriptor.h"

namespace quorvex {

// One present HID interface as enumeration sees it, before anything is opened.
struct HidInterfaceInfo {
    std::string Path;     // what Open takes, e.g. /dev/hidraw3
    std::string Product;  // product string; empty when the device gives none
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
};

using HidHandle = int;
constexpr HidHandle kInvalidHidHandle = -1;

enum class HidOpenError { None, NotFound, AccessDenied, Failed };

struct HidOpenResult {
    HidHandle Handle = kInvalidHidHandle;
    HidOpenError Error = HidOpenError::Failed;
};

enum class HidIo { Ok, TimedOut, Failed };

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // The interfaces present right now, in a stable order (each call looks afresh).
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;

    // Opens the interface for reading and writing.
    virtual HidOpenResult Open(const std::string& path) = 0;
    virtual void Close(HidHandle handle) = 0;

    // Lengths of the device's report id 0 reports; false when they cannot be learnt.
    virtual bool ReportLengths(HidHandle handle, HidReportLengths& lengths) = 0;

    // Reads one input report into report[0..length): report[0] is the report id, the
    // data follows; a longer report is cut to length. Waits at most timeoutMs.
    virtual HidIo ReadInputReport(HidHandle handle, std::uint8_t* report, std::size_t length, int timeoutMs) = 0;

    // Writes one output report; report[0] is the report id. Waits at most timeoutMs.
    virtual HidIo WriteOutputReport(HidHandle handle, const std::uint8_t* report, std::size_t length,
                                    int timeoutMs) = 0;

    // Drops whatever input or output the device still has pending for this handle.
    virtual void Cancel(HidHandle handle) = 0;
};

}  // namespace quorvex
