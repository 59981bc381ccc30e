// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Playing a wave file by name. The Qt layer plays through the audio device;
// tests record what was asked for.

#include <string>

namespace wp2 {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the file and returns at once. Whether it plays is not
    // reported; a missing or unplayable file is silently ignored.
    virtual void playAsync(const std::string& path) = 0;
    // Plays the file and returns when it has ended, or at the latest after
    // timeLimitMs. False when the file cannot be played.
    virtual bool playSync(const std::string& path, int timeLimitMs) = 0;
};

}  // namespace wp2
