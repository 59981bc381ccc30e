// wayplot2-tool monitor: opens the receiver link as the dashboard does and
// prints its status report once a second, like a terminal GPS monitor.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/trace.h"
#include "core/gps/gps_scan.h"
#include "core/settings/creg_double.h"
#include "core/settings/creg_int.h"
#include "tools/link_session.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

int runMonitor(const std::vector<std::string>& args);
extern const Command kMonitorCommand{
    "monitor", "monitor [--port N | --device PATH] [--baud B] [--seconds S] [--talkers any|gp]",
    runMonitor};

namespace {

// The dashboard checks the link every 99 of its frames (33 a second).
constexpr std::uint32_t kEnsureOpenMs = 3000;

struct MonitorOptions {
    long port = -1;  // -1: the stored port
    std::string device;
    long baud = 0;     // 0: the stored rate
    long seconds = 0;  // 0: until stopped
};

bool parseOptions(const std::vector<std::string>& args, MonitorOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) {
            return false;
        }
        const std::string& v = args[++i];
        if (a == "--port" && o.device.empty()) {
            if (!parseNumber(v, 1, 99, o.port)) {
                return false;
            }
        } else if (a == "--device" && o.port == -1 && !v.empty()) {
            o.device = v;
        } else if (a == "--baud") {
            if (!parseNumber(v, 1, 4000000, o.baud)) {
                return false;
            }
        } else if (a == "--seconds") {
            if (!parseNumber(v, 1, 1000000, o.seconds)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

// Port failures are never shown by the program; a monitor prints them.
void traceToStderr(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\n') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "trace: %s\n", line.c_str());
}

void print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int runMonitor(const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    std::optional<Talkers> talkers;
    Talkers chosen = Talkers::Any;
    const std::size_t given = args.size();
    if (!takeTalkersOption(args, chosen)) {
        return usageError(kMonitorCommand);
    }
    if (args.size() != given) {
        talkers = chosen;
    }
    MonitorOptions options;
    if (!parseOptions(args, options)) {
        return usageError(kMonitorCommand);
    }
    LinkSession session;
    TraceHook previousHook = setTraceHook(traceToStderr);
    GpsLink& link = session.link();
    // As at start-up: the stored line settings, talkers and warm-start data.
    loadDriverSetting(link);
    link.loadTalkerSetting();
    if (talkers) {
        link.setTalkers(*talkers);
    }
    {
        CRegDouble lastLat("LastLat", false, 10.0);
        CRegDouble lastLong("LastLong", false, 10.0);
        CRegInt warmStart("WarmStart", true, 1);
        link.state().latitude = lastLat;
        link.state().longitude = lastLong;
        link.loadWarmStart(lastLat, lastLong, warmStart);
    }
    if (options.port > 0) {
        link.setPortNumber(static_cast<int>(options.port));
    }
    if (!options.device.empty()) {
        PortMap map;
        map.setDevice(link.portNumber(), options.device);
        link.setPortMap(map);
    }
    if (options.baud > 0) {
        const LineSettings& s = link.lineSettings();
        link.setLineSettings(static_cast<int>(options.baud), s.dataBits, s.stopBits, s.parity);
    }
    const std::string device = link.portMap().device(link.portNumber());
    bool everOpen = link.ensureLinkOpen(-1);
    if (!everOpen) {
        std::fprintf(stderr, "wayplot2-tool: GPS is not started ! (port %d, %s); retrying\n",
                     link.portNumber(), device.empty() ? "no device" : device.c_str());
    }
    LinkSession::catchStopSignals();
    TimerQueue& timers = session.timers();
    long reports = 0;
    timers.start(1000, [&] {
        ++reports;
        print(cformat("--- %ld s, port %d (%s)\r\n", reports, link.portNumber(), device.c_str()) +
              link.statusReport() +
              cformat("Satellites in view: %d (%s)\r\n", link.state().satellites.count,
                      link.state().satellites.summary().c_str()) +
              "\r\n");
    });
    timers.start(kEnsureOpenMs, [&] { everOpen = link.ensureLinkOpen(-1) || everOpen; });
    while (!LinkSession::stopRequested() && (options.seconds == 0 || reports < options.seconds)) {
        timers.runFor(50);
    }
    link.stop();
    setTraceHook(previousHook);
    return everOpen ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
