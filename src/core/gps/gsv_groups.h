// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole sky from the GSV sentences of multi-constellation receivers. Each
// talker (GP, GL, GA, GB, ...) and, with NMEA 4.11, each signal of a talker
// sends its own group of messages 1..N. A group counts once all its messages
// arrived in order; one with a message missing or out of order is dropped,
// never mixed with the next. The published sky is the union of the latest
// complete group of every talker and signal: a satellite reported for two
// signals counts once, with its best SNR, and at most 40 satellites are kept
// (the weakest go first). A group that has not come back while another one
// completed two rounds is taken to be gone.

#include <array>
#include <string_view>
#include <vector>

#include "core/gps/sky_satellites.h"

namespace wp2 {

class GsvGroups {
public:
    // Records one group can hold: nine messages of four satellites.
    static constexpr int kMaxGroup = 36;
    // Groups followed at once; a new talker or signal beyond them replaces
    // the one heard from longest ago.
    static constexpr int kMaxGroups = 16;

    // Reads a GSV sentence of any talker. True when it was read; when it
    // completed a group, the union is published into sky.
    bool decode(std::string_view line, SkySatellites& sky);

private:
    struct Group {
        char talker[2] = {};
        int signal = -1;  // NMEA 4.11 signal id; -1 without one
        int total = 0;    // messages of the group being built
        int next = 0;     // message expected next; 0 when none is being built
        int built = 0;
        int count = 0;  // records of the latest complete group
        bool hasComplete = false;
        // The group being built and the latest complete one, in turns.
        std::array<SatelliteInfo, kMaxGroup> records[2]{};
        int buildingHalf = 0;
        // Completion numbers of the latest complete group and of the two before it.
        unsigned lastRound = 0;
        unsigned previousRound = 0;
        unsigned olderRound = 0;
    };

    Group& groupFor(char talker0, char talker1, int signal);
    void completed(Group& g, SkySatellites& sky);
    void publish(SkySatellites& sky);

    std::vector<Group> groups_;
    unsigned completions_ = 0;
    std::array<SatelliteInfo, kMaxGroup> message_{};  // the satellites of the message being read
    std::vector<SatelliteInfo> merged_;
};

}  // namespace wp2
