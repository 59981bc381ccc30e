// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/event_sounds.h"

#include "core/gps/nav_snapshot.h"
#include "core/sound/wave_folder.h"

namespace wp2 {

namespace {

bool hasFix(int level) {
    return level >= 3 && level <= 5;
}

// "a is later than b" on the wrapping 32-bit frame counter.
bool later(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b) > 0;
}

}  // namespace

EventSounds::EventSounds(SoundPlayer& player) : player_(player) {}

void EventSounds::init(const SettingsServices& settings, SettingsStore* store,
                       UnitFormatter* formatter, const NavSnapshot* snapshot) {
    snapshot_ = snapshot;
    settings_.init(settings, store, formatter);
    previousLevel_ = 1;
    busy_ = false;
}

void EventSounds::tick(std::uint32_t frame) {
    if (!snapshot_ || settings_.silent() != 0) {
        return;
    }
    if (snapshot_->speed > settings_.overspeedLimit()) {
        play(SoundEvent::Overspeed, kSoundLength, frame);
    }
    const int level = snapshot_->fixLevel;
    const int previous = previousLevel_;
    if (previous == 2 && hasFix(level)) {
        play(SoundEvent::FixOk, kSoundLength, frame);
    }
    if (previous == 1 && level != 1) {
        play(SoundEvent::GpsOn, kSoundLength, frame);
    }
    if (previous != 1 && level == 1) {
        play(SoundEvent::GpsOff, kSoundLength, frame);
    }
    if ((level == 1 || level == 2) && hasFix(previous)) {
        play(SoundEvent::NoFix, kSoundLength, frame);
    }
    if (busy_ && later(frame, quietUntil_)) {
        busy_ = false;
    }
    previousLevel_ = level;
}

void EventSounds::alarm(SoundEvent event, std::uint32_t frame) {
    if (settings_.silent() != 0) {
        return;
    }
    busy_ = false;
    play(event, kSoundLength, frame);
}

void EventSounds::play(SoundEvent event, std::uint32_t length, std::uint32_t frame) {
    if (busy_ || !settings_.hasSound(event)) {
        return;
    }
    busy_ = true;
    quietUntil_ = frame + length * 33 / 10;
    // Fire and forget: a file that is missing or cannot be played still
    // counts as played.
    player_.playAsync(soundFilePath(settings_.name(event)));
}

}  // namespace wp2
