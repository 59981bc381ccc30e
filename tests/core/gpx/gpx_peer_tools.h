#pragma once
// What GPSBabel, GDAL's ogrinfo and xmllint make of a GPX file, for comparing
// with what this program reads and writes.

#include <cstdint>
#include <string>
#include <vector>

#include "core/gpx/gpx_reader.h"

namespace wp2::test {

struct SeenPoint {
    double latitude = 0.0, longitude = 0.0;  // degrees
    std::int64_t time = -1;                  // whole seconds since 1970, -1 for none
    std::string name;
};

struct SeenFile {
    std::vector<SeenPoint> waypoints, routePoints, trackPoints;
};

// A program on PATH, or "" when it is not installed.
std::string findProgram(const std::string& name);

// This program's reading.
GpxReadResult readWithOurs(const std::string& path, SeenFile& seen);
// GPSBabel's reading: `gpsbabel -i gpx -f FILE` with positions to 1e-9 degrees.
SeenFile readWithGpsbabel(const std::string& path);
// The waypoints and track points GDAL's GPX driver reads.
SeenFile readWithOgr(const std::string& path);
// xmllint's verdict against the GPX 1.1 schema: "" when valid.
std::string schemaErrors(const std::string& path);

// Same points in the same order: positions within 1e-7 degrees, times to the
// second, names when `names` is set.
void expectSamePoints(const std::vector<SeenPoint>& ours, const std::vector<SeenPoint>& theirs,
                      bool names);

}  // namespace wp2::test
