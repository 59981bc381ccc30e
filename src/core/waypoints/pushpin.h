// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One waypoint ("pushpin"): a track point with a name, a note and an icon.
// Pushpins live in a Pushpins collection.

#include <cstdint>
#include <string>

#include "core/track/track_point.h"

namespace wp2 {

class Pushpin : public TrackPoint {
public:
    // UTF-8.
    std::string name;
    std::string note;
    std::int32_t icon = 0;
    // Kept in the file and copied with the pushpin; nothing reads it.
    std::uint32_t reserved = 0;
};

// What a pushpin holds that none can (a value outside the range of
// impossibleValue, a character no one types into a name or note, a time no
// fix gives), e.g. "a text with the character U+0001"; "" when nothing. The
// pushpin file's reader refuses a record with any of it, so nothing that
// would be refused enters the collection.
std::string impossiblePushpin(const Pushpin& pushpin, ValueRange range = ValueRange::Stored);

// The parts of that check, for the pushpin file's reader, which looks at the
// texts as stored. A character no one can type into a name or note: control
// characters other than tab and line ends, and the two non-characters at the
// end of the plane (halves of surrogate pairs standing alone cannot be in
// UTF-8).
bool impossibleCharacter(char32_t c);
// How a problem names a character a name or note cannot hold.
std::string characterText(char32_t c);
// A time no fix gives ("" when it is a possible one).
std::string impossibleTime(const GpsDateTime& time);

}  // namespace wp2
