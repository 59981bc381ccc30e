// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool monitor: opens the receiver link as the dashboard does and
// prints its status report once a second, like a terminal GPS monitor.

#include <array>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/diagnostics.h"
#include "core/gps/gps_condition.h"
#include "core/gps/gps_scan.h"
#include "core/gps/gps_status_flags.h"
#include "core/gps/sky_satellites.h"
#include "core/nav/angles.h"
#include "core/nav/coordinate_text.h"
#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/track/track_log.h"
#include "tools/json_writer.h"
#include "tools/link_session.h"
#include "tools/talkers_option.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// The dashboard checks the link every 99 of its frames (33 a second).
constexpr std::uint32_t kEnsureOpenMs = 3000;

struct MonitorOptions {
    long port = -1;  // -1: the stored port
    std::string device;
    long baud = 0;     // 0: the stored rate
    long seconds = 0;  // 0: until stopped
};

bool parseOptions(const Invocation& call, MonitorOptions& o) {
    if (call.has("--port") && call.has("--device")) {
        return false;
    }
    o.device = call.value("--device");
    return (!call.has("--device") || !o.device.empty()) &&
           (!call.has("--port") || parseNumber(call.value("--port"), 1, 99, o.port)) &&
           (!call.has("--baud") || parseNumber(call.value("--baud"), 1, 4000000, o.baud)) &&
           (!call.has("--seconds") || parseNumber(call.value("--seconds"), 1, 1000000, o.seconds));
}

// Port failures are never shown by the program; a monitor prints them, on
// stderr. A flood of bytes repeats the same trace thousands of times a second
// ("Buffer overflow!"): a text that repeats the one before is printed at most
// kRepeatsPerSecond times a second, and how many were left out is said before
// the next trace that is printed and at the end.
class TracePrinter {
public:
    static constexpr int kRepeatsPerSecond = 5;

    void trace(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        if (now - windowStart_ >= std::chrono::seconds(1)) {
            windowStart_ = now;
            printedInWindow_ = 0;
        }
        if (text == last_ && printedInWindow_ >= kRepeatsPerSecond) {
            ++leftOut_;
            return;
        }
        flushLocked();
        last_ = text;
        ++printedInWindow_;
        print(text);
    }
    void flush() {
        std::lock_guard<std::mutex> lock(mutex_);
        flushLocked();
    }

private:
    void flushLocked() {
        if (leftOut_ > 0) {
            print(cformat("%ld more of the same left out", leftOut_));
            leftOut_ = 0;
        }
    }
    static void print(const std::string& text) {
        std::string line = text;
        for (char& c : line) {
            if (c == '\n') {
                c = ' ';
            }
        }
        std::fprintf(stderr, "trace: %s\n", line.c_str());
    }

    std::mutex mutex_;
    std::string last_;
    std::chrono::steady_clock::time_point windowStart_;
    int printedInWindow_ = 0;
    long leftOut_ = 0;
};

TracePrinter tracePrinter;

void traceToStderr(const std::string& text) {
    tracePrinter.trace(text);
}

// The satellites in view as the decoder publishes them for the sky view (the
// union of every talker's GSV groups), counted by constellation.
std::array<int, kConstellationCount> countByConstellation(const SkySatellites& sky) {
    std::array<int, kConstellationCount> count{};
    for (int i = 0; i < sky.count; ++i) {
        ++count[static_cast<std::size_t>(sky.records[static_cast<std::size_t>(i)].constellation)];
    }
    return count;
}

std::string satellitesText(const SkySatellites& sky) {
    const std::array<int, kConstellationCount> count = countByConstellation(sky);
    std::string out =
        cformat("Satellites in view: %d (%d with signal):", sky.count, sky.withSignal());
    for (std::size_t c = 0; c < count.size(); ++c) {
        if (count[c] > 0) {
            out += cformat(" %s %d", constellationName(static_cast<Constellation>(c)), count[c]);
        }
    }
    return out + "\n";
}

