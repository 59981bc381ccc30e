// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound choices: the file name of each event's sound, the silent switch
// ("SndSilent") and the overspeed limit ("Overspeed", metres per second). The
// sound options dialog edits this object; the event sounds read it every tick.

#include <array>
#include <optional>
#include <string>

#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/sound/sound_event.h"

namespace wp2 {

class SettingsStore;
class UnitFormatter;

class SoundSettings {
public:
    static constexpr double kDefaultOverspeed = 11.2;  // m/s, 40.32 km/h

    SoundSettings() = default;
    SoundSettings(const SoundSettings&) = delete;
    SoundSettings& operator=(const SoundSettings&) = delete;

    // Keeps the store and the formatter (either may be null), creates the
    // "SndSilent" and "Overspeed" settings of settings (which must outlive
    // this object) and loads the names.
    void init(const SettingsServices& settings, SettingsStore* store, UnitFormatter* formatter);

    // Reads every event's name from its setting; an absent value is the empty
    // name. Without a store: "(None)" for all but Overspeed, "Alarm1.wav" for it.
    void loadNames();
    // Writes every event's name to its setting (short text); true when all were written.
    bool saveNames();

    const std::string& name(SoundEvent e) const { return names_[index(e)]; }
    // Takes effect at once, before anything is saved.
    void setName(SoundEvent e, const std::string& name) { names_[index(e)] = name; }
    // An event has a sound when its name is neither "(None)" nor empty.
    bool hasSound(SoundEvent e) const;

    // The silent switch and the limit, saved at once when set. Before init
    // they read as their defaults.
    int silent() const;
    void setSilent(int value);
    double overspeedLimit() const;
    void setOverspeedLimit(double metresPerSecond);

    SettingsStore* store() const { return store_; }
    UnitFormatter* formatter() const { return formatter_; }

private:
    SettingsStore* store_ = nullptr;
    UnitFormatter* formatter_ = nullptr;
    std::array<std::string, kSoundEventCount> names_;
    std::optional<IntSetting> silent_;
    std::optional<DoubleSetting> overspeed_;
};

}  // namespace wp2
