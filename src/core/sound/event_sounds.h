// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sounds for the receiver's events. Once per dashboard tick the snapshot is
// compared with what was seen at the previous tick and at most one sound is
// started: overspeed first, then a fix gained, the receiver on, the receiver
// off, the signal lost. A started sound keeps others quiet for about a second
// (33 frames); an event that finds the sounds quiet-blocked is dropped, not
// queued. The silent switch turns it all off, including the watching.

#include <cstdint>

#include "core/sound/sound_event.h"
#include "core/sound/sound_player.h"
#include "core/sound/sound_settings.h"

namespace wp2 {

class SettingsStore;
class NavSnapshot;
class UnitFormatter;

class EventSounds {
public:
    // Length of a played sound in tenths of a second, for the quiet period.
    static constexpr std::uint32_t kSoundLength = 10;

    // The player must outlive this object.
    explicit EventSounds(SoundPlayer& player);
    EventSounds(const EventSounds&) = delete;
    EventSounds& operator=(const EventSounds&) = delete;

    // Keeps the snapshot (which must outlive this object), sets up the sound
    // settings with the store and formatter and loads the names.
    void init(const SettingsServices& settings, SettingsStore* store, UnitFormatter* formatter,
              const NavSnapshot* snapshot);

    // Once per dashboard tick with the frame counter.
    void tick(std::uint32_t frame);
    // A route alarm fired (Arrival, OffCourse): its sound starts at once,
    // even in another sound's quiet period, unless the silent switch is on
    // or the event has no sound. It starts a quiet period as the others do.
    void alarm(SoundEvent event, std::uint32_t frame);

    // The sound choices; the sound options dialog edits them.
    SoundSettings& settings() { return settings_; }

    bool busy() const { return busy_; }
    std::uint32_t quietUntil() const { return quietUntil_; }
    int previousLevel() const { return previousLevel_; }

private:
    void play(SoundEvent event, std::uint32_t length, std::uint32_t frame);

    const NavSnapshot* snapshot_ = nullptr;
    SoundSettings settings_;
    std::uint32_t quietUntil_ = 0;
    bool busy_ = false;
    int previousLevel_ = 1;
    SoundPlayer& player_;
};

}  // namespace wp2
