// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One waypoint ("pushpin"): a track point with a name, a note and an icon.
// Pushpins live in a Pushpins collection, which links them newest to oldest.

#include <cstdint>
#include <string>

#include "core/track/track_point.h"

namespace wp2 {

class Pushpins;

class Pushpin : public TrackPoint {
public:
    Pushpin() = default;
    ~Pushpin() override = default;
    // A pushpin's links belong to its collection.
    Pushpin(const Pushpin&) = delete;
    Pushpin& operator=(const Pushpin&) = delete;

    // The neighbour one index lower (none for index 0) and one index higher.
    Pushpin* newer() const { return newer_; }
    Pushpin* older() const { return older_; }

    std::u16string name;
    std::u16string note;
    std::int32_t icon = 0;
    // Kept in the file and copied with the pushpin; nothing reads it.
    std::uint32_t reserved = 0;

private:
    friend class Pushpins;
    Pushpin* newer_ = nullptr;
    Pushpin* older_ = nullptr;
    const Pushpins* owner_ = nullptr;
    // The record of the pushpin file this pushpin was read from or last
    // saved as (1 the oldest), 0 when it was added since.
    std::uint32_t origin_ = 0;
};

// What a pushpin holds that none can (a value outside the range of
// impossibleValue, a character no one types into a name or note, a time no
// fix gives), e.g. "a text with the character U+0001"; "" when nothing. The
// pushpin file's reader refuses a record with any of it, so nothing that
// would be refused enters the collection.
std::string impossiblePushpin(const Pushpin& pushpin, ValueRange range = ValueRange::Stored);

// How a problem names a character a name or note cannot hold.
std::string characterText(char16_t c);

}  // namespace wp2
