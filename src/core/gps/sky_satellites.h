// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The satellites in view as the receiver reports them in its GSV sentences,
// each with the constellation it belongs to, and the published list that the
// sky view and the satellite counts read.

#include <array>
#include <cstdint>

namespace wp2 {

enum class Constellation : std::uint8_t { Gps, Sbas, Glonass, Galileo, BeiDou, Qzss, NavIC, Other };
inline constexpr int kConstellationCount = 8;

// The constellation of a satellite from the talker of its GSV sentence and
// its number. GPS and combined ("GN") talkers use the numbering of NMEA 4.0
// and of the common receivers (65-96 GLONASS, 193-200 QZSS, 201-237 and
// 401-437 BeiDou, 301-336 Galileo, 33-64 and 120-158 SBAS).
Constellation constellationOf(char talker0, char talker1, int prn);
// "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "other".
const char* constellationName(Constellation c);

struct SatelliteInfo {
    std::int32_t prn = 0;
    std::int32_t snr = 0;        // as sent; 0 when the field is empty
    std::int32_t elevation = 0;  // degrees
    std::int32_t azimuth = 0;    // degrees
    std::uint8_t filled = 0;
    Constellation constellation = Constellation::Gps;
};

// The published satellites: at most as many as the sky view shows.
struct SkySatellites {
    static constexpr int kMax = 40;

    std::array<SatelliteInfo, kMax> records{};
    int count = 0;

    int withSignal() const;
};

}  // namespace wp2
