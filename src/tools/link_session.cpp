// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/link_session.h"

#include <signal.h>

#include <cerrno>
#include <cstdlib>

#include "core/waypoints/pushpin_messages.h"
#include "messages/message_box.h"
#include "platform/source_port.h"

namespace wp2::tool {

namespace {
volatile sig_atomic_t gStop = 0;

void onStopSignal(int) {
    gStop = 1;
}
}  // namespace

LinkSession::LinkSession() {
    link_ = std::make_unique<GpsLink>(clock_, settings_, std::make_unique<TrackLog>());
    link_->setSerialPort(std::make_unique<SourcePort>(diagnostics_));
    link_->setTimers(&timers_);
}

LinkSession::~LinkSession() {
    link_.reset();
}

void LinkSession::start() {
    TrackLog& track = *link_->decoder().trackLog();
    // The program's options and track so far; a tool session records nothing
    // into the program's autosave track.
    if (const TrackAutoLoad loaded = track.start(registry_); !loaded.damage.empty()) {
        showMessage(boxes_, loaded.damage, kApplicationCaption, MessageIcon::Exclamation);
    }
    track.autosavePath.clear();
}

void LinkSession::finish() {
    (void)link_->decoder().trackLog()->finish(registry_);  // the options only: no autosave file
}

void LinkSession::catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool LinkSession::stopRequested() {
    return gStop != 0;
}

bool parseNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) {
        return false;
    }
    value = v;
    return true;
}

}  // namespace wp2::tool
