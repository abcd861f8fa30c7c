#pragma once
// What HidLink needs from the system's HID layer. The hidraw backend talks to the
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

// Gone: the device has been unplugged (the node hung up: POLLHUP/POLLERR, EIO, ENODEV); the
// handle will never work again and is best closed.
enum class HidIo { Ok, TimedOut, Failed, Gone };

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // The interfaces present right now, in a stable order (each call looks afresh). Opens
    // nothing: the product string comes from the system's device database. May be called from
    // any thread, also while another thread uses an open handle.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;

    // Opens the interface for reading and writing.
    virtual HidOpenResult Open(const std::string& path) = 0;
    virtual void Close(HidHandle handle) = 0;

    // What the device's report descriptor says: whether reports are numbered and the lengths
    // of the report id 0 reports. False when the descriptor cannot be read or understood.
    virtual bool ReportDescriptor(HidHandle handle, HidDescriptorInfo& info) = 0;

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
