#pragma once
// The millisecond tick count of the transmission engine: 32 bits that wrap after about
// 49.7 days. Every time-out is a difference taken as unsigned 32-bit, so it stays right
// across the wrap.
#include <cstdint>

namespace quorvex {

// Milliseconds of the monotonic clock, cut to 32 bits.
std::uint32_t GetTickCount();

// Milliseconds from `then` to `now`, wrap-safe.
constexpr std::uint32_t TicksBetween(std::uint32_t then, std::uint32_t now) { return now - then; }

// Milliseconds since `then`.
inline std::uint32_t TicksSince(std::uint32_t then) { return TicksBetween(then, GetTickCount()); }

// How long to wait until `periodMs` have passed since `then`; 0 once they have.
constexpr std::uint32_t TicksLeft(std::uint32_t then, std::uint32_t now, std::uint32_t periodMs) {
    const std::uint32_t passed = TicksBetween(then, now);
    return passed >= periodMs ? 0 : periodMs - passed;
}

}  // namespace quorvex
