// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The events that can play a sound, their names in the sound options list and
// the settings that hold the file name of each.

#include <array>

namespace wp2 {

// Arrival and OffCourse are the route alarms' (core/routes/route_alarms.h);
// the program plays them when an alarm fires.
enum class SoundEvent {
    GpsOn = 0,
    GpsOff = 1,
    FixOk = 2,
    NoFix = 3,
    Overspeed = 4,
    Arrival = 5,
    OffCourse = 6
};

inline constexpr int kSoundEventCount = 7;

inline constexpr std::array<const char*, kSoundEventCount> kSoundEventNames = {
    "GPS Receiver On", "GPS Receiver Off", "Position Calculated", "Signal Lost",
    "Overspeed",       "Arrival",          "Off Course"};

inline constexpr std::array<const char*, kSoundEventCount> kSoundSettingNames = {
    "SndGpsOn", "SndGpsOff", "SndFixOK", "SndNoFix", "SndOverspeed", "SndArrival", "SndOffCourse"};

// The sound list's entry for "no sound".
inline constexpr const char* kNoSoundName = "(None)";
// The folder the sound files live in, as the handheld names it.
inline constexpr const char* kSoundFolder = "Windows/";

inline constexpr int index(SoundEvent e) {
    return static_cast<int>(e);
}

}  // namespace wp2
