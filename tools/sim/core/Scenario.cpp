#include "core/Scenario.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "core/SimClock.h"

namespace quorvex::sim {

namespace {
std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool ToInt(const std::string& s, long long& out, int base = 10) {
    const char* begin = s.data();
    const char* end = s.data() + s.size();
    if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) begin += 2;
    auto [p, ec] = std::from_chars(begin, end, out, base);
    return ec == std::errc() && p == end && begin != end;
}

bool ToDouble(const std::string& s, double& out) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, out);
    return ec == std::errc() && p == end && !s.empty();
}

class Reader {
public:
    explicit Reader(std::string* error) : error_(error) {}

    bool Fail(int line, const std::string& why) {
        *error_ = "line " + std::to_string(line) + ": " + why;
        return false;
    }

    bool Logger(Scenario& s, int line, const std::string& key, const std::string& val) {
        long long n = 0;
        double d = 0;
        auto range = [&](long long lo, long long hi, int base = 10) {
            return ToInt(val, n, base) && n >= lo && n <= hi;
        };
        if (key == "name") {
            s.name = val;
        } else if (key == "type") {
            if (!range(0, 0xFFFF, 16)) return Fail(line, "type needs up to 4 hex digits");
            s.type = static_cast<std::uint16_t>(n);
        } else if (key == "serial") {
            if (!range(0, 0xFFFFFFFFLL, 16)) return Fail(line, "serial needs up to 8 hex digits");
            s.serial = static_cast<std::uint32_t>(n);
        } else if (key == "firmware") {
            long long major = 0, minor = 0;
            const auto dot = val.find('.');
            if (dot == std::string::npos || !ToInt(val.substr(0, dot), major) || !ToInt(val.substr(dot + 1), minor) ||
                major < 0 || major > 255 || minor < 0 || minor > 255)
                return Fail(line, "firmware is major.minor, each 0-255");
            s.firmwareMajor = static_cast<std::uint8_t>(major);
            s.firmwareMinor = static_cast<std::uint8_t>(minor);
        } else if (key == "battery") {
            if (!range(0, 100)) return Fail(line, "battery is 0-100");
            s.battery = static_cast<std::uint8_t>(n);
        } else if (key == "production") {
            const auto t = ParseWall(val);
            if (!t) return Fail(line, "production needs a date YYYY-MM-DD");
            const WallFields f = FieldsFromWall(*t);
            if (f.year > 9999) return Fail(line, "production year has four digits");
            s.productionYear = f.year, s.productionMonth = f.month, s.productionDay = f.day;
        } else if (key == "mode") {
            if (!range(0, 3)) return Fail(line, "mode is 0-3");
            s.mode = static_cast<int>(n);
        } else if (key == "recording" || key == "overwrite") {
            if (!range(0, 1)) return Fail(line, key + " is 0 or 1");
            (key == "recording" ? s.recording : s.overwrite) = n == 1;
        } else if (key == "interval") {
            if (!range(1, 0xFFFFFF)) return Fail(line, "interval is 1 to 16777215 seconds");
            s.interval = static_cast<std::uint32_t>(n);
        } else if (key == "capacity") {
            if (!range(1, 0xFFFFFF)) return Fail(line, "capacity is 1 to 16777215 records");
            s.capacity = static_cast<std::uint32_t>(n);
        } else if (key == "clock") {
            if (val != "now" && !ParseWall(val)) return Fail(line, "clock is now or YYYY-MM-DD HH:MM:SS");
            s.clock = val;
        } else if (key == "start") {
            if (!ValidStart(val)) return Fail(line, "start is auto, now+SECONDS, now-SECONDS or YYYY-MM-DD HH:MM:SS");
            s.start = val;
        } else if (key == "log_counter") {
            if (!range(0, 0xFFFFFFFFLL)) return Fail(line, "log_counter is a 32-bit count");
            s.logCounter = static_cast<std::uint32_t>(n);
        } else if (key == "temp_low" || key == "temp_high" || key == "hum_low" || key == "hum_high" ||
                   key == "temp_correction" || key == "hum_correction") {
            if (!ToDouble(val, d)) return Fail(line, key + " needs a number with a decimal point");
            const bool correction = key.ends_with("correction");
            if (correction && (d < -12.8 || d > 12.7)) return Fail(line, key + " is -12.8 to 12.7");
            if (!correction && (d < -399.9 || d > 399.9)) return Fail(line, key + " is -399.9 to 399.9");
            if (key == "temp_low")
                s.tempLow = d;
            else if (key == "temp_high")
                s.tempHigh = d;
            else if (key == "hum_low")
                s.humLow = d;
            else if (key == "hum_high")
                s.humHigh = d;
            else if (key == "temp_correction")
                s.tempCorrection = d;
            else
                s.humCorrection = d;
        } else {
            return Fail(line, "unknown key '" + key + "' in [logger]");
        }
        return true;
    }

