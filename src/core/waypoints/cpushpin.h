#pragma once
// One waypoint ("pushpin"): a track point with a name, a note and an icon.
// Pushpins live in a CPushpins collection, which links them newest to oldest.

#include <cstdint>
#include <string>

#include "core/track/track_point.h"

namespace wp2 {

class CPushpins;

class CPushpin : public TrackPoint {
public:
    CPushpin() = default;
    ~CPushpin() override = default;
    // A pushpin's links belong to its collection.
    CPushpin(const CPushpin&) = delete;
    CPushpin& operator=(const CPushpin&) = delete;

    // The neighbour one index lower (none for index 0) and one index higher.
    CPushpin* newer() const { return newer_; }
    CPushpin* older() const { return older_; }

    std::u16string name;
    std::u16string note;
    std::int32_t icon = 0;
    // Kept in the file and copied with the pushpin; nothing reads it.
    std::uint32_t reserved = 0;

private:
    friend class CPushpins;
    CPushpin* newer_ = nullptr;
    CPushpin* older_ = nullptr;
    const CPushpins* owner_ = nullptr;
    // The record of the pushpin file this pushpin was read from or last
    // saved as (1 the oldest), 0 when it was added since.
    std::uint32_t origin_ = 0;
};

// What a pushpin holds that none can (a value outside the range of
// impossibleValue, a character no one types into a name or note, a time no
// fix gives), e.g. "a text with the character U+0001"; "" when nothing. The
// pushpin file's reader refuses a record with any of it, so nothing that
// would be refused enters the collection.
std::string impossiblePushpin(const CPushpin& pushpin, ValueRange range = ValueRange::Stored);

// How a problem names a character a name or note cannot hold.
std::string characterText(char16_t c);

}  // namespace wp2
