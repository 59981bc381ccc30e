// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gpx/gpx_time.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wp2 {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

bool isLeap(std::int64_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

// The two digits at text[at], or -1.
int twoDigits(std::string_view text, std::size_t at) {
    const auto high = static_cast<unsigned>(text[at] - '0');
    const auto low = static_cast<unsigned>(text[at + 1] - '0');
    return high < 10 && low < 10 ? static_cast<int>(high * 10 + low) : -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<UtcTime> parseIsoTime(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    // "YYYY-MM-DDThh:mm:ss" at fixed places.
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const int century = twoDigits(text, 0), yearOf = twoDigits(text, 2);
    const int month = twoDigits(text, 5), day = twoDigits(text, 8);
    const int hour = twoDigits(text, 11), minute = twoDigits(text, 14);
    int second = twoDigits(text, 17);
    if (century < 0 || yearOf < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0) {
        return std::nullopt;
    }
    const int year = century * 100 + yearOf;
    std::size_t at = 19;
    double fraction = 0.0;
    if (at < text.size() && text[at] == '.') {
        // Up to nine digits count (nanoseconds); their value divided once, so
        // that ".2" is exactly the double nearest 0.2.
        std::int64_t value = 0, scale = 1;
        const std::size_t first = ++at;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            if (scale < 1000000000) {
                value = value * 10 + (text[at] - '0');
                scale *= 10;
            }
        }
        if (at == first) {
            return std::nullopt;
        }
        fraction = static_cast<double>(value) / static_cast<double>(scale);
    }
    int offsetMinutes = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        // "+hh:mm" or "-hh:mm"
        const int sign = text[at] == '-' ? -1 : 1;
        if (text.size() - at < 6 || text[at + 3] != ':') {
            return std::nullopt;
        }
        const int oh = twoDigits(text, at + 1), om = twoDigits(text, at + 4);
        if (oh < 0 || om < 0 || oh > 14 || om > 59) {
            return std::nullopt;
        }
        offsetMinutes = sign * (oh * 60 + om);
        at += 6;
    } else if (at < text.size() && text[at] == 'Z') {
        ++at;
    }
    // A leap second is read as the last second of its minute.
    if (at != text.size() || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 60) {
        return std::nullopt;
    }
    if (second == 60) {
        second = 59;
    }
    UtcTime t;
    t.seconds = daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 +
                second - offsetMinutes * 60;
    t.fraction = fraction < 1.0 ? fraction : 0.999;
    return t;
}

std::size_t formatIsoTime(const UtcTime& time, char* out) {
    std::int64_t seconds = time.seconds;
    long millis = std::lround(time.fraction * 1000.0);
    if (millis >= 1000) {
        millis = 999;
    }
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const Civil c = civilFromDays(days);
    if (c.year < 0 || c.year > 9999) {
        // Outside what xsd:dateTime texts here can carry.
        constexpr std::string_view kFloor = "0000-01-01T00:00:00Z";
        return static_cast<std::size_t>(std::copy(kFloor.begin(), kFloor.end(), out) - out);
    }
    // Written two digits at a time: this runs once per track point.
    const auto pair = [out](std::size_t at, std::int64_t value) {
        std::memcpy(out + at, kDigitPairs + 2 * value, 2);
    };
    pair(0, c.year / 100);
    pair(2, c.year % 100);
    out[4] = '-';
    pair(5, c.month);
    out[7] = '-';
    pair(8, c.day);
    out[10] = 'T';
    pair(11, rest / 3600);
    out[13] = ':';
    pair(14, rest / 60 % 60);
    out[16] = ':';
    pair(17, rest % 60);
    if (millis > 0) {
        out[19] = '.';
        out[20] = static_cast<char>('0' + millis / 100);
        pair(21, millis % 100);
        out[23] = 'Z';
        return 24;
    }
    out[19] = 'Z';
    return 20;
}

std::string formatIsoTime(const UtcTime& time) {
    char text[kIsoTimeRoom];
    return std::string(text, formatIsoTime(time, text));
}

std::optional<GpsDateTime> toGpsDateTime(const UtcTime& time) {
    std::int64_t days = time.seconds / kSecondsPerDay;
    std::int64_t rest = time.seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const Civil c = civilFromDays(days);
    if (c.year < 2001 || c.year > 2099) {
        return std::nullopt;
    }
    GpsDateTime t;
    t.year = static_cast<std::uint8_t>(c.year - 2000);
    t.month = static_cast<std::uint8_t>(c.month);
    t.day = static_cast<std::uint8_t>(c.day);
    t.hour = static_cast<std::uint8_t>(rest / 3600);
    t.minute = static_cast<std::uint8_t>(rest / 60 % 60);
    // Whole milliseconds are divided once, so that "25.2" reads back as the
    // same double as the receiver's 25.2.
    const double millis = std::round(time.fraction * 1000.0);
    const double whole = static_cast<double>(rest % 60);
    t.seconds = std::fabs(time.fraction * 1000.0 - millis) < 1e-6
                    ? (whole * 1000.0 + millis) / 1000.0
                    : whole + time.fraction;
    return t;
}

std::optional<UtcTime> fromGpsDateTime(const GpsDateTime& time) {
    if (time.year == 0 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > daysInMonth(2000 + time.year, time.month) || time.hour > 23 ||
        time.minute > 59 || !(time.seconds >= 0.0 && time.seconds < 60.0)) {
        return std::nullopt;
    }
    const double whole = std::floor(time.seconds);
    UtcTime t;
    t.seconds = daysFromCivil(2000 + time.year, time.month, time.day) * kSecondsPerDay +
                time.hour * 3600 + time.minute * 60 + static_cast<std::int64_t>(whole);
    t.fraction = time.seconds - whole;
    return t;
}

}  // namespace wp2
