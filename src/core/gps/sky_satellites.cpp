// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/sky_satellites.h"

namespace wp2 {

namespace {

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

Constellation constellationOf(char talker0, char talker1, int prn) {
    if (talker0 == 'G') {
        switch (talker1) {
            case 'L':
                return Constellation::Glonass;
            case 'A':
                return Constellation::Galileo;
            case 'B':
                return Constellation::BeiDou;
            case 'Q':
                return Constellation::Qzss;
            case 'I':
                return Constellation::NavIC;
            default:
                break;
        }
    } else if (talker0 == 'B' && talker1 == 'D') {
        return Constellation::BeiDou;
    } else if (talker0 == 'Q' && talker1 == 'Z') {
        return Constellation::Qzss;
    }
    if (within(prn, 1, 32)) {
        return Constellation::Gps;
    }
    if (within(prn, 33, 64) || within(prn, 120, 158)) {
        return Constellation::Sbas;
    }
    if (within(prn, 65, 96)) {
        return Constellation::Glonass;
    }
    if (within(prn, 193, 200)) {
        return Constellation::Qzss;
    }
    if (within(prn, 201, 237) || within(prn, 401, 437)) {
        return Constellation::BeiDou;
    }
    if (within(prn, 301, 336)) {
        return Constellation::Galileo;
    }
    return Constellation::Other;
}

const char* constellationName(Constellation c) {
    static constexpr const char* kNames[] = {"GPS",    "SBAS", "GLONASS", "Galileo",
                                             "BeiDou", "QZSS", "NavIC",   "other"};
    static_assert(sizeof kNames / sizeof kNames[0] == kConstellationCount);
    return kNames[static_cast<int>(c)];
}

int SkySatellites::withSignal() const {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        n += records[static_cast<std::size_t>(i)].snr > 0;
    }
    return n;
}

}  // namespace wp2
