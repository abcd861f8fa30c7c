#include "core/FaultPlan.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "modbus/Crc16.h"

namespace quorvex::sim {

namespace {
struct KindName {
    FaultKind kind;
    const char* name;
    const char* valueKey;  // the key that sets `value`, nullptr when the kind takes none
};
constexpr KindName kKinds[] = {
    {FaultKind::Silent, "silent", nullptr},      {FaultKind::BadCrc, "badcrc", nullptr},
    {FaultKind::Short, "short", nullptr},        {FaultKind::Long, "long", "bytes"},
    {FaultKind::Garbage, "garbage", "bytes"},    {FaultKind::Address, "address", "address"},
    {FaultKind::Exception, "exception", "code"}, {FaultKind::Delay, "delay", "ms"},
    {FaultKind::Function, "function", "code"},   {FaultKind::Trailing, "trailing", "bytes"},
    {FaultKind::Pause, "pause", "ms"},           {FaultKind::Cut, "cut", "bytes"},
    {FaultKind::Ignore, "ignore", nullptr},
};

// Bytes of noise: the same sequence every time, so a run can be repeated.
std::vector<std::uint8_t> Noise(std::size_t n) {
    std::vector<std::uint8_t> out;
    std::uint8_t x = 0xA5;
    for (std::size_t i = 0; i < n; ++i) {
        x = static_cast<std::uint8_t>(x * 73 + 41);
        out.push_back(x);
    }
    return out;
}

const KindName& Info(FaultKind k) {
    for (const auto& n : kKinds)
        if (n.kind == k) return n;
    return kKinds[0];
}

bool ToNumber(const std::string& s, long long& out) {
    int base = 10;
    std::size_t skip = 0;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        skip = 2;
    }
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data() + skip, end, out, base);
    return ec == std::errc() && p == end && skip < s.size();
}

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> bytes) {
    const std::uint16_t crc = Crc16(bytes.data(), bytes.size());
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}
}  // namespace

std::optional<Fault> ParseFault(const std::string& text, std::string* error) {
    std::istringstream in(text);
    std::string word;
    if (!(in >> word)) {
        *error = "empty fault";
        return std::nullopt;
    }
    Fault f;
    const KindName* kind = nullptr;
    for (const auto& k : kKinds)
        if (word == k.name) kind = &k;
    if (!kind) {
        *error = "unknown fault kind '" + word +
                 "' (known: silent, badcrc, short, long, garbage, address, exception, delay, cut, "
                 "function, trailing, pause)";
        return std::nullopt;
    }
    f.kind = kind->kind;
    while (in >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos) {
            *error = "expected key=value, got '" + word + "'";
            return std::nullopt;
        }
        const std::string key = word.substr(0, eq), val = word.substr(eq + 1);
        long long n = 0;
        if (key == "count" && val == "all") {
            f.count = 0;
            continue;
        }
        if (!ToNumber(val, n) || n < 0) {
            *error = "'" + key + "' needs a non-negative number, got '" + val + "'";
            return std::nullopt;
        }
        if (key == "at" && n >= 1 && n <= 0xFFFFFFFFLL) {
            f.at = static_cast<std::uint32_t>(n);
        } else if (key == "count" && n >= 1 && n <= 0xFFFFFFFFLL) {
            f.count = static_cast<std::uint32_t>(n);
        } else if (key == "register" && n <= 0xFFFF) {
            f.reg = static_cast<std::uint16_t>(n);
        } else if (kind->valueKey && key == kind->valueKey && n <= 600000) {
            f.value = static_cast<int>(n);
        } else {
            *error = "'" + key + "=" + val + "' does not fit a " + kind->name + " fault";
            return std::nullopt;
        }
    }
    if (f.kind == FaultKind::Address && f.value > 255) {
        *error = "a slave address is at most 255";
        return std::nullopt;
    }
    if (f.kind == FaultKind::Exception && (f.value == 0 || f.value > 255)) {
        *error = "an exception code is 1 to 255";
        return std::nullopt;
    }
    if (f.kind == FaultKind::Function && f.value > 255) {
        *error = "a function code is 0 to 255";
        return std::nullopt;
    }
    return f;
}

std::string DescribeFault(const Fault& f) {
    const KindName& k = Info(f.kind);
    std::string s = std::string(k.name) + " at=" + std::to_string(f.at) +
                    " count=" + (f.count == 0 ? std::string("all") : std::to_string(f.count));
    if (f.reg) s += " register=" + std::to_string(*f.reg);
    if (k.valueKey && f.value >= 0) s += std::string(" ") + k.valueKey + "=" + std::to_string(f.value);
    return s;
}

