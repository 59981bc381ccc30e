// SPDX-License-Identifier: GPL-3.0-or-later
// GpsLink: the warm-start data, its capture each tick, its one send per
// start, and its storage in the settings.

#include "core/base/diagnostics.h"
#include "core/gps/gps_link.h"
#include "core/gps/gps_status_flags.h"
#include "core/nav/coordinate_text.h"
#include "core/settings/double_setting.h"
#include "core/settings/int_setting.h"
#include "core/settings/settings_store.h"

namespace wp2 {

using namespace GpsStatusFlags;

void GpsLink::loadWarmStart(const DoubleSetting& lastLat, const DoubleSetting& lastLong,
                            const IntSetting& warmStartSetting) {
    SettingsStore store(settings_.registry);
    const Result<std::string> localText = store.readLongText("LastLTM");
    const Result<std::string> utcText = localText ? store.readLongText("LastUTC") : localText;
    if (!localText || !utcText) {
        return;
    }
    // "LastLat" / "LastLong" hold kNoPosition when no position is stored.
    if (!isPosition(lastLat.get(), lastLong.get())) {
        return;
    }
    warm_.enabled = warmStartSetting.get() == 1;
    setWarmStartData(lastLat.get(), lastLong.get(), parseStoredTime(*localText),
                     parseStoredTime(*utcText));
}

void GpsLink::saveWarmStart(DoubleSetting& lastLat, DoubleSetting& lastLong) {
    if (!warm_.hasData) {
        return;
    }
    SettingsStore store(settings_.registry);
    // A store that cannot be written tells the user itself.
    (void)store.writeLongText("LastLTM", formatStoredTime(warm_.fixLocalTime));
    (void)store.writeLongText("LastUTC",
                              formatStoredTime(toCalendarTime(decoder_.state().lastUtc)));
    lastLat = warm_.latitude;
    lastLong = warm_.longitude;
    for (DoubleSetting* setting : {&lastLat, &lastLong}) {
        settings_.diagnostics.traceFailure(setting->save());
    }
}

void GpsLink::setWarmStartData(double latitude, double longitude, std::time_t localTime,
                               std::time_t utcTime) {
    if (warm_.state == WarmStartState::kNoData) {
        warm_.state = WarmStartState::kArmed;
    }
    warm_.latitude = latitude;
    warm_.longitude = longitude;
    warm_.fixLocalTime = localTime;
    decoder_.state().lastUtc = fromCalendarTime(utcTime);
    warm_.hasData = true;
}

bool GpsLink::getWarmStartData(double& latitude, double& longitude, std::time_t& localTime,
                               std::time_t& utcTime) const {
    if (warm_.hasData) {
        latitude = warm_.latitude;
        longitude = warm_.longitude;
        localTime = warm_.fixLocalTime;
        utcTime = toCalendarTime(decoder_.state().lastUtc);
    }
    return warm_.hasData;
}

void GpsLink::captureFix() {
    if (decoder_.state().has(Fix2D | Fix3D)) {
        warm_.fixLocalTime = clock_.now();
        warm_.latitude = decoder_.state().latitude;
        warm_.longitude = decoder_.state().longitude;
        warm_.hasData = true;
    }
}

void GpsLink::rearm() {
    if (warm_.state == WarmStartState::kSent) {
        warm_.ticks = 0;
        warm_.state = WarmStartState::kArmed;
    }
}

void GpsLink::warmStartTick() {
    ++warm_.ticks;
    if (warm_.state != WarmStartState::kArmed || !warm_.enabled || !port_ || !port_->isOpen() ||
        !port_->takesCommands() || !running_ || scanning_ ||
        warm_.ticks != WarmStartState::kSendTick || decoder_.state().has(Fix2D | Fix3D)) {
        return;
    }
    long offset = static_cast<long>(warm_.fixLocalTime - toCalendarTime(decoder_.state().lastUtc));
    warm_.state = WarmStartState::kSent;
    char command[kWarmStartBufferSize];
    std::size_t n = buildCommand(command, sizeof command, clock_.now(), offset);
    if (n == 0) {
        return;
    }
    port_->purge();
    port_->write(command, n);
}

std::size_t GpsLink::buildCommand(char* buffer, std::size_t size, std::time_t now,
                                  long offset) const {
    return wp2::buildCommand(warm_.latitude, warm_.longitude, now, offset, buffer, size);
}

}  // namespace wp2
