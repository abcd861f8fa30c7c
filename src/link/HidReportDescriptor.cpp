#include "link/HidReportDescriptor.h"

#include <array>
#include <vector>

namespace quorvex {

namespace {

// The kernel's own ceiling on one report; anything longer is a broken descriptor.
constexpr std::uint64_t kMaxReportBits = 16384ull * 8;
constexpr std::size_t kMaxGlobalStack = 16;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag : std::uint8_t { kInput = 8, kOutput = 9 };
enum GlobalTag : std::uint8_t { kReportSize = 7, kReportId = 8, kReportCount = 9, kPush = 10, kPop = 11 };
constexpr std::uint8_t kLongItemPrefix = 0xFE;

struct GlobalState {
    std::uint32_t ReportSize = 0;
    std::uint32_t ReportCount = 0;
    std::uint8_t ReportId = 0;
};

bool Fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

}  // namespace

std::optional<HidDescriptorInfo> ParseReportDescriptor(std::span<const std::uint8_t> d, std::string* error) {
    std::array<std::uint64_t, 256> inputBits{};
    std::array<std::uint64_t, 256> outputBits{};
    GlobalState g;
    std::vector<GlobalState> stack;
    bool numbered = false;

    auto fail = [&](const char* text) -> std::optional<HidDescriptorInfo> {
        Fail(error, text);
        return std::nullopt;
    };

    std::size_t pos = 0;
    while (pos < d.size()) {
        const std::uint8_t prefix = d[pos++];
        if (prefix == kLongItemPrefix) {
            // Long items carry vendor data only: size byte, tag byte, then the data.
            if (d.size() - pos < 2) return fail("long item truncated");
            const std::size_t size = d[pos];
            pos += 2;
            if (d.size() - pos < size) return fail("long item truncated");
            pos += size;
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (d.size() - pos < size) return fail("item truncated");
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{d[pos + i]} << (8 * i);
        pos += size;

        const auto type = static_cast<std::uint8_t>((prefix >> 2) & 3);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        if (type == kGlobal) {
            switch (tag) {
            case kReportSize:
                g.ReportSize = value;
                break;
            case kReportCount:
                g.ReportCount = value;
                break;
            case kReportId:
                if (value == 0 || value > 255) return fail("invalid report id");
                g.ReportId = static_cast<std::uint8_t>(value);
                numbered = true;
                break;
            case kPush:
                if (stack.size() >= kMaxGlobalStack) return fail("push too deep");
                stack.push_back(g);
                break;
            case kPop:
                if (stack.empty()) return fail("pop without push");
                g = stack.back();
                stack.pop_back();
                break;
            default:
                break;
            }
        } else if (type == kMain && (tag == kInput || tag == kOutput)) {
            auto& bits = tag == kInput ? inputBits[g.ReportId] : outputBits[g.ReportId];
            // Both factors are below 2^32, so the product fits 64 bits.
            const std::uint64_t add = std::uint64_t{g.ReportSize} * g.ReportCount;
            if (add > kMaxReportBits || bits + add > kMaxReportBits) return fail("report too long");
            bits += add;
        }
    }

    auto length = [](std::uint64_t bits) -> std::size_t {
        return bits == 0 ? 0 : static_cast<std::size_t>((bits + 7) / 8 + 1);
    };
    HidDescriptorInfo info;
    info.Numbered = numbered;
    info.Lengths.Input = length(inputBits[0]);
    info.Lengths.Output = length(outputBits[0]);
    return info;
}

}  // namespace quorvex
