// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the GPX reader: any bytes are read or refused with an error, every
// point handed over has a position inside +-90 / +-180 degrees, and the
// memory stays within the limits however the input is built. Whatever was
// read is written again and must read back whole: the writer turns any
// name, note or number the reader can give into GPX.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/gpx/gpx_reader.h"
#include "core/gpx/gpx_writer.h"

namespace {

#define require(ok) ((ok) ? (void)0 : __builtin_trap())

struct Check final : wp2::GpxHandler {
    Check() { writer.begin(); }
    std::string point(wp2::GpxKind, const wp2::GpxPoint& p) override {
        require(writer.waypoint(p));
        require(p.latitude >= -90.0 && p.latitude <= 90.0);
        require(p.longitude >= -180.0 && p.longitude <= 180.0);
        require(!p.elevation || std::isfinite(*p.elevation));
        require(p.name.size() <= 4000 && p.description.size() <= 4000);
        ++points;
        return {};
    }
    int points = 0;
    std::string written;
    wp2::GpxWriter writer{[this](const char* data, std::size_t size) {
        written.append(data, size);
        return true;
    }};
};

struct Count final : wp2::GpxHandler {
    std::string point(wp2::GpxKind, const wp2::GpxPoint&) override {
        ++points;
        return {};
    }
    int points = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check check;
    const wp2::GpxReadLimits limits{1000, 64 * 1024};
    const wp2::GpxReadResult r = wp2::readGpxBytes(
        std::string_view(reinterpret_cast<const char*>(data), size), check, limits);
    require(r.points == check.points);
    require(r.points <= 1000);
    require(r.ok == r.error.empty());
    require(check.writer.finish());
    Count again;
    const wp2::GpxReadResult back = wp2::readGpxBytes(check.written, again, limits);
    require(back.ok && back.refused == 0 && again.points == check.points);
    return 0;
}
