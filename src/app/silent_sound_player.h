// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sound player that plays nothing: headless runs have no one to hear it.

#include "core/sound/sound_player.h"

namespace wp2 {

class SilentSoundPlayer final : public SoundPlayer {
public:
    void playAsync(const std::string&) override {}
    bool playSync(const std::string&, int) override { return false; }
};

}  // namespace wp2
