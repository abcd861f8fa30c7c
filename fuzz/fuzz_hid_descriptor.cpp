// Report descriptors come from whatever device is plugged in; the parser must never read
// past the end of one, however broken, and what it reports must stay within bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "link/HidReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly size bytes, so ASan sees any read past the end.
    auto* copy = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    for (std::size_t i = 0; i < size; ++i) copy[i] = data[i];
    const auto info = quorvex::ParseReportDescriptor(std::span<const std::uint8_t>(copy, size));
    if (info && (info->Lengths.Input > 16384 + 1 || info->Lengths.Output > 16384 + 1)) std::abort();
    std::free(copy);
    return 0;
}
