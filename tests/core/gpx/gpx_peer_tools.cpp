#include "gpx_peer_tools.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/test_support.h"

namespace wp2::test {

namespace {

class Collector final : public GpxHandler {
public:
    explicit Collector(SeenFile& seen) : seen_(seen) {}
    void point(GpxKind kind, const GpxPoint& p) override {
        auto& list = kind == GpxKind::Waypoint ? seen_.waypoints
                     : kind == GpxKind::Route  ? seen_.routePoints
                                               : seen_.trackPoints;
        list.push_back({p.latitude, p.longitude, p.time ? p.time->seconds : -1, p.name});
    }

private:
    SeenFile& seen_;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// "YYYY?MM?DD?hh:mm:ss..." as seconds since 1970 (the separators vary by tool).
std::int64_t seconds(const std::string& text) {
    if (text.size() < 19) {
        return -1;
    }
    const std::string iso = text.substr(0, 4) + "-" + text.substr(5, 2) + "-" + text.substr(8, 2) +
                            "T" + text.substr(11, 8) + "Z";
    const auto t = parseIsoTime(iso);
    return t && t->seconds != 0 ? t->seconds : -1;
}

std::vector<SeenPoint> gpsbabelKind(const std::string& path, const char* dropped) {
    const RunResult r =
        runProgram({findProgram("gpsbabel"), "-i", "gpx", "-f", path, "-x",
                    std::string("nuketypes,") + dropped, "-o",
                    "xcsv,style=" + dataFile("gpx/gpsbabel-check.style"), "-F", "-"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<SeenPoint> points;
    for (const std::string& line : lines(r.out)) {
        std::istringstream fields(line);
        std::string lat, lon, time, name;
        std::getline(fields, lat, '\t');
        std::getline(fields, lon, '\t');
        std::getline(fields, time, '\t');
        std::getline(fields, name);
        points.push_back({std::stod(lat), std::stod(lon), seconds(time), name});
    }
    return points;
}

}  // namespace

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (!dir.empty() && ::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return "";
}

GpxReadResult readWithOurs(const std::string& path, SeenFile& seen) {
    Collector collector(seen);
    return readGpxFile(path, collector);
}

SeenFile readWithGpsbabel(const std::string& path) {
    return {gpsbabelKind(path, "routes,tracks"), gpsbabelKind(path, "waypoints,tracks"),
            gpsbabelKind(path, "waypoints,routes")};
}

SeenFile readWithOgr(const std::string& path) {
    const RunResult r = runProgram({findProgram("ogrinfo"), "-ro", "-al", "-q", path});
    EXPECT_EQ(r.status, 0) << r.err;
    SeenFile seen;
    std::vector<SeenPoint>* list = nullptr;
    for (const std::string& line : lines(r.out)) {
        if (line.rfind("OGRFeature(", 0) == 0) {
            const std::string layer = line.substr(11, line.find(')') - 11);
            list = layer == "waypoints"      ? &seen.waypoints
                   : layer == "track_points" ? &seen.trackPoints
                                             : nullptr;
            if (list) {
                list->emplace_back();
            }
        } else if (list && line.rfind("  name (String) = ", 0) == 0) {
            list->back().name = line.substr(18);
        } else if (list && line.rfind("  time (DateTime) = ", 0) == 0) {
            list->back().time = seconds(line.substr(20));
        } else if (list && line.rfind("  POINT (", 0) == 0) {
            std::istringstream xy(line.substr(9));
            xy >> list->back().longitude >> list->back().latitude;
        }
    }
    return seen;
}

std::string schemaErrors(const std::string& path) {
    const RunResult r = runProgram(
        {findProgram("xmllint"), "--noout", "--schema", dataFile("gpx/gpx11.xsd"), path});
    return r.status == 0 ? "" : r.err;
}

void expectSamePoints(const std::vector<SeenPoint>& ours, const std::vector<SeenPoint>& theirs,
                      bool names) {
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(ours[i].latitude, theirs[i].latitude, 1e-7);
        EXPECT_NEAR(ours[i].longitude, theirs[i].longitude, 1e-7);
        EXPECT_EQ(ours[i].time, theirs[i].time);
        if (names) {
            EXPECT_EQ(ours[i].name, theirs[i].name);
        }
    }
}

}  // namespace wp2::test
