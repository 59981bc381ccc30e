// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/warm_start.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/base/cformat.h"
#include "core/nav/angles.h"

namespace wp2 {

void appendChecksum(std::string& text) {
    unsigned sum = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        sum ^= static_cast<unsigned char>(text[i]);
    }
    text += cformat("*%02x\r\n", sum);
}

std::size_t buildCommand(double latitude, double longitude, std::time_t now, long offset,
                         char* buffer, std::size_t size) {
    if (size < kWarmStartBufferSize) {
        return 0;
    }
    double latDeg = latitude * kWarmStartRadToDeg;
    double lonDeg = longitude * kWarmStartRadToDeg;
    long long seconds = static_cast<long long>(now) - offset - kGpsWeek1215Start;
    if (seconds < 0) {
        return 0;
    }
    long week = 1215 + static_cast<long>(seconds / kSecondsPerWeek);
    long timeOfWeek = static_cast<long>(seconds % kSecondsPerWeek);
    std::string text = cformat("$PSRF104,%1.4lf,%1.4lf,0,0,%ld,%d,12,3", latDeg, lonDeg, timeOfWeek,
                               static_cast<int>(week));
    appendChecksum(text);
    if (text.size() >= size) {
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return text.size();
}

namespace {

std::time_t fromFields(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return ::timegm(&tm);
}

}  // namespace

std::time_t toCalendarTime(const GpsDateTime& utc) {
    return fromFields(utc.year + 2000, utc.month, utc.day, utc.hour, utc.minute,
                      static_cast<int>(std::floor(utc.seconds)));
}

GpsDateTime fromCalendarTime(std::time_t t) {
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    GpsDateTime utc;
    utc.year = static_cast<std::uint8_t>(tm.tm_year + 1900 - 2000);
    utc.month = static_cast<std::uint8_t>(tm.tm_mon + 1);
    utc.day = static_cast<std::uint8_t>(tm.tm_mday);
    utc.hour = static_cast<std::uint8_t>(tm.tm_hour);
    utc.minute = static_cast<std::uint8_t>(tm.tm_min);
    utc.seconds = tm.tm_sec;
    return utc;
}

std::string formatStoredTime(std::time_t t) {
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    return cformat("%d,%d,%d,%d,%d,%d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min, tm.tm_sec);
}

std::time_t parseStoredTime(const std::string& text) {
    int fields[6] = {0, 0, 0, 0, 0, 0};
    const char* p = text.c_str();
    for (int i = 0; i < 6; ++i) {
        fields[i] = static_cast<int>(std::strtol(p, nullptr, 10));
        const char* comma = std::strchr(p, ',');
        if (!comma) {
            break;
        }
        p = comma + 1;
    }
    return fromFields(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
}

}  // namespace wp2
