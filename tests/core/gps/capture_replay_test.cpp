// SPDX-License-Identifier: GPL-3.0-or-later
// Real receiver captures through the replay path. Every capture must replay
// cleanly (the sanitizer build runs this too), the line cutting must find
// every valid sentence, and the RMC and GGA positions must agree with the
// fixes gpsd reported for the same captures (its .chk files) within 2e-5
// degrees and find at least 95% of them, apart from the differences named below.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/gps/nmea_checksum.h"
#include "core/gps/nmea_replay.h"
#include "core/nav/angles.h"
#include "gps_test_support.h"

namespace wp2 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TestDecoder;

constexpr double kTolerance = 2e-5;  // degrees
constexpr long long kSecond = 1000;  // milliseconds

struct Row {
    bool rmc;
    bool subSecondRmc;  // the RMC time field carried a fraction of a second
    long long todMs;    // time of day of the point
    double lat;         // degrees
    double lon;
};

using Fix = Row;  // a gpsd fix: time and position

// Milliseconds of the day from "hhmmss[.sss]" (or "hh:mm:ss.sss" at `at`).
long long timeOfDayMs(const std::string& t, std::size_t at = 0, std::size_t step = 2) {
    return std::llround((std::atoi(t.substr(at, 2).c_str()) * 3600.0 +
                         std::atoi(t.substr(at + step, 2).c_str()) * 60.0 +
                         std::strtod(t.c_str() + at + 2 * step, nullptr)) *
                        1000.0);
}

// One row per fix offered to the track log, completed when its sentence ends.
class Rows final : public FixObserver {
public:
    void fixOffered(const TrackPoint& p, bool) override {
        const GpsDateTime& t = p.time;
        rows.push_back({false, false,
                        std::llround((t.hour * 3600.0 + t.minute * 60.0 + t.seconds) * 1000.0),
                        p.latitude * kRadToDeg, p.longitude * kRadToDeg});
        pending_ = true;
    }
    void sentenceApplied(std::string_view line) override {
        if (std::exchange(pending_, false) && line.substr(3, 3) == "RMC") {
            rows.back().rmc = true;
            const std::string_view time = line.substr(7, line.find(',', 7) - 7);
            rows.back().subSecondRmc =
                time.size() > 7 && time.find_first_not_of('0', 7) != time.npos;
        }
    }
    std::vector<Row> rows;

private:
    bool pending_ = false;
};

// The fixes gpsd reported (TPV with time and position) that the program is
// expected to find as well: those at a time the receiver sent in an RMC or
// GGA sentence the decoding reads (gpsd also stamps fixes from GLL, GNS and
// the like), and only after the first GSA that reported a fix (an RMC counts
// only from then on; gpsd takes it at once).
struct GpsdFixes {
    std::vector<Fix> all;          // every fix with a time and a position
    std::set<long long> expected;  // the times of those to be found
};

GpsdFixes gpsdFixes(const std::string& chkPath, Talkers talkers) {
    GpsdFixes fixes;
    std::set<long long> sentTimes;
    bool gsaFix = false;
    std::string text = readFile(chkPath);
    for (std::size_t at = 0, end = 0; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const bool read = talkers == Talkers::Any || line.compare(1, 2, "GP") == 0;
        const std::string type = line.size() > 6 ? line.substr(3, 3) : "";
        const std::string time = type.empty() ? "" : line.substr(7, line.find(',', 7) - 7);
        if (line[0] == '$' && read && (type == "RMC" || type == "GGA") && time.size() >= 6) {
            sentTimes.insert(timeOfDayMs(time));
        }
        gsaFix = gsaFix || (line[0] == '$' && read && type == "GSA" &&
                            (line.compare(9, 1, "2") == 0 || line.compare(9, 1, "3") == 0));
        const std::size_t t = line.find("\"time\":\"");
        const std::size_t la = line.find("\"lat\":");
        const std::size_t lo = line.find("\"lon\":");
        if (line.rfind("{\"class\":\"TPV\"", 0) != 0 || t == std::string::npos ||
            la == std::string::npos || lo == std::string::npos) {
            continue;
        }
        const long long tod = timeOfDayMs(line, t + 8 + 11, 3);  // "YYYY-MM-DDTHH:MM:SS.sssZ"
        fixes.all.push_back({false, false, tod, std::strtod(line.c_str() + la + 6, nullptr),
                             std::strtod(line.c_str() + lo + 6, nullptr)});
        if (gsaFix && sentTimes.count(tod)) {
            fixes.expected.insert(tod);
        }
    }
    return fixes;
}

// Valid sentences in a capture, counted from its bytes alone: each line from
// its first "$" on, at most 300 characters, with a correct checksum.
int countValidSentences(const std::string& bytes) {
    int valid = 0;
    for (std::size_t at = 0, end = 0; (end = bytes.find_first_of("\r\n", at)) != bytes.npos;
         at = end + 1) {
        const std::string line = bytes.substr(at, end - at);
        const std::string_view sentence =
            std::string_view(line).substr(std::min(line.find('$'), line.size()));
        valid += !sentence.empty() && sentence.size() <= 300 &&
                 nmeaChecksum(sentence) == NmeaChecksum::Valid;
    }
    return valid;
}

struct Replayed {
    std::vector<Row> rows;
    GpsStatistics stats;
};

Replayed replay(const std::string& path, Talkers talkers = Talkers::Any) {
    TestDecoder t(talkers);
    Rows rows;
    t.decoder.setFixObserver(&rows);
    NmeaReplay replay(t.decoder);
    std::string error;
    EXPECT_TRUE(replay.replayFile(path, error)) << path << ": " << error;
    t.decoder.setFixObserver(nullptr);
    return {rows.rows, t.decoder.statistics()};
}

