#pragma once
// Reads a HID report descriptor far enough to know how long the reports are that the
// logger link exchanges: those of report id 0, i.e. of a device without numbered reports.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quorvex {

// Report lengths as the HID capabilities count them: the data bytes plus the leading
// report id byte (0 for unnumbered reports). 0 when the device has no such report.
struct HidReportLengths {
    std::size_t Input = 0;
    std::size_t Output = 0;
};

struct HidDescriptorInfo {
    bool Numbered = false;     // the descriptor declares report ids, so reports travel with one
    HidReportLengths Lengths;  // of report id 0 / the unnumbered reports
};

// Never reads past the end of the descriptor. A truncated item, a report id of 0 given
// explicitly, an unbalanced push/pop or an absurd report size is an error; the text says which.
std::optional<HidDescriptorInfo> ParseReportDescriptor(std::span<const std::uint8_t> descriptor,
                                                       std::string* error = nullptr);

}  // namespace quorvex
