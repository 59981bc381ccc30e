// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The binary track file (.atk): a little-endian header followed by 64-byte
// point records, no padding.
//
// Version 2 header (24 bytes): version, capacity, datedCount, lastDatedIndex,
// reserved, count (signed 32-bit each). Version 1 has two doubles (legacyA,
// legacyB) between reserved and count, so its header is 40 bytes. Any version
// other than 1 is read with the version 2 layout.
//
// Point record: latitude, longitude, altitude (doubles), year, month, day,
// hour, minute (bytes), seconds, speed, course, dop (doubles), state (low 16
// bits, unsigned 16-bit), satellites (byte).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/track/track_point.h"

namespace wp2 {

inline constexpr std::size_t kTrackHeaderSize = 24;
inline constexpr std::size_t kTrackHeaderSizeV1 = 40;
inline constexpr std::size_t kTrackRecordSize = 64;
inline constexpr std::int32_t kTrackFileVersion = 2;

// A whole track as a file holds it.
struct TrackFileImage {
    std::int32_t version = kTrackFileVersion;
    std::int32_t capacity = 0;
    std::int32_t datedCount = 0;
    std::int32_t lastDatedIndex = -1;
    std::int32_t reserved = 0;
    bool hasLegacy = false;  // version 1: legacyA and legacyB were in the file
    double legacyA = 0.0;
    double legacyB = 0.0;
    std::int32_t count = 0;
    std::vector<TrackPoint> points;  // capacity entries; the first count are the track
};

class TrackFile {
public:
    // Reads and checks a whole file. Nothing when it cannot be opened or does
    // not hold a consistent track: a short header or records, a negative
    // count, capacity below count or more than one growth step above it,
    // counters that point outside the track, a record with impossible values
    // (impossibleValue). The allocation is bounded by the file's size.
    // *problem then says what is wrong ("" when the file cannot be opened).
    static std::optional<TrackFileImage> read(const std::string& path,
                                              std::string* problem = nullptr);

    // What can be trusted of a file read() refused: the whole records after a
    // readable header (as many as it states, or as the file holds when it
    // ends early), up to the first impossible one, with the counters made
    // anew from them. An empty track when not even the header is there;
    // nothing when the file cannot be opened.
    static std::optional<TrackFileImage> salvage(const std::string& path);

    // The version 2 header of a track of `count` points.
    static std::array<std::uint8_t, kTrackHeaderSize> encodeHeader(std::int32_t capacity,
                                                                   std::int32_t datedCount,
                                                                   std::int32_t lastDatedIndex,
                                                                   std::int32_t reserved,
                                                                   std::int32_t count);
    // The version 2 bytes of a track.
    static std::vector<std::uint8_t> encode(std::int32_t capacity, std::int32_t datedCount,
                                            std::int32_t lastDatedIndex, std::int32_t reserved,
                                            const TrackPoint* points, std::int32_t count);

    static void encodeRecord(const TrackPoint& point, std::uint8_t* out);
    static TrackPoint decodeRecord(const std::uint8_t* in);
};

}  // namespace wp2
