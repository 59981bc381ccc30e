// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GPX times: xsd:dateTime texts ("2011-07-02T17:47:25.200Z", offsets
// allowed) turned into UTC and back, and the fix times of track points.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/track/gps_date_time.h"

namespace wp2 {

// A UTC instant: whole seconds since 1970-01-01T00:00:00Z and the fraction.
struct UtcTime {
    std::int64_t seconds = 0;
    double fraction = 0.0;  // 0 <= fraction < 1

    bool operator==(const UtcTime&) const = default;
};

// Reads "YYYY-MM-DDThh:mm:ss[.fff][Z|+hh:mm|-hh:mm]" (white space around it
// allowed; no zone means UTC). Nothing for any other text or an impossible
// date or time.
std::optional<UtcTime> parseIsoTime(std::string_view text);

// "YYYY-MM-DDThh:mm:ssZ", with milliseconds when the time has a fraction.
std::string formatIsoTime(const UtcTime& time);
// The same written at `out`, which has room for kIsoTimeRoom characters;
// returns the length.
inline constexpr std::size_t kIsoTimeRoom = 24;
std::size_t formatIsoTime(const UtcTime& time, char* out);

// The fix time a track point or pushpin holds: the two-digit year counts from
// 2000 and 0 means no date, so only 2001 to 2099 fit (the pushpin file refuses
// any other year as damage). Nothing outside that range.
std::optional<GpsDateTime> toGpsDateTime(const UtcTime& time);
// Nothing when the point carries no date or an impossible one.
std::optional<UtcTime> fromGpsDateTime(const GpsDateTime& time);

}  // namespace wp2
