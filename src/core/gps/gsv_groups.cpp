// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gsv_groups.h"

#include <algorithm>

#include "core/gps/nmea_field.h"

namespace wp2 {

namespace {

// A message count or number: one to three digits and nothing else.
bool readCount(std::string_view field, int& value) {
    if (field.empty() || field.size() > 3) {
        return false;
    }
    value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

// The comma-separated fields of a line between two positions.
struct FieldScanner {
    std::string_view line;
    std::size_t pos;
    std::size_t end;
    bool done = false;  // the last field was read

    std::string_view next() {
        const std::size_t start = pos;
        while (pos < end && line[pos] != ',') {
            ++pos;
        }
        return finish(start);
    }

    // The next field as nmeaInt reads it, read in the pass that finds its end.
    int nextInt() {
        const std::size_t start = pos;
        InlineInt number;
        for (; pos < end && line[pos] != ','; ++pos) {
            number.add(line[pos]);
        }
        return number.value(finish(start));
    }

    // The field from start to pos; moves past its ",".
    std::string_view finish(std::size_t start) {
        const std::string_view field(line.data() + start, pos - start);
        done = pos == end;
        pos += done ? 0 : 1;
        return field;
    }
};

}  // namespace

bool GsvGroups::decode(std::string_view line, SkySatellites& sky) {
    if (line.size() < 7 || line[6] != ',') {
        return false;
    }
    // Up to the "*" (where the checksum test found it): the counts, four
    // fields per satellite, and with NMEA 4.11 a last lone field, the signal id.
    const std::size_t star = line.size() - 3;
    FieldScanner fields{line, 7, line[star] == '*' ? star : std::min(line.find('*'), line.size())};
    int total = 0;
    int number = 0;
    int inView = 0;
    if (!readCount(fields.next(), total) || !readCount(fields.next(), number) ||
        !readCount(fields.next(), inView) || total < 1 || number < 1 || number > total) {
        return false;
    }
    int signal = -1;
    int read = 0;
    while (!fields.done) {
        const int prn = fields.nextInt();
        if (fields.done) {
            signal = prn;
            break;
        }
        SatelliteInfo& rec = message_[static_cast<std::size_t>(read)];
        rec.prn = prn;
        rec.elevation = fields.nextInt();
        rec.azimuth = fields.nextInt();
        if (fields.done) {
            break;  // a satellite cut short
        }
        rec.snr = fields.nextInt();
        rec.filled = 1;
        rec.constellation = constellationOf(line[1], line[2], prn);
        // An empty PRN field reads as 0, so a counted satellite had one.
        if (prn > 0 && read < kMaxGroup) {
            ++read;
        }
    }
    Group& g = groupFor(line[1], line[2], signal);
    if (number == 1) {
        g.total = total;
        g.next = 1;
        g.built = 0;
    }
    if (g.next != number || g.total != total) {
        g.next = 0;  // interrupted: the group is dropped
        return false;
    }
    auto& building = g.records[g.buildingHalf];
    for (int i = 0; i < read && g.built < kMaxGroup; ++i) {
        building[static_cast<std::size_t>(g.built++)] = message_[static_cast<std::size_t>(i)];
    }
    g.next = number + 1;
    if (number == total) {
        g.next = 0;
        completed(g, sky);
    }
    return true;
}

GsvGroups::Group& GsvGroups::groupFor(char talker0, char talker1, int signal) {
    for (Group& g : groups_) {
        if (g.talker[0] == talker0 && g.talker[1] == talker1 && g.signal == signal) {
            return g;
        }
    }
    if (static_cast<int>(groups_.size()) >= kMaxGroups) {
        auto oldest = std::min_element(
            groups_.begin(), groups_.end(),
            [](const Group& a, const Group& b) { return a.lastRound < b.lastRound; });
        groups_.erase(oldest);
    }
    Group& g = groups_.emplace_back();
    g.talker[0] = talker0;
    g.talker[1] = talker1;
    g.signal = signal;
    return g;
}

void GsvGroups::completed(Group& g, SkySatellites& sky) {
    g.buildingHalf ^= 1;
    g.count = g.built;
    g.hasComplete = true;
    g.olderRound = g.previousRound;
    g.previousRound = g.lastRound;
    g.lastRound = ++completions_;
    // Gone: a group that did not complete since this one's round before last.
    for (Group& other : groups_) {
        if (&other != &g && other.hasComplete && other.lastRound < g.olderRound) {
            other.hasComplete = false;
            other.count = 0;
        }
    }
    publish(sky);
}

void GsvGroups::publish(SkySatellites& sky) {
    // One talker alone (a GPS-only receiver): its group as it is.
    const Group* only = nullptr;
    int withData = 0;
    for (const Group& g : groups_) {
        withData += g.hasComplete;
        only = g.hasComplete ? &g : only;
    }
    if (withData == 1 && only->count <= SkySatellites::kMax) {
        std::copy_n(only->records[only->buildingHalf ^ 1].begin(), only->count,
                    sky.records.begin());
        sky.count = only->count;
        return;
    }
    merged_.clear();
    for (const Group& g : groups_) {
        // A satellite is looked for among the groups before this one only.
        const auto before = static_cast<std::ptrdiff_t>(merged_.size());
        for (int i = 0; g.hasComplete && i < g.count; ++i) {
            const SatelliteInfo& rec = g.records[g.buildingHalf ^ 1][static_cast<std::size_t>(i)];
            auto same = std::find_if(
                merged_.begin(), merged_.begin() + before, [&](const SatelliteInfo& m) {
                    return m.prn == rec.prn && m.constellation == rec.constellation;
                });
            if (same == merged_.begin() + before) {
                merged_.push_back(rec);
            } else {
                same->snr = std::max(same->snr, rec.snr);
            }
        }
    }
    sky.count = 0;
    const auto kMax = static_cast<std::size_t>(SkySatellites::kMax);
    if (merged_.size() <= kMax) {
        for (const SatelliteInfo& m : merged_) {
            sky.records[static_cast<std::size_t>(sky.count++)] = m;
        }
        return;
    }
    // Too many for the sky view: the weakest signals go, the order stays.
    std::vector<int> snrs;
    for (const SatelliteInfo& m : merged_) {
        snrs.push_back(m.snr);
    }
    std::nth_element(snrs.begin(), snrs.begin() + (kMax - 1), snrs.end(), std::greater<>());
    const int weakest = snrs[kMax - 1];  // the weakest signal that stays
    auto weakestKept = static_cast<std::ptrdiff_t>(kMax) -
                       std::count_if(merged_.begin(), merged_.end(),
                                     [&](const SatelliteInfo& m) { return m.snr > weakest; });
    for (const SatelliteInfo& m : merged_) {
        if (m.snr > weakest || (m.snr == weakest && weakestKept-- > 0)) {
            sky.records[static_cast<std::size_t>(sky.count++)] = m;
        }
    }
}

}  // namespace wp2