std::vector<Fault> FaultPlan::Next(std::uint32_t requestNumber, std::optional<std::uint16_t> startRegister) {
    std::vector<Fault> active;
    for (Fault& f : faults_) {
        std::uint32_t n = requestNumber;
        if (f.reg) {
            if (startRegister != f.reg) continue;
            n = ++f.seen;
        }
        if (n >= f.at && (f.count == 0 || n - f.at < f.count)) active.push_back(f);
    }
    return active;
}

FaultTiming ApplyFaults(const std::vector<Fault>& faults, std::vector<std::uint8_t>& reply, std::uint8_t requestAddress,
                        std::uint8_t requestFunction) {
    FaultTiming timing;
    const Fault* shaping = nullptr;  // the first fault that changes the bytes decides them
    for (const Fault& f : faults) {
        if (f.kind == FaultKind::Delay)
            timing.delayMs += f.value >= 0 ? f.value : 1000;
        else if (f.kind == FaultKind::Pause)
            timing.pauseMs += f.value >= 0 ? f.value : 500;
        else if (f.kind != FaultKind::Ignore && !shaping)  // the logger's doing, not the reply's
            shaping = &f;
    }
    const auto pauseHalfWay = [&] {
        if (timing.pauseMs > 0 && reply.size() >= 2) timing.pauseAfter = reply.size() / 2;
        return timing;
    };
    if (!shaping) return pauseHalfWay();
    const int v = shaping->value;
    switch (shaping->kind) {
    case FaultKind::Silent:
        reply.clear();
        break;
    case FaultKind::BadCrc:
        if (reply.empty()) reply = WithCrc({requestAddress, requestFunction, 0});
        reply.back() ^= 0x5A;
        break;
    case FaultKind::Short: {
        std::vector<std::uint8_t> head(reply.begin(), reply.begin() + std::min<std::size_t>(2, reply.size()));
        if (head.size() < 2) head = {requestAddress, requestFunction};
        reply = WithCrc(head);
        break;
    }
    case FaultKind::Long: {
        const std::size_t n = v >= 0 ? static_cast<std::size_t>(v) : 300;
        std::vector<std::uint8_t> body{requestAddress, requestFunction, 0xFF};
        while (body.size() + 2 < n) body.push_back(static_cast<std::uint8_t>(body.size() * 37));
        reply = WithCrc(body);
        reply.resize(n);
        break;
    }
    case FaultKind::Garbage: {
        const std::size_t n = v >= 0 ? static_cast<std::size_t>(v) : 12;
        reply = Noise(n);
        // Noise that happens to carry a valid CRC would be a frame, not noise.
        if (n >= 2 && Crc16(reply.data(), n) == 0) reply.back() ^= 0x01;
        break;
    }
    case FaultKind::Address: {
        if (reply.size() < 3) reply = WithCrc({requestAddress, requestFunction, 0});
        reply.resize(reply.size() - 2);
        reply[0] = static_cast<std::uint8_t>(v >= 0 ? v : 1);
        reply = WithCrc(reply);
        break;
    }
    case FaultKind::Exception:
        reply = WithCrc({requestAddress, static_cast<std::uint8_t>(requestFunction | 0x80),
                         static_cast<std::uint8_t>(v >= 0 ? v : 4)});
        break;
    case FaultKind::Function: {
        if (reply.size() < 3) reply = WithCrc({requestAddress, requestFunction, 0});
        reply.resize(reply.size() - 2);
        reply[1] = static_cast<std::uint8_t>(v >= 0 ? v : 0x07);
        reply = WithCrc(reply);
        break;
    }
    case FaultKind::Cut: {
        // CRC-valid, but its byte count promises more (or less) than it carries.
        if (reply.size() < 5 || reply[1] != 3) break;
        const std::size_t data = reply.size() - 5;
        const std::size_t keep = std::min(v >= 0 ? static_cast<std::size_t>(v) : data / 2, data);
        reply.resize(3 + keep);
        reply = WithCrc(reply);
        break;
    }
    case FaultKind::Trailing: {
        const auto noise = Noise(v >= 0 ? static_cast<std::size_t>(v) : 6);
        reply.insert(reply.end(), noise.begin(), noise.end());
        break;
    }
    case FaultKind::Delay:
    case FaultKind::Ignore:
    case FaultKind::Pause:
        break;
    }
    return pauseHalfWay();
}

}  // namespace quorvex::sim
