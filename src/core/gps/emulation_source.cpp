// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/emulation_source.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/base/cformat.h"
#include "core/base/paths.h"
#include "core/gps/gps_link.h"
#include "core/nav/angles.h"
#include "core/track/track_point.h"

namespace wp2 {

namespace {

constexpr double kSpeedTable[5] = {1.0, 0.0, 0.0, 2.0, 1.0};
constexpr double kPdopTable[5] = {50.0, 30.0, 20.0, 5.5, 1.2};
// Both emulated fix bits: 0x100 (a fix, which the track map follows) and
// 0x20 (3D).
constexpr std::uint32_t kEmulatedStatus = 0x120;

// Reads up to `count` numbers separated by single commas, as
// "%lf,%lf,..." would: stops at the first number or comma that is missing.
// Returns how many numbers were read.
int readNumbers(const char* text, double* out, int count) {
    int n = 0;
    while (n < count) {
        if (n > 0) {
            if (*text != ',') {
                break;
            }
            ++text;
        }
        std::size_t used = cparseDouble(text, out[n]);
        if (used == 0) {
            break;
        }
        text += used;
        ++n;
    }
    return n;
}

// Truncates towards zero into the int range (NaN gives 0).
int truncatedInt(double v) {
    if (!(v == v)) {
        return 0;
    }
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(v < lo ? lo : (v > hi ? hi : v)));
}

}  // namespace

EmulationSource::EmulationSource(NavSnapshot& snapshot) : snapshot_(snapshot) {}

EmulationSource::~EmulationSource() {
    if (snapshot_.emulationFile == file_) {
        snapshot_.emulationFile = nullptr;
    }
    if (snapshot_.emulationTrack == track_.get()) {
        snapshot_.emulationTrack = nullptr;
    }
    if (file_) {
        std::fclose(file_);
    }
}

Result<> EmulationSource::open(const std::string& path) {
    if (file_) {
        std::fclose(file_);
        snapshot_.emulationFile = nullptr;
    }
    const std::string mapped = Paths::map(path);
    file_ = std::fopen(mapped.c_str(), "r");
    const int error = errno;
    snapshot_.emulationFile = file_;
    if (!track_) {
        track_ = std::make_unique<TrackLog>(kEmulationAutosavePath);
    }
    snapshot_.emulationTrack = track_.get();
    if (!file_) {
        return fail(systemFailure("open the emulation data " + mapped, error));
    }
    return {};
}

double EmulationSource::speedAt(std::uint32_t tick) {
    return kSpeedTable[(tick / 300) % 5];
}

double EmulationSource::pdopAt(std::uint32_t tick) {
    return kPdopTable[(tick / 150) % 5];
}

bool EmulationSource::readLine(std::string& line) {
    std::vector<char> buf(kLineLength);
    if (!std::fgets(buf.data(), kLineLength, file_)) {
        // The end: replay from the start.
        std::rewind(file_);
        if (!std::fgets(buf.data(), kRewindLineLength, file_)) {
            return false;
        }
    }
    line = buf.data();
    return true;
}

void EmulationSource::applyHead(const char* line) {
    // Only the values this line holds change; the position is converted from
    // degrees only when it came from the line.
    double v[5];
    int n = readNumbers(line, v, 5);
    double* fields[5] = {&snapshot_.latitude, &snapshot_.longitude, &snapshot_.altitude,
                         &snapshot_.speed, &snapshot_.course};
    for (int i = 0; i < n; ++i) {
        *fields[i] = v[i];
    }
    if (n >= 1) {
        snapshot_.latitude *= kDegToRad;
    }
    if (n >= 2) {
        snapshot_.longitude *= kDegToRad;
    }
}

bool EmulationSource::applySatellites(const char* line) {
    snapshot_.satellitesWithSignal = 0;
    snapshot_.satellitesInView = 0;
    // The first search starts at the line's second character.
    const char* from = line[0] ? line + 1 : line;
    for (int i = 1; i <= kSatellites; ++i) {
        const char* star = std::strchr(from, '*');
        if (!star) {
            return false;
        }
        from = star + 1;
        double v[3] = {0.0, 0.0, 0.0};
        readNumbers(from, v, 3);
        SkySatellite& sky = snapshot_.satellites[static_cast<std::size_t>(i - 1)];
        sky.prn = i;
        sky.constellation = Constellation::Gps;
        sky.snr = truncatedInt(v[0]);
        sky.elevation = v[1];
        sky.azimuth = v[2];
        ++snapshot_.satellitesInView;
        if (v[0] > 0) {
            ++snapshot_.satellitesWithSignal;
        }
    }
    return true;
}

Result<> EmulationSource::refresh(std::uint32_t tick) {
    std::string line;
    if (!file_ || !readLine(line)) {
        return {};
    }
    const double heldCourse = snapshot_.course;
    applyHead(line.c_str());
    snapshot_.speed = speedAt(tick);
    if (snapshot_.speed < NavSnapshot::kCourseSpeed) {
        snapshot_.course = heldCourse;
    }
    snapshot_.fixLevel = 4;
    snapshot_.status |= kEmulatedStatus;
    snapshot_.pdop = pdopAt(tick);
    if (!applySatellites(line.c_str())) {
        return fail("read the emulation data", kBadFormatText);
    }
    // Only the first two satellites are shown as in view.
    snapshot_.satellitesInView = 2;
    TrackPoint point =
        pointFromPosition(snapshot_.latitude, snapshot_.longitude, snapshot_.altitude);
    track_->addFix(point);
    snapshot_.finishRefresh();
    return {};
}

Result<> refreshSnapshot(NavSnapshot& snapshot, EmulationSource* emulation, std::uint32_t tick) {
    if (emulation && emulation->isOpen()) {
        return emulation->refresh(tick);
    }
    if (GpsLink* link = snapshot.link) {
        snapshot.refreshFromLink(*link);
    }
    return {};
}

TrackLog* trackLog(NavSnapshot& snapshot) {
    if (snapshot.emulationFile && snapshot.emulationTrack) {
        return snapshot.emulationTrack;
    }
    GpsLink* link = snapshot.link;
    return link ? link->decoder().trackLog() : nullptr;
}

}  // namespace wp2
