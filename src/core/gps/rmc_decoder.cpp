// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/rmc_decoder.h"

#include <cstdint>

#include "core/gps/nmea_field.h"

namespace wp2 {

namespace {

// The degrees end two characters before the "."; the minutes may be 0..60.
// Latitude degrees must be 0..90, longitude degrees are not checked, and any
// letter but "N" or "E" negates.
constexpr CoordinateRule kLatitude{'N', 'S', 0, 90, true, -1.0, Hemisphere::NegateUnlessPositive};
constexpr CoordinateRule kLongitude{'E', 'W', 0, -1, true, -1.0, Hemisphere::NegateUnlessPositive};
// Strict reading also checks the longitude degrees and wants a real hemisphere.
constexpr CoordinateRule kStrictLatitude{'N', 'S', 0, 90, true, -1.0, Hemisphere::Strict};
constexpr CoordinateRule kStrictLongitude{'E', 'W', 0, 180, true, -1.0, Hemisphere::Strict};

}  // namespace

bool RmcDecoder::decode(std::string_view line) {
    if (!hasSentenceType(line, "RMC")) {
        return false;
    }
    std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    NmeaFields fields(line, comma + 1);

    std::string_view time = fields.next();
    int hour = nmeaInt(clip(time, 0, 2));
    int minute = nmeaInt(clip(time, 2, 2));
    int second = nmeaInt(clip(time, 4, 2));
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return false;
    }
    // The fractions of the second must end with "," within the next 19 characters.
    std::size_t fractionEnd = comma + 1 + time.size();
    if (clip(time, 6).size() > 18 || fractionEnd >= line.size()) {
        return false;
    }

    std::string_view status = fields.next();
    if (status.size() != 1 || fields.atEnd()) {
        return false;
    }

    std::string_view latField = fields.next();
    std::optional<double> lat =
        readCoordinate(latField, fields.next(), strict ? kStrictLatitude : kLatitude);
    if (!lat) {
        return false;
    }
    std::string_view lonField = fields.next();
    std::optional<double> lon =
        readCoordinate(lonField, fields.next(), strict ? kStrictLongitude : kLongitude);
    if (!lon) {
        return false;
    }

    double knots = nmeaDouble(fields.next());
    double track = nmeaDouble(fields.next());
    if (!allFinite({knots, track})) {
        return false;
    }
    std::string_view date = fields.next();

    utc.day = static_cast<std::uint8_t>(nmeaInt(clip(date, 0, 2)));
    utc.month = static_cast<std::uint8_t>(nmeaInt(clip(date, 2, 2)));
    utc.year = static_cast<std::uint8_t>(nmeaInt(clip(date, 4, 2)));
    utc.hour = static_cast<std::uint8_t>(hour);
    utc.minute = static_cast<std::uint8_t>(minute);
    // Strict (any-talker) reading keeps the fraction of the second, as GGA
    // does, so that the fix is stamped with the time it was taken.
    const double exact = strict ? nmeaDouble(clip(time, 4)) : second;
    utc.seconds = exact >= second && exact < second + 1 ? exact : second;
    latitude = *lat;
    longitude = *lon;
    speed = knots;
    course = track;
    return true;
}

}  // namespace wp2
