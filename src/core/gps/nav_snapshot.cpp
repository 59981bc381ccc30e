// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/nav_snapshot.h"

#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/nav/angles.h"

namespace wp2 {

void NavSnapshot::refreshFromLink(const GpsLink& link) {
    using namespace GpsStatusFlags;
    const GpsState& s = link.state();
    latitude = s.latitude;
    longitude = s.longitude;
    altitude = s.altitude;
    speed = s.speed;
    if (speed >= kCourseSpeed) {
        course = s.course * kDegToRad;
    }
    status = s.flags;
    if (s.has(Fix3D)) {
        fixLevel = 4;
    } else if (s.has(Fix2D)) {
        fixLevel = 3;
    } else {
        fixLevel = s.has(LinkOpen) ? 2 : 1;
    }
    if (fixLevel >= 3) {
        status += kFixStatus;
    }
    pdop = s.pdop;

    satellitesInView = s.satellites.count;
    satellitesWithSignal = 0;
    for (int i = 0; i < static_cast<int>(satellites.size()); ++i) {
        SkySatellite& sky = satellites[static_cast<std::size_t>(i)];
        sky = SkySatellite();
        if (i >= satellitesInView) {
            continue;
        }
        const SatelliteInfo& rec = s.satellites.records[static_cast<std::size_t>(i)];
        sky.prn = rec.prn;
        sky.snr = rec.snr;
        sky.elevation = rec.elevation * kDegToRad;
        sky.azimuth = rec.azimuth * kDegToRad;
        sky.constellation = rec.constellation;
        if (rec.snr > 0) {
            ++satellitesWithSignal;
        }
    }
    finishRefresh();
}

void NavSnapshot::finishRefresh() {
    fixSeen_ = hasFixValues();
    refreshTarget();
    if (speed > kAverageSpeed) {
        averageSpeed.add(speed);
    }
}

void NavSnapshot::refreshTarget() {
    if (targetSet != 1 || !ellipsoid || fixLevel < 3) {
        return;
    }
    LatLonAlt here{latitude, longitude, 0.0};
    targetDistance = ellipsoid->groundChordDistance(here, targetPoint.position());
    if (speed >= kCourseSpeed) {
        targetBearing = ellipsoid->bearing(here, targetPoint.position());
    }
}

void NavSnapshot::setTarget(const GeoPoint& point) {
    targetPoint = point;
    targetSet = 1;
}

}  // namespace wp2
