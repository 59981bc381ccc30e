// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gga_decoder.h"

#include <array>

#include "core/gps/nmea_field.h"

namespace wp2 {

namespace {

constexpr double kFeetToMetres = 0.305;

// Two (latitude) or three (longitude) leading degree characters; the value
// must lie within 0..90 or 0..180, and only "S" or "W" negates.
constexpr CoordinateRule kLatitude{'N', 'S', 2, -1, false, 90.0, Hemisphere::NegateOnlyNegative};
constexpr CoordinateRule kLongitude{'E', 'W', 3, -1, false, 180.0, Hemisphere::NegateOnlyNegative};
// Strict reading also checks the minutes and wants a real hemisphere letter
// (none only for an empty position, as receivers send it without a fix).
constexpr CoordinateRule kStrictLatitude{'N', 'S', 2, -1, true, 90.0, Hemisphere::Strict};
constexpr CoordinateRule kStrictLongitude{'E', 'W', 3, -1, true, 180.0, Hemisphere::Strict};

// Field order after the sentence name; every field up to the geoid
// separation is limited in length.
enum Field {
    Time,
    Lat,
    NorthSouth,
    Lon,
    EastWest,
    Quality,
    Sats,
    Hdop,
    Alt,
    AltUnit,
    Geoid,
    GeoidUnit,
    FieldCount
};

double inMetres(double value, std::string_view unit) {
    char c = firstChar(unit);
    return c == 'F' || c == 'f' ? value * kFeetToMetres : value;
}

}  // namespace

bool GgaDecoder::decode(std::string_view line) {
    if (!hasSentenceType(line, "GGA")) {
        return false;
    }
    std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    NmeaFields reader(line, comma + 1);
    std::array<std::string_view, FieldCount> f;
    for (auto& field : f) {
        field = reader.next();
    }
    for (int i = Time; i <= Geoid; ++i) {
        if (f[static_cast<std::size_t>(i)].size() >= kMaxNmeaFieldLength) {
            return false;
        }
    }

    int h = nmeaInt(clip(f[Time], 0, 2));
    int m = nmeaInt(clip(f[Time], 2, 2));
    double s = nmeaDouble(clip(f[Time], 4));
    if (h >= 24 || m >= 60 || !(s >= 0.0 && s < 60.0)) {
        return false;
    }

    std::optional<double> lat =
        readCoordinate(f[Lat], f[NorthSouth], strict ? kStrictLatitude : kLatitude);
    std::optional<double> lon =
        readCoordinate(f[Lon], f[EastWest], strict ? kStrictLongitude : kLongitude);
    if (!lat || !lon) {
        return false;
    }

    std::uint8_t q = 0;
    switch (firstChar(f[Quality])) {
        case '0':
            q = 0;
            break;
        case '1':
            q = 1;
            break;
        case '2':
            q = 2;
            break;
        case '3':
            q = 4;
            break;
        default:
            return false;
    }

    const double dop = nmeaDouble(f[Hdop]);
    const double height = inMetres(nmeaDouble(f[Alt]), f[AltUnit]);
    const double geoid = inMetres(nmeaDouble(f[Geoid]), f[GeoidUnit]);
    if (!allFinite({dop, height, geoid})) {
        return false;
    }
    hour = static_cast<std::uint8_t>(h);
    minute = static_cast<std::uint8_t>(m);
    seconds = s;
    latitude = *lat;
    longitude = *lon;
    quality = q;
    satellites = nmeaInt(f[Sats]);
    hdop = dop;
    altitude = height;
    geoidSeparation = geoid;
    return true;
}

}  // namespace wp2