// One report as JSON, in SI units (degrees, metres, metres per second); the
// position is null without a valid one.
std::string reportJson(long report, GpsLink& link, const std::string& device) {
    const GpsState& st = link.state();
    const GpsStatistics& stats = link.decoder().statistics();
    const TrackLog* track = link.decoder().trackLog();
    const bool valid = st.has(GpsStatusFlags::PositionValid);
    const auto position = [&](double v) { return valid ? std::optional(v) : std::nullopt; };
    JsonObject json;
    json.add("class", "REPORT").add("report", std::int64_t{report});
    json.add("port", link.portNumber()).add("device", device);
    json.add("condition", conditionText(link.decoder().condition()));
    json.add("fix", st.has(GpsStatusFlags::Fix3D)   ? "3d"
                    : st.has(GpsStatusFlags::Fix2D) ? "2d"
                                                    : "none");
    json.add("latitude", position(st.latitude * kRadToDeg));
    json.add("longitude", position(st.longitude * kRadToDeg));
    json.add("altitude", st.altitude).add("speed", st.speed).add("course", st.course);
    json.add("pdop", st.pdop).add("hdop", st.hdop).add("vdop", st.vdop);
    json.add("satellites_used", st.satellitesUsed).add("satellites_gga", st.satellitesGga);
    json.add("satellites_in_view", st.satellites.count);
    json.add("satellites_with_signal", st.satellites.withSignal());
    const std::array<int, kConstellationCount> count = countByConstellation(st.satellites);
    JsonObject constellations;
    for (std::size_t c = 0; c < count.size(); ++c) {
        if (count[c] > 0) {
            constellations.add(constellationName(static_cast<Constellation>(c)), count[c]);
        }
    }
    json.addJson("constellations", constellations.text());
    json.add("symbols", stats.acceptedSymbols + stats.ignoredSymbols);
    json.add("refreshes", stats.totalRefreshes);
    json.add("track_points", track ? track->count() : 0);
    json.add("dated_points", track ? track->datedCount() : 0);
    json.add("state", std::int64_t{static_cast<std::int32_t>(st.flags)});
    return json.text() + "\n";
}

void print(const std::string& text) {
    writeTerminalText(text);
}

}  // namespace

int runMonitor(const Invocation& call) {
    MonitorOptions options;
    if (!parseOptions(call, options)) {
        return usageError(call);
    }
    LinkSession session;
    session.start();
    session.diagnostics().setTraceSink(traceToStderr);
    GpsLink& link = session.link();
    // As at start-up: the stored line settings, talkers and warm-start data.
    loadDriverSetting(link);
    link.loadTalkerSetting();
    if (call.has("--talkers")) {
        link.decoder().setTalkers(talkersOf(call));
    }
    {
        DoubleSetting lastLat(session.settings(), "LastLat", false, kNoPosition);
        DoubleSetting lastLong(session.settings(), "LastLong", false, kNoPosition);
        IntSetting warmStart(session.settings(), "WarmStart", true, 1);
        for (DoubleSetting* position : {&lastLat, &lastLong}) {
            position->load();
        }
        warmStart.load();
        link.state().latitude = lastLat;
        link.state().longitude = lastLong;
        link.loadWarmStart(lastLat, lastLong, warmStart);
        for (DoubleSetting* position : {&lastLong, &lastLat}) {
            session.diagnostics().traceFailure(position->save());
        }
    }
    if (options.port > 0) {
        link.setPortNumber(static_cast<int>(options.port));
    }
    if (!options.device.empty()) {
        PortMap map(session.settings().registry);
        map.setDevice(link.portNumber(), options.device);
        link.setPortMap(map);
    }
    if (options.baud > 0) {
        const LineSettings& s = link.lineSettings();
        link.setLineSettings(static_cast<int>(options.baud), s.dataBits, s.stopBits, s.parity);
    }
    std::string device = link.portMap().device(link.portNumber());
    bool everOpen = link.ensureLinkOpen(-1);
    if (!everOpen) {
        std::string problem = link.serialPort()->openProblem();
        std::fprintf(
            stderr,
            "wayplot2-tool: the GPS receiver could not be started (port %d, %s); retrying\n%s%s",
            link.portNumber(), device.empty() ? "no device" : device.c_str(), problem.c_str(),
            problem.empty() ? "" : "\n");
    }
    LinkSession::catchStopSignals();
    TimerQueue& timers = session.timers();
    long reports = 0;
    timers.start(1000, [&] {
        ++reports;
        // How the port is read: a device, or a device through gpsd, or a network source.
        if (link.serialPort()->isOpen()) {
            device = link.serialPort()->describe();
        }
        if (call.has("--json")) {
            print(reportJson(reports, link, device));
            return;
        }
        std::string position;
        if (link.state().has(GpsStatusFlags::PositionValid)) {
            position = cformat("Position: %.7f %.7f\n", link.state().latitude * kRadToDeg,
                               link.state().longitude * kRadToDeg);
        }
        print(cformat("--- %ld s, port %d (%s)\n", reports, link.portNumber(), device.c_str()) +
              link.decoder().statusReport() + position + satellitesText(link.state().satellites) +
              "\n");
    });
    timers.start(kEnsureOpenMs, [&] { everOpen = link.ensureLinkOpen(-1) || everOpen; });
    while (!LinkSession::stopRequested() && (options.seconds == 0 || reports < options.seconds)) {
        timers.runFor(50);
    }
    link.stop();
    session.diagnostics().setTraceSink({});
    tracePrinter.flush();
    session.finish();
    return everOpen ? kExitOk : kExitFailure;
}

}  // namespace wp2::tool
