#include "core/gps/gga_decoder.h"

#include <array>

#include "core/gps/nmea_field.h"
#include "core/gps/rmc_decoder.h"

namespace wp2 {

namespace {

constexpr double kMinutesToDegrees = 0.016666666666666666;
constexpr double kFeetToMetres = 0.305;

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

double inMetres(double value, std::u16string_view unit) {
    char16_t c = firstChar(unit);
    return c == u'F' || c == u'f' ? value * kFeetToMetres : value;
}

}  // namespace

bool GgaDecoder::decode(std::u16string_view line) {
    if (!hasSentenceType(line, u"GGA")) {
        return false;
    }
    std::size_t comma = line.find(u',');
    if (comma == std::u16string_view::npos) {
        return false;
    }
    NmeaFields reader(line, comma + 1);
    std::array<std::u16string_view, FieldCount> f;
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

    double lat = nmeaInt(clip(f[Lat], 0, 2)) + nmeaDouble(clip(f[Lat], 2)) * kMinutesToDegrees;
    if (!(lat >= 0.0 && lat <= 90.0)) {
        return false;
    }
    if (firstChar(f[NorthSouth]) == u'S') {
        lat = -lat;
    }
    double lon = nmeaInt(clip(f[Lon], 0, 3)) + nmeaDouble(clip(f[Lon], 3)) * kMinutesToDegrees;
    if (!(lon >= 0.0 && lon <= 180.0)) {
        return false;
    }
    if (firstChar(f[EastWest]) == u'W') {
        lon = -lon;
    }

    std::uint8_t q = 0;
    switch (firstChar(f[Quality])) {
        case u'0':
            q = 0;
            break;
        case u'1':
            q = 1;
            break;
        case u'2':
            q = 2;
            break;
        case u'3':
            q = 4;
            break;
        default:
            return false;
    }

    hour = static_cast<std::uint8_t>(h);
    minute = static_cast<std::uint8_t>(m);
    seconds = s;
    latitude = lat;
    longitude = lon;
    quality = q;
    satellites = nmeaInt(f[Sats]);
    hdop = nmeaDouble(f[Hdop]);
    altitude = inMetres(nmeaDouble(f[Alt]), f[AltUnit]);
    geoidSeparation = inMetres(nmeaDouble(f[Geoid]), f[GeoidUnit]);
    return true;
}

}  // namespace wp2
