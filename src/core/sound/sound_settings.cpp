// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/sound_settings.h"

#include "core/settings/settings_store.h"

namespace wp2 {

namespace {

constexpr const char* kSilentName = "SndSilent";
constexpr const char* kOverspeedName = "Overspeed";
// The overspeed sound when there is no settings store to read names from.
constexpr const char* kFallbackOverspeedSound = "Alarm1.wav";

}  // namespace

void SoundSettings::init(const SettingsServices& settings, SettingsStore* store,
                         UnitFormatter* formatter) {
    store_ = store;
    formatter_ = formatter;
    silent_.emplace(settings, kSilentName, true, 0);
    silent_->load();
    overspeed_.emplace(settings, kOverspeedName, true, kDefaultOverspeed);
    overspeed_->load();
    loadNames();
}

void SoundSettings::loadNames() {
    for (int i = 0; i < kSoundEventCount; ++i) {
        std::string& n = names_[static_cast<std::size_t>(i)];
        if (store_) {
            n = store_->readText(kSoundSettingNames[static_cast<std::size_t>(i)]).value_or("");
        } else {
            n = i == index(SoundEvent::Overspeed) ? kFallbackOverspeedSound : kNoSoundName;
        }
    }
}

bool SoundSettings::saveNames() {
    if (!store_) {
        return false;
    }
    bool all = true;
    for (int i = 0; i < kSoundEventCount; ++i) {
        std::size_t k = static_cast<std::size_t>(i);
        all = store_->writeText(kSoundSettingNames[k], names_[k]).has_value() && all;
    }
    return all;
}

bool SoundSettings::hasSound(SoundEvent e) const {
    const std::string& n = name(e);
    return !n.empty() && n != kNoSoundName;
}

int SoundSettings::silent() const {
    return silent_ ? silent_->get() : 0;
}

void SoundSettings::setSilent(int value) {
    if (silent_) {
        *silent_ = value;
    }
}

double SoundSettings::overspeedLimit() const {
    return overspeed_ ? overspeed_->get() : kDefaultOverspeed;
}

void SoundSettings::setOverspeedLimit(double metresPerSecond) {
    if (overspeed_) {
        *overspeed_ = metresPerSecond;
    }
}

}  // namespace wp2
