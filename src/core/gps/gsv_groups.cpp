#include "core/gps/gsv_groups.h"

#include <algorithm>

#include "core/gps/nmea_field.h"

namespace wp2 {

namespace {

// A message count or number: one to three digits and nothing else.
bool readCount(std::u16string_view field, int& value) {
    if (field.empty() || field.size() > 3) {
        return false;
    }
    value = 0;
    for (char16_t c : field) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + (c - u'0');
    }
    return true;
}

}  // namespace

bool GsvGroups::decode(std::u16string_view line, SkySatellites& sky) {
    if (line.size() < 7 || line[6] != u',') {
        return false;
    }
    std::size_t end = line.find(u'*');
    std::u16string_view body = line.substr(7, end == std::u16string_view::npos ? end : end - 7);
    const auto fieldCount = static_cast<int>(std::count(body.begin(), body.end(), u',')) + 1;
    NmeaFields fields(body, 0);
    int total = 0;
    int number = 0;
    int inView = 0;
    if (!readCount(fields.next(), total) || !readCount(fields.next(), number) ||
        !readCount(fields.next(), inView) || total < 1 || number < 1 || number > total) {
        return false;
    }
    // After the counts: four fields per satellite, and with NMEA 4.11 the signal id.
    const int rest = fieldCount - 3;
    int signal = -1;
    if (rest % 4 == 1) {
        std::u16string_view last = body.substr(body.rfind(u',') + 1);
        signal = nmeaInt(last);
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
    for (int i = 0; i < rest / 4; ++i) {
        std::u16string_view prnField = fields.next();
        SatelliteInfo rec;
        rec.prn = nmeaInt(prnField);
        rec.elevation = nmeaInt(fields.next());
        rec.azimuth = nmeaInt(fields.next());
        rec.snr = nmeaInt(fields.next());
        rec.filled = 1;
        rec.constellation = constellationOf(line[1], line[2], rec.prn);
        if (!prnField.empty() && rec.prn > 0 && g.built < kMaxGroup) {
            g.building[static_cast<std::size_t>(g.built++)] = rec;
        }
    }
    g.next = number + 1;
    if (number == total) {
        g.next = 0;
        completed(g, sky);
    }
    return true;
}

GsvGroups::Group& GsvGroups::groupFor(char16_t talker0, char16_t talker1, int signal) {
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
    g.complete = g.building;
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
    merged_.clear();
    for (const Group& g : groups_) {
        for (int i = 0; g.hasComplete && i < g.count; ++i) {
            const SatelliteInfo& rec = g.complete[static_cast<std::size_t>(i)];
            auto same = std::find_if(merged_.begin(), merged_.end(), [&](const SatelliteInfo& m) {
                return m.prn == rec.prn && m.constellation == rec.constellation;
            });
            if (same == merged_.end()) {
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
