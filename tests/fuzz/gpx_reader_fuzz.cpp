// Fuzzes the GPX reader: any bytes are read or refused with an error, every
// point handed over has a position inside +-90 / +-180 degrees, and the
// memory stays within the limits however the input is built.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/gpx/gpx_reader.h"
#include "core/gpx/track_gpx.h"

namespace {

void require(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

class Check final : public wp2::GpxHandler {
public:
    void point(wp2::GpxKind, const wp2::GpxPoint& p) override {
        require(p.latitude >= -90.0 && p.latitude <= 90.0);
        require(p.longitude >= -180.0 && p.longitude <= 180.0);
        require(!p.elevation || std::isfinite(*p.elevation));
        require(p.name.size() <= 4000 && p.description.size() <= 4000);
        require(p.line > 0);
        // The track form of every point must be sound too.
        const wp2::TrackPoint t = wp2::trackPointFromGpx(p);
        require(std::isfinite(t.latitude) && std::isfinite(t.longitude));
        ++points;
    }
    int points = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Check check;
    wp2::GpxReadLimits limits;
    limits.maxPoints = 1000;
    limits.maxPendingBytes = 64 * 1024;
    const wp2::GpxReadResult r = wp2::readGpxBytes(
        std::string_view(reinterpret_cast<const char*>(data), size), check, limits);
    require(r.points == check.points);
    require(r.points <= 1000);
    require(r.ok == r.error.empty());
    return 0;
}
