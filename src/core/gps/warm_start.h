// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Warm start of SiRF receivers: the link remembers the last fixed position
// and the offset between the device clock and UTC, and at the 15th link tick
// without a fix sends "$PSRF104" (approximate position, GPS week and time of
// week) so that the receiver finds its satellites sooner.

#include <cstddef>
#include <ctime>
#include <string>

#include "core/track/gps_date_time.h"

namespace wp2 {

// The link's warm-start data.
struct WarmStartState {
    static constexpr int kNoData = 0;
    static constexpr int kArmed = 10;
    static constexpr int kSent = 20;
    static constexpr int kSendTick = 15;

    bool hasData = false;          // a position and times are known
    std::time_t fixLocalTime = 0;  // device clock at the last fix
    double latitude = 0.0;         // radians
    double longitude = 0.0;        // radians
    int state = kNoData;
    int ticks = 0;  // link ticks since construction or re-arming
    bool enabled = false;
};

// 2003-04-20 00:00:00 UTC, the start of GPS week 1215.
inline constexpr std::time_t kGpsWeek1215Start = 1050796800;
inline constexpr long kSecondsPerWeek = 604800;
// The sentence is built in a buffer of this size.
inline constexpr std::size_t kWarmStartBufferSize = 100;

// Appends "*" and the two lower-case hexadecimal digits of the XOR of every
// character after the first, then CR LF.
void appendChecksum(std::string& text);

// Builds "$PSRF104,<lat>,<lon>,0,0,<time of week>,<week>,12,3" with its
// checksum into buffer (terminated) and returns its length; 0 when size is
// below 100, and 0 when the device time minus offset lies before GPS week
// 1215 (the device clock is wrong; a receiver must not be told such a time).
std::size_t buildCommand(double latitude, double longitude, std::time_t now, long offset,
                         char* buffer, std::size_t size);

// UTC calendar time of a receiver date and time (two-digit year + 2000),
// whole seconds; and back.
std::time_t toCalendarTime(const GpsDateTime& utc);
GpsDateTime fromCalendarTime(std::time_t t);

// The stored texts "%d,%d,%d,%d,%d,%d": year (four digits), month 1..12,
// day, hour, minute, second of a calendar time (the device clock is read in
// UTC fields, as the link reads it everywhere); parsing reads up to six
// comma-separated integers, missing ones 0.
std::string formatStoredTime(std::time_t t);
std::time_t parseStoredTime(const std::string& text);

}  // namespace wp2
