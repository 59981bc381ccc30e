// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Satellites in view from GSV sentences of any talker, read one group at a
// time as GPS-only receivers send them. The table has two halves of 12
// records: one published and one being built from the messages of the current
// group. A finished group is published by swapping the halves, so readers
// never see a half-built set; it is also copied into the published sky.
//
// A group of more than 12 satellites keeps its first 12 and is published
// once, when its last message arrives (not at the 12th record, which would
// let the rest of the group replace it a message later).

#include <array>
#include <optional>
#include <string_view>

#include "core/gps/sky_satellites.h"

namespace wp2 {

class GsvTable {
public:
    static constexpr int kHalf = 12;

    // Offered every line. False for lines that are not GSV sentences and for
    // a GSV without a message count; true when the sentence was read. A
    // published group is copied into sky.
    bool decode(std::string_view line, SkySatellites& sky);

    // The i-th record of the published half, none when it is not filled.
    std::optional<SatelliteInfo> satellite(int i) const;
    int publishedCount() const { return publishedCount_; }

private:
    void clearBuilding();
    void publish(SkySatellites& sky);

    std::array<SatelliteInfo, 2 * kHalf> records_{};
    int publishedOffset_ = 0;
    int buildingOffset_ = kHalf;
    int publishedCount_ = 0;
    int builtCount_ = 0;
    int totalMessages_ = 0;
    int messageNumber_ = 0;
    int inView_ = 0;
};

}  // namespace wp2
