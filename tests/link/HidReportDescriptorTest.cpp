#include <gtest/gtest.h>

#include <vector>

#include "link/HidReportDescriptor.h"

using namespace quorvex;

namespace {

std::optional<HidDescriptorInfo> Parse(const std::vector<std::uint8_t>& d, std::string* error = nullptr) {
    return ParseReportDescriptor(std::span<const std::uint8_t>(d.data(), d.size()), error);
}

// A vendor-defined device as the logger presents itself: one data byte in, 64 bytes out.
const std::vector<std::uint8_t> kLoggerLike = {
    0x06, 0x00, 0xFF,        // usage page (vendor)
    0x09, 0x01,              // usage
    0xA1, 0x01,              // collection (application)
    0x15, 0x00,              //   logical minimum 0
    0x26, 0xFF, 0x00,        //   logical maximum 255
    0x75, 0x08,              //   report size 8
    0x95, 0x01,              //   report count 1
    0x09, 0x01, 0x81, 0x02,  // usage, input
    0x95, 0x40,              //   report count 64
    0x09, 0x01, 0x91, 0x02,  // usage, output
    0xC0,                    // end collection
};

TEST(HidReportDescriptor, UnnumberedReportLengthsIncludeTheReportIdByte) {
    const auto info = Parse(kLoggerLike);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->Numbered);
    EXPECT_EQ(info->Lengths.Input, 2u);
    EXPECT_EQ(info->Lengths.Output, 65u);
}

TEST(HidReportDescriptor, BitFieldsAddUpAndRoundUpToBytes) {
    // A mouse-like input report: 3 buttons of 1 bit, 5 bits padding, 2 axes of 8 bits, 3 more bits.
    const std::vector<std::uint8_t> d = {
        0x75, 0x01, 0x95, 0x03, 0x81, 0x02,  // 3 x 1 bit
        0x75, 0x05, 0x95, 0x01, 0x81, 0x03,  // 5 bit constant
        0x75, 0x08, 0x95, 0x02, 0x81, 0x06,  // 2 x 8 bit
        0x75, 0x01, 0x95, 0x03, 0x81, 0x02,  // 3 x 1 bit -> 27 bits
        0x75, 0x10, 0x95, 0x02, 0xB1, 0x02,  // a feature report counts for neither
    };
    const auto info = Parse(d);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Lengths.Input, 4u + 1u);
    EXPECT_EQ(info->Lengths.Output, 0u);
}

TEST(HidReportDescriptor, NumberedReportsLeaveReportIdZeroEmptyAndPushPopRestores) {
    const std::vector<std::uint8_t> d = {
        0x85, 0x01,                          // report id 1
        0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // input 4 bytes in report 1
        0xA4,                                // push
        0x85, 0x02, 0x95, 0x10, 0x91, 0x02,  // report 2: 16 bytes out
        0xB4,                                // pop: back to report 1, count 4
        0x91, 0x02,                          // report 1: 4 bytes out
    };
    const auto info = Parse(d);
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->Numbered);
    EXPECT_EQ(info->Lengths.Input, 0u);
    EXPECT_EQ(info->Lengths.Output, 0u);
}

TEST(HidReportDescriptor, LongItemsAndFourByteDataAreStepsOver) {
    const std::vector<std::uint8_t> d = {
        0xFE, 0x03, 0x42, 0xAA, 0xBB, 0xCC,  // long item, 3 data bytes
        0x77, 0x08, 0x00, 0x00, 0x00,        // report size 8 as a 4-byte item
        0x97, 0x02, 0x00, 0x00, 0x00,        // report count 2 as a 4-byte item
        0x81, 0x02,
    };
    const auto info = Parse(d);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Lengths.Input, 3u);
}

TEST(HidReportDescriptor, BrokenDescriptorsAreErrorsNotGuesses) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* why;
    };
    const std::vector<Case> cases = {
        {{0x75, 0x08, 0x96, 0x01}, "two-byte item cut after one byte"},
        {{0x77, 0x08, 0x00}, "four-byte item cut short"},
        {{0xFE}, "long item without its size"},
        {{0xFE, 0x05, 0x00, 0x01}, "long item shorter than it says"},
        {{0x85, 0x00}, "report id 0 is reserved"},
        {{0xB4}, "pop without push"},
        {{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}, "report of 2^64 bits"},
        {{0x75, 0x08, 0x96, 0xFF, 0x3F, 0x81, 0x02, 0x81, 0x02}, "report over the kernel's limit"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.bytes, &error)) << c.why;
        EXPECT_FALSE(error.empty()) << c.why;
    }
    std::vector<std::uint8_t> deep(17, 0xA4);
    EXPECT_FALSE(Parse(deep)) << "push stack has a bound";
    EXPECT_TRUE(Parse(std::vector<std::uint8_t>(16, 0xA4))) << "16 pushes are fine";
}

TEST(HidReportDescriptor, EveryTruncationOfAGoodDescriptorIsSafe) {
    // Cuts inside an item fail; cuts between items parse to a shorter report. Never more.
    for (std::size_t n = 0; n <= kLoggerLike.size(); ++n) {
        const std::vector<std::uint8_t> cut(kLoggerLike.begin(), kLoggerLike.begin() + static_cast<long>(n));
        const auto info = Parse(cut);
        if (info) {
            EXPECT_LE(info->Lengths.Input, 2u) << n;
            EXPECT_LE(info->Lengths.Output, 65u) << n;
        }
    }
    EXPECT_FALSE(Parse({kLoggerLike.begin(), kLoggerLike.begin() + 2})) << "usage page cut short";
}

}  // namespace
