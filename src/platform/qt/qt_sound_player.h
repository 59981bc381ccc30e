// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays wave files through Qt Multimedia's audio output.
//
// The file is read and checked here and its samples handed to a QAudioSink.
// (QSoundEffect is not used: Qt 6.4's sample cache behind it can deadlock at
// process exit while a sample is loading, and a file its decoder cannot read
// stays "loading" for ever without an error.) Fire-and-forget playing starts
// the sink and returns; a new sound replaces one still playing. Synchronous
// playing waits in a local event loop for a time worked out from the file's
// own length and returns at the latest then, whatever the device reports.
// Both need a QCoreApplication; without one nothing plays.

#include <memory>
#include <string>

#include "core/sound/sound_player.h"

namespace wp2 {

class QtSoundPlayer final : public SoundPlayer {
public:
    // Extra time a synchronous play waits beyond the file's length for the
    // device to start and drain.
    static constexpr int kSlackMs = 500;
    // Larger files are not played (about three minutes of CD-quality stereo).
    static constexpr std::uint64_t kMaxSampleBytes = 32u << 20;

    QtSoundPlayer();
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    void playAsync(const std::string& path) override;
    // False when there is no audio output, the file is missing or not a
    // playable wave file, or the output reports an error within the wait.
    // Returns after the file's length plus kSlackMs at the latest, and never
    // later than timeLimitMs. User input is held back while it waits.
    bool playSync(const std::string& path, int timeLimitMs) override;

    struct Playback;

private:
    std::unique_ptr<Playback> current_;
};

// Picks Qt Multimedia's GStreamer backend unless the user chose one through
// QT_MEDIA_BACKEND. Call before the first multimedia object is made.
void preferGStreamerMediaBackend();

}  // namespace wp2
