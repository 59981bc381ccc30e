// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gps_link.h"

#include <cerrno>
#include <utility>

#include "core/base/cformat.h"
#include "core/base/timers.h"
#include "core/gps/comm_error.h"
#include "core/gps/end_of_atlas_pad.h"
#include "core/gps/gps_status_flags.h"
#include "core/settings/int_setting.h"

namespace wp2 {

using namespace GpsStatusFlags;

GpsLink::GpsLink(Clock& clock, const SettingsServices& settings, std::unique_ptr<TrackLog> track)
    : clock_(clock),
      settings_(settings),
      decoder_(clock, std::move(track)),
      portMap_(settings.registry) {
    decoder_.receiveBuffer().traceTo(&settings.diagnostics);
    listenForEndNotice();
}

GpsLink::~GpsLink() {
    destroy();
    if (slot_ && slot_->link == this) {
        slot_->link = nullptr;
    }
}

void GpsLink::listenForEndNotice() {
    noticeSubscription_ = EndOfAtlasPad::subscribe([this] {
        // Another link went away: give up reconnecting; the link stays closed
        // until someone starts it again.
        cancelReconnect();
    });
}

void GpsLink::setSerialPort(std::unique_ptr<SerialPort> port) {
    closePort();
    port_ = std::move(port);
}

bool GpsLink::install(LinkSlot& slot, bool openNow) {
    GpsLink* other = slot.link;
    const bool tookOver = other && other != this;
    if (tookOver) {
        // Shut down, not deleted: the object belongs to its owner.
        other->destroy();
    }
    slot.link = this;
    slot_ = &slot;
    if (openNow) {
        start(1);
    }
    return tookOver;
}

void GpsLink::destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    cancelReconnect();
    closePort();
    EndOfAtlasPad::unsubscribe(noticeSubscription_);
    noticeSubscription_ = 0;
    EndOfAtlasPad::post();
}

void GpsLink::loadTalkerSetting() {
    IntSetting anyTalker(settings_, kAnyTalkerSetting, true, 1);
    anyTalker.load();
    decoder_.setTalkers(anyTalker.get() == 0 ? Talkers::GpsOnly : Talkers::Any);
}

bool GpsLink::openPort(int port) {
    if (port != -1) {
        line_.port = port;
    }
    if (!port_) {
        reportCommError(settings_.diagnostics, "Invalid Comms Port Opening.", ENODEV);
        return false;
    }
    if (!port_->open(portMap_.device(line_.port), line_.framing())) {
        return false;
    }
    // A new reader starts from an empty buffer.
    decoder_.receiveBuffer().reset();
    if (!port_->startReader([this](std::uint8_t byte) { decoder_.receiveBuffer().append(byte); })) {
        port_->close();
        return false;
    }
    return true;
}

void GpsLink::stopRefreshTimer() {
    if (timers_ && timerId_ != 0) {
        timers_->stop(timerId_);
    }
    timerId_ = 0;
}

bool GpsLink::closePort() {
    if (decoder_.state().has(LinkOpen)) {
        stopRefreshTimer();
        decoder_.state().flags = 0;
    }
    // Also releases a port whose reader ended on its own, and joins that reader.
    if (port_) {
        port_->close();
    }
    running_ = false;
    scanning_ = false;
    return true;
}

bool GpsLink::startPort(int port) {
    closePort();
    if (!timers_ || !openPort(port)) {
        return false;
    }
    timerId_ = timers_->start(static_cast<std::uint32_t>(refreshInterval_), [this] { linkTick(); });
    decoder_.state().set(LinkOpen);
    decoder_.state().lastDataTime = clock_.now();
    rearm();
    running_ = true;
    return true;
}

bool GpsLink::start(int port) {
    // An explicit start supersedes reconnecting.
    cancelReconnect();
    return startPort(port);
}

bool GpsLink::startTest(int port, TestView* view) {
    cancelReconnect();
    closePort();
    if (!timers_ || !openPort(port)) {
        return false;
    }
    testView_ = view;
    timerId_ = timers_->start(static_cast<std::uint32_t>(refreshInterval_), [this] { testTick(); });
    decoder_.state().set(LinkOpen);
    return true;
}

void GpsLink::stop() {
    cancelReconnect();
    closePort();
}

bool GpsLink::ensureLinkOpen(int port) {
    if (decoder_.state().has(LinkOpen)) {
        return true;
    }
    return start(port);
}

Result<> GpsLink::setRefreshInterval(int ms) {
    if (ms < kMinRefreshInterval) {
        return fail("set the refresh interval",
                    "Data refresh interval\r\n is too short\r\n The minimum is 100 msec.");
    }
    refreshInterval_ = ms;
    return {};
}

std::string GpsLink::refreshIntervalText() const {
    return cformat("%i", refreshInterval_);
}

void GpsLink::setLineSettings(int baudRate, int dataBits, int stopBits, int parity) {
    line_.baudRate = baudRate;
    line_.dataBits = static_cast<std::uint8_t>(dataBits);
    line_.stopBits = static_cast<std::uint8_t>(stopBits);
    line_.parity = static_cast<std::uint16_t>(parity);
}

bool GpsLink::refreshCycle() {
    // Clears Moving, counts the refresh and applies every buffered line. (A
    // handheld would also reset its idle timer here; a desktop has none.)
    collectReceived();
    decoder_.decodePending();
    const std::time_t now = clock_.now();
    if (now - decoder_.state().lastFixTime > kFixTimeout) {
        decoder_.dropFix();
    }
    if (now - decoder_.state().lastDataTime > kDataTimeout) {
        decoder_.state().clear(DataValid);
    }
    if (now - decoder_.state().lastDataTime > kLinkTimeout) {
        beginReconnect();
    }
    return decoder_.state().has(PositionValid);
}

void GpsLink::beginReconnect() {
    closePort();
    if (timers_ && reconnectTimerId_ == 0) {
        // Retried from the timer every 500 ms, so the user interface keeps
        // running meanwhile.
        reconnectTimerId_ = timers_->start(kReconnectRetryMs, [this] { retryReconnect(); });
    }
}

void GpsLink::retryReconnect() {
    if (startPort(line_.port)) {
        cancelReconnect();
    }
}

void GpsLink::cancelReconnect() {
    if (timers_ && reconnectTimerId_ != 0) {
        timers_->stop(reconnectTimerId_);
    }
    reconnectTimerId_ = 0;
}

void GpsLink::collectReceived() {
    if (port_ && port_->isOpen()) {
        port_->collect();
    }
}

void GpsLink::linkTick() {
    refreshCycle();
    captureFix();
    warmStartTick();
}

void GpsLink::testTick() {
    if (inTestTick_) {
        return;
    }
    inTestTick_ = true;
    collectReceived();
    ReceivedLine line;
    while (decoder_.takeLine(line)) {
        // A valid line starts with its "$"; a failed one shows as nothing.
        const std::string text = line.valid() ? line.text + "\r\n" : std::string();
        if (testView_) {
            testView_->appendAtEnd(text);
            testView_->scrollLineDown();
        }
    }
    inTestTick_ = false;
}

}  // namespace wp2
