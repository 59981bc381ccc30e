// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sound player that only notes what it was asked to play.

#include <string>
#include <vector>

#include "core/sound/sound_player.h"

namespace wp2::test {

class RecordingSoundPlayer final : public SoundPlayer {
public:
    void playAsync(const std::string& path) override { played.push_back(path); }
    bool playSync(const std::string& path, int timeLimitMs) override {
        played.push_back(path);
        lastTimeLimitMs = timeLimitMs;
        return syncResult;
    }

    std::vector<std::string> played;
    int lastTimeLimitMs = 0;
    bool syncResult = true;
};

}  // namespace wp2::test
