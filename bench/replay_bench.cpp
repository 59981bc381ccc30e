// SPDX-License-Identifier: GPL-3.0-or-later
// Replay of an NMEA log through the receive buffer and the decoders, the way
// `wayplot2-tool replay` runs it: 4096-byte blocks, one refresh after each.
// Items are NMEA lines. BM_ReplayLog/0 reads any talker, /1 the GPS talker only.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "core/base/clock.h"
#include "core/gps/gps_decoder.h"
#include "core/gps/nmea_replay.h"
#include "core/settings/memory_registry.h"
#include "core/settings/settings_store.h"
#include "core/track/track_log.h"

namespace {

std::string sentence(const std::string& body) {
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum ^= c;
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

std::string degMin(double value, int degreeDigits) {
    double a = std::fabs(value);
    int d = static_cast<int>(a);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f", degreeDigits, d, (a - d) * 60.0);
    return text;
}

// 1 Hz epochs of RMC, GGA, GSA and three GSV for a receiver on the move.
std::string makeLog(int lines) {
    std::string log;
    double lat = 52.37;
    double lon = 4.91;
    double heading = 30.0;
    for (int t = 0, n = 0; n < lines; ++t) {
        char hms[16];
        std::snprintf(hms, sizeof hms, "%02d%02d%02d.00", t / 3600 % 24, t / 60 % 60, t % 60);
        double knots = 12.0 + 4.0 * std::sin(t / 300.0);
        heading = std::fmod(heading + 0.7 * std::sin(t / 90.0) + 360.0, 360.0);
        double step = knots * 0.514444 / 111320.0;
        lat += step * std::cos(heading * 0.0174533);
        lon += step * std::sin(heading * 0.0174533) / std::cos(lat * 0.0174533);
        char rest[64];
        std::snprintf(rest, sizeof rest, "%.1f,%.1f,010124,,,A", knots, heading);
        std::string pos = degMin(lat, 2) + ",N," + degMin(lon, 3) + ",E";
        const std::string epoch[] = {
            sentence(std::string("GPRMC,") + hms + ",A," + pos + "," + rest),
            sentence(std::string("GPGGA,") + hms + "," + pos + ",1,08,0.9,12.5,M,46.9,M,,"),
            sentence("GPGSA,A,3,04,05,09,12,17,24,25,29,,,,,1.8,0.9,1.5"),
            sentence("GPGSV,3,1,11,04,43,072,44,05,17,287,39,09,08,169,35,12,74,242,45"),
            sentence("GPGSV,3,2,11,17,39,125,41,24,22,051,38,25,52,301,43,29,11,318,33"),
            sentence("GPGSV,3,3,11,02,05,214,,10,03,023,,31,14,095,30"),
        };
        for (const std::string& s : epoch) {
            if (n++ < lines) {
                log += s;
            }
        }
    }
    return log;
}

// A decoder whose track log has the default filter, kept away from any settings
// or autosave file on the machine.
std::unique_ptr<wp2::GpsDecoder> makeDecoder(wp2::Clock& clock) {
    static wp2::MemoryRegistry settings;
    wp2::SettingsStore store(settings);
    (void)store.writeNumber("TrackState", wp2::TrackState::Default & ~(wp2::TrackState::AutoLoad |
                                                                       wp2::TrackState::AutoSave));
    (void)store.writeNumber("TrackStraightThreshold", 4000);
    (void)store.writeNumber("TrackParkingThreshold", 1500);
    (void)store.writeNumber("TrackWidth", 2000);
    auto track = std::make_unique<wp2::TrackLog>();
    track->start(settings);  // the options above
    return std::make_unique<wp2::GpsDecoder>(clock, std::move(track));
}

constexpr int kLines = 60000;

void BM_ReplayLog(benchmark::State& state) {
    const std::string log = makeLog(kLines);
    wp2::ManualClock clock(1700000000);
    for (auto _ : state) {
        auto decoder = makeDecoder(clock);
        decoder->setTalkers(state.range(0) == 0 ? wp2::Talkers::Any : wp2::Talkers::GpsOnly);
        wp2::NmeaReplay replay(*decoder);
        replay.feed(log);
        benchmark::DoNotOptimize(decoder->statistics().validSentences);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_ReplayLog)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Only the receive buffer: append in blocks and cut every line.
void BM_ReceiveBufferCut(benchmark::State& state) {
    const std::string log = makeLog(kLines);
    const auto* bytes = reinterpret_cast<const unsigned char*>(log.data());
    for (auto _ : state) {
        wp2::ReceiveBuffer buffer;
        wp2::GpsStatistics stats;
        std::string line;
        for (std::size_t at = 0; at < log.size(); at += wp2::NmeaReplay::kBlockSize) {
            buffer.append(bytes + at, std::min(wp2::NmeaReplay::kBlockSize, log.size() - at));
            while (buffer.takeLine(stats, line)) {
                benchmark::DoNotOptimize(line.data());
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ReceiveBufferCut)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