std::vector<std::string> capturesIn(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(test::dataFile(folder))) {
        std::string ext = entry.path().extension().string();
        if (ext == ".log" || ext == ".nmea") {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(CaptureReplayTest, EveryCaptureReplaysAndYieldsEveryValidSentence) {
    int captures = 0;
    for (const char* folder : {"nmea/gpsd", "nmea/multignss", "nmea/long"}) {
        for (const std::string& path : capturesIn(folder)) {
            SCOPED_TRACE(path);
            Replayed r = replay(path);
            EXPECT_EQ(r.stats.validSentences, countValidSentences(readFile(path)));
            ++captures;
        }
    }
    EXPECT_EQ(captures, 35);
    // Both long drives send RMC and GGA every second with a fix throughout.
    Replayed leaflet = replay(test::dataFile("nmea/long/leaflet-nmealayer-test.nmea"));
    Replayed signalk = replay(test::dataFile("nmea/long/signalk-gps.log"));
    EXPECT_EQ(leaflet.stats.rmcSentences, 360);
    EXPECT_EQ(signalk.stats.rmcSentences, 1201);
    EXPECT_GE(leaflet.rows.size(), 2u * 350);
    EXPECT_GE(signalk.rows.size(), 2u * 1190);
}

// Whether gpsd has a fix with a time in [from, to) that agrees with the position.
bool agrees(const std::vector<Fix>& fixes, long long from, long long to, double lat, double lon,
            std::set<long long>* found = nullptr) {
    bool any = false;
    for (const Fix& f : fixes) {
        if (f.todMs >= from && f.todMs < to && std::fabs(lat - f.lat) <= kTolerance &&
            std::fabs(lon - f.lon) <= kTolerance) {
            any = true;
            if (found) {
                found->insert(f.todMs);
            }
        }
    }
    return any;
}

TEST(CaptureReplayTest, PositionsAgreeWithGpsdAndFindItsFixes) {
    for (Talkers talkers : {Talkers::Any, Talkers::GpsOnly}) {
        std::size_t compared = 0;
        for (const char* folder : {"nmea/gpsd", "nmea/multignss"}) {
            for (const std::string& path : capturesIn(folder)) {
                const std::string name = fs::path(path).stem().string();
                SCOPED_TRACE(name + (talkers == Talkers::Any ? " any" : " gp"));
                const GpsdFixes gpsd = gpsdFixes(path + ".chk", talkers);
                const std::vector<Fix>& fixes = gpsd.all;
                const std::vector<Row> rows = replay(path, talkers).rows;
                // A capture in which gpsd found fixes must yield rows, whatever it expects.
                EXPECT_TRUE(talkers == Talkers::GpsOnly || rows.empty() == fixes.empty());
                std::set<long long> found;
                int unreported = 0;
                for (const Row& r : rows) {
                    const long long t = r.todMs;
                    // RMC keeps whole seconds: with fractions in its time field
                    // its row is compared with gpsd's fix within the second.
                    const long long span = r.subSecondRmc ? kSecond : 1;
                    if (agrees(fixes, t, t + span, r.lat, r.lon, &found)) {
                        continue;
                    }
                    // The B&G Zeus2 chartplotter repeats each GGA position in the
                    // next second's RMC and GLL, and garmin48's GLL runs a second
                    // off its RMC and GGA: gpsd stamps such epochs with the time
                    // of the last sentence, a second before or after.
                    if ((name == "bundg_zeus_9" || name == "garmin48") &&
                        (agrees(fixes, t - kSecond, t - kSecond + 1, r.lat, r.lon, &found) ||
                         agrees(fixes, t + kSecond, t + kSecond + 1, r.lat, r.lon, &found))) {
                        continue;
                    }
                    // bt451 and bundg_zeus_9 send RMC and GGA of one second with
                    // different positions; gpsd's fix carries the GGA one.
                    if (r.rmc && (name == "bt451" || name == "bundg_zeus_9") &&
                        std::any_of(rows.begin(), rows.end(), [&](const Row& g) {
                            return !g.rmc && g.todMs / kSecond == t / kSecond &&
                                   agrees(fixes, g.todMs, g.todMs + 1, g.lat, g.lon);
                        })) {
                        continue;
                    }
                    // gpsd reports nothing for some epochs: the first ones (it is
                    // still learning the receiver's cycle), the half-second epochs
                    // of bt451. Rows of such an epoch cannot be compared.
                    if (std::none_of(fixes.begin(), fixes.end(), [&](const Fix& f) {
                            return f.todMs >= t && f.todMs < t + span;
                        })) {
                        ++unreported;
                        continue;
                    }
                    ADD_FAILURE() << (r.rmc ? "RMC" : "GGA") << " at " << t << " ms: " << r.lat
                                  << ", " << r.lon << " has no agreeing gpsd fix";
                }
                EXPECT_LE(unreported, 3);
                std::size_t expectedFound = 0;
                for (long long time : gpsd.expected) {
                    expectedFound += found.count(time);
                }
                EXPECT_GE(expectedFound * 100, gpsd.expected.size() * 95)
                    << expectedFound << " of gpsd's " << gpsd.expected.size() << " fixes found";
                compared += expectedFound;
            }
        }
        EXPECT_GE(compared, talkers == Talkers::Any ? 800u : 385u);
    }
}

}  // namespace
}  // namespace wp2