    bool Records(Scenario& s, int line, const std::string& text) {
        const auto eq = text.find('=');
        if (eq != std::string::npos) {
            const std::string key = Trim(text.substr(0, eq)), val = Trim(text.substr(eq + 1));
            long long n = 0;
            double d = 0;
            if (key == "count") {
                if (!ToInt(val, n) || n < 0 || n > 0xFFFFFF) return Fail(line, "count is 0 to 16777215");
                s.recordCount = static_cast<std::uint32_t>(n);
            } else if (key == "seed") {
                if (!ToInt(val, n) || n < 0 || n > 0xFFFFFFFFLL) return Fail(line, "seed is a 32-bit number");
                s.climate.seed = static_cast<std::uint32_t>(n);
            } else if (key == "temp_base" || key == "temp_swing" || key == "hum_base" || key == "hum_swing") {
                if (!ToDouble(val, d)) return Fail(line, key + " needs a number");
                (key == "temp_base"    ? s.climate.tempBase
                 : key == "temp_swing" ? s.climate.tempSwing
                 : key == "hum_base"   ? s.climate.humBase
                                       : s.climate.humSwing) = d;
            } else {
                return Fail(line, "unknown key '" + key + "' in [records]");
            }
            return true;
        }
        std::istringstream in(text);
        std::string a, b, extra;
        in >> a >> b >> extra;
        if (!s.listedRecords) s.listedRecords.emplace();
        long long raw = 0;
        double t = 0, h = 0;
        if (b.empty() && a.size() > 2 && a[0] == '0' && (a[1] == 'x' || a[1] == 'X')) {
            if (!ToInt(a, raw, 16) || raw > 0xFFFFFFFFLL) return Fail(line, "a raw record has up to 8 hex digits");
            s.listedRecords->push_back(static_cast<std::uint32_t>(raw));
            return true;
        }
        if (!extra.empty() || !ToDouble(a, t) || (!b.empty() && !ToDouble(b, h)))
            return Fail(line, "a record is: temperature [humidity], or 0xHHHHHHHH");
        s.listedRecords->push_back(PackMeasurement(t, h));
        return true;
    }

    static bool ValidStart(const std::string& v) {
        if (v == "auto" || ParseWall(v)) return true;
        if (v.size() > 4 && v.starts_with("now") && (v[3] == '+' || v[3] == '-')) {
            long long n = 0;
            return ToInt(v.substr(4), n);
        }
        return false;
    }

private:
    std::string* error_;
};
}  // namespace

std::optional<Scenario> Scenario::Parse(const std::string& text, std::string* error) {
    Scenario s;
    Reader reader(error);
    std::istringstream in(text);
    std::string raw, section;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string t = Trim(raw);
        if (t.empty() || t[0] == '#' || t[0] == ';') continue;
        if (t.front() == '[') {
            if (t.back() != ']') {
                reader.Fail(line, "a section header ends with ']'");
                return std::nullopt;
            }
            section = t.substr(1, t.size() - 2);
            if (section != "logger" && section != "records" && section != "faults") {
                reader.Fail(line, "unknown section [" + section + "] (known: logger, records, faults)");
                return std::nullopt;
            }
            continue;
        }
        bool ok = true;
        if (section == "logger") {
            const auto eq = t.find('=');
            ok = eq == std::string::npos ? reader.Fail(line, "expected key = value")
                                         : reader.Logger(s, line, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1)));
        } else if (section == "records") {
            ok = reader.Records(s, line, t);
        } else if (section == "faults") {
            std::string why;
            auto f = ParseFault(t, &why);
            ok = f ? (s.faults.push_back(*f), true) : reader.Fail(line, why);
        } else {
            ok = reader.Fail(line, "text before the first section");
        }
        if (!ok) return std::nullopt;
    }
    if (s.listedRecords) s.recordCount = static_cast<std::uint32_t>(s.listedRecords->size());
    if (s.recordCount > s.capacity) {
        *error = "more records (" + std::to_string(s.recordCount) + ") than the capacity (" +
                 std::to_string(s.capacity) + ")";
        return std::nullopt;
    }
    s.climate.humidity = (s.type >> 8) == 0x02;
    return s;
}

std::optional<Scenario> Scenario::LoadFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot open " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    auto s = Parse(text.str(), error);
    if (!s) *error = path + ": " + *error;
    return s;
}

}  // namespace quorvex::sim
