#include "core/gps/rmc_decoder.h"

#include <cstdint>

#include "core/gps/nmea_field.h"

namespace wp2 {

namespace {

constexpr double kMinutesToDegrees = 0.016666666666666666;

// A "dddmm.mmm" field: the characters before the last two digits in front of
// the "." are whole degrees, the rest are minutes (0..60 inclusive).
bool readAngle(std::u16string_view field, int& degrees, double& minutes) {
    if (field.size() >= kMaxNmeaFieldLength) {
        return false;
    }
    std::size_t dot = field.find(u'.');
    if (dot == std::u16string_view::npos) {
        return false;
    }
    std::size_t split = dot >= 2 ? dot - 2 : 0;
    degrees = nmeaInt(field.substr(0, split));
    minutes = nmeaDouble(field.substr(split));
    return minutes >= 0.0 && minutes <= 60.0;
}

}  // namespace

bool RmcDecoder::decode(std::u16string_view line) {
    if (!hasSentenceType(line, u"RMC")) {
        return false;
    }
    std::size_t comma = line.find(u',');
    if (comma == std::u16string_view::npos) {
        return false;
    }
    NmeaFields fields(line, comma + 1);

    std::u16string_view time = fields.next();
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

    std::u16string_view status = fields.next();
    if (status.size() != 1 || fields.atEnd()) {
        return false;
    }

    int latDegrees = 0;
    double latMinutes = 0.0;
    if (!readAngle(fields.next(), latDegrees, latMinutes) || latDegrees < 0 || latDegrees > 90) {
        return false;
    }
    double lat = latDegrees + latMinutes * kMinutesToDegrees;
    if (firstChar(fields.next()) != u'N') {
        lat = -lat;
    }

    int lonDegrees = 0;
    double lonMinutes = 0.0;
    if (!readAngle(fields.next(), lonDegrees, lonMinutes)) {
        return false;
    }
    double lon = lonDegrees + lonMinutes * kMinutesToDegrees;
    if (firstChar(fields.next()) != u'E') {
        lon = -lon;
    }

    double knots = nmeaDouble(fields.next());
    double track = nmeaDouble(fields.next());
    std::u16string_view date = fields.next();

    utc.day = static_cast<std::uint8_t>(nmeaInt(clip(date, 0, 2)));
    utc.month = static_cast<std::uint8_t>(nmeaInt(clip(date, 2, 2)));
    utc.year = static_cast<std::uint8_t>(nmeaInt(clip(date, 4, 2)));
    utc.hour = static_cast<std::uint8_t>(hour);
    utc.minute = static_cast<std::uint8_t>(minute);
    utc.seconds = second;
    latitude = lat;
    longitude = lon;
    speed = knots;
    course = track;
    return true;
}

}  // namespace wp2
