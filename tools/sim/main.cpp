// quorvex-sim: stands in for the logger on a pseudo-terminal.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "PtyServer.h"
#include "core/Scenario.h"
#include "core/SimClock.h"
#include "core/SimLogger.h"

using namespace quorvex::sim;

namespace {
const char* kUsage =
    "usage: quorvex-sim --link PATH [options]\n"
    "Serves a simulated logger (Modbus RTU slave, 9600 8N1) on a new pseudo-terminal and makes\n"
    "PATH a symbolic link to it. Stops on Ctrl+C, SIGTERM or a \"quit\" line on stdin.\n"
    "\n"
    "  --link PATH        the link to create (a stale link is replaced, other files are not)\n"
    "  --scenario FILE    the logger to play (default: the built-in humidity logger)\n"
    "  --records N        generate N records instead of the scenario's\n"
    "  --type HEX         device type, e.g. 0101 (temperature only) or 0201 (with humidity)\n"
    "  --clock DATETIME   set the logger clock at start, \"YYYY-MM-DD HH:MM:SS\" (default: local time)\n"
    "  --no-pacing        reply at once instead of at the speed of a 9600 baud line\n"
    "  --baud N           pace replies for this line speed (default 9600)\n"
    "  --fault FAULT      add a fault, e.g. \"silent at=3\", \"badcrc at=2 count=2\",\n"
    "                     \"delay at=1 ms=2000\", \"exception at=1 register=144 code=4\";\n"
    "                     kinds: silent badcrc short long garbage address exception delay cut\n"
    "                     function trailing pause ignore\n"
    "  --verbose          log every request and reply on stderr\n"
    "  --help             this text\n";

bool ToInt(const std::string& s, long long& out, int base = 10) {
    const char* begin = s.data();
    if (base == 16 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) begin += 2;
    auto [p, ec] = std::from_chars(begin, s.data() + s.size(), out, base);
    return ec == std::errc() && p == s.data() + s.size() && begin != p;
}

int Fail(const std::string& why) {
    std::fprintf(stderr, "quorvex-sim: %s\n%s", why.c_str(), kUsage);
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    PtyOptions pty;
    std::string scenarioPath, clock;
    std::optional<long long> records, type;
    std::vector<Fault> faults;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--link") {
            if (!value(pty.link) || pty.link.empty()) return Fail("--link needs a path");
        } else if (a == "--scenario") {
            if (!value(scenarioPath)) return Fail("--scenario needs a file");
        } else if (a == "--records") {
            if (!value(v) || !ToInt(v, n) || n < 0 || n > 0xFFFFFF)
                return Fail("--records needs a count 0 to 16777215");
            records = n;
        } else if (a == "--type") {
            if (!value(v) || !ToInt(v, n, 16) || n < 0 || n > 0xFFFF) return Fail("--type needs up to 4 hex digits");
            type = n;
        } else if (a == "--clock") {
            if (!value(clock) || !ParseWall(clock)) return Fail("--clock needs \"YYYY-MM-DD HH:MM:SS\"");
        } else if (a == "--no-pacing") {
            pty.baud = 0;
        } else if (a == "--baud") {
            if (!value(v) || !ToInt(v, n) ||
                (n != 1200 && n != 2400 && n != 4800 && n != 9600 && n != 19200 && n != 38400 && n != 57600 &&
                 n != 115200))
                return Fail("--baud needs a standard line speed");
            pty.baud = static_cast<int>(n);
        } else if (a == "--fault") {
            std::string why;
            if (!value(v)) return Fail("--fault needs a description");
            auto f = ParseFault(v, &why);
            if (!f) return Fail("--fault \"" + v + "\": " + why);
            faults.push_back(*f);
        } else if (a == "--verbose" || a == "-v") {
            pty.verbose = true;
        } else {
            return Fail("unknown option " + a);
        }
    }
    if (pty.link.empty()) return Fail("--link PATH is required");

    Scenario scenario;
    if (!scenarioPath.empty()) {
        std::string why;
        auto loaded = Scenario::LoadFile(scenarioPath, &why);
        if (!loaded) {
            std::fprintf(stderr, "quorvex-sim: %s\n", why.c_str());
            return 2;
        }
        scenario = *loaded;
    }
    if (records) {
        scenario.listedRecords.reset();
        scenario.recordCount = static_cast<std::uint32_t>(*records);
        if (scenario.recordCount > scenario.capacity) scenario.capacity = scenario.recordCount;
    }
    if (type) scenario.type = static_cast<std::uint16_t>(*type);
    if (!clock.empty()) scenario.clock = clock;
    scenario.faults.insert(scenario.faults.end(), faults.begin(), faults.end());

    InstallStopSignals();
    SimLogger logger(scenario);
    PtyServer server(logger, pty);
    std::string why;
    if (!server.Open(&why)) {
        std::fprintf(stderr, "quorvex-sim: %s\n", why.c_str());
        return 1;
    }
    std::printf("%s\n", pty.link.c_str());
    std::printf("quorvex-sim: logger type %04X with %zu records on %s -> %s, %s; Ctrl+C or \"quit\" stops it\n",
                scenario.type, logger.Records().size(), pty.link.c_str(), server.SlavePath().c_str(),
                pty.baud > 0 ? (std::to_string(pty.baud) + " baud pacing").c_str() : "no pacing");
    for (const Fault& f : logger.Faults().Faults()) std::printf("quorvex-sim: fault %s\n", DescribeFault(f).c_str());
    std::fflush(stdout);
    return server.Run();
}
