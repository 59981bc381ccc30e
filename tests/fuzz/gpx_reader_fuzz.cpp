// Fuzzes the GPX reader: any bytes are read or refused with an error, every
// point handed over has a position inside +-90 / +-180 degrees, and the
// memory stays within the limits however the input is built.

#include <cmath>
#include <cstdint>
#include <string_view>

#include "core/gpx/gpx_reader.h"

namespace {

#define require(ok) ((ok) ? (void)0 : __builtin_trap())

struct Check final : wp2::GpxHandler {
    void point(wp2::GpxKind, const wp2::GpxPoint& p) override {
        require(p.latitude >= -90.0 && p.latitude <= 90.0);
        require(p.longitude >= -180.0 && p.longitude <= 180.0);
        require(!p.elevation || std::isfinite(*p.elevation));
        require(p.name.size() <= 4000 && p.description.size() <= 4000);
        ++points;
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
    return 0;
}
