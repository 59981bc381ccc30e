// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receiver link: drives the serial port and hands what it reads to the
// decoder (gps_decoder.h), which owns the receiver state, the track log and
// the statistics. The link owns the port and its reader, the refresh timer
// with its silence rules and reconnection, the raw-sentence test mode and the
// warm start. What the decoder holds is reached through decoder().

#include <memory>
#include <string>
#include <string_view>

#include "core/base/clock.h"
#include "core/base/result.h"
#include "core/base/services.h"
#include "core/gps/gps_decoder.h"
#include "core/gps/port_map.h"
#include "core/gps/serial_port.h"
#include "core/gps/warm_start.h"

namespace wp2 {

class DoubleSetting;
class GpsLink;
class IntSetting;
class Timers;

// The edit view of the set-up dialog's test mode, which shows raw sentences.
class TestView {
public:
    virtual ~TestView() = default;
    // Puts text (received bytes, a line end, or nothing for a failed line) at
    // the end of the last line.
    virtual void appendAtEnd(std::string_view text) = 0;
    virtual void scrollLineDown() = 0;
};

// The program's one installed receiver link, or none.
struct LinkSlot {
    GpsLink* link = nullptr;
};

class GpsLink {
public:
    // The link reads the time through clock and its settings and port map
    // through settings (which must outlive it), and traces port failures
    // there. Without a track log it records no track.
    GpsLink(Clock& clock, const SettingsServices& settings,
            std::unique_ptr<TrackLog> track = nullptr);
    ~GpsLink();
    GpsLink(const GpsLink&) = delete;
    GpsLink& operator=(const GpsLink&) = delete;

    GpsDecoder& decoder() { return decoder_; }
    const GpsDecoder& decoder() const { return decoder_; }

    // The decoder's state, the one thing nearly every caller reads.
    GpsState& state() { return decoder_.state(); }
    const GpsState& state() const { return decoder_.state(); }
    Clock& clock() { return clock_; }
    const SettingsServices& settings() const { return settings_; }

    // The talkers decoded, from the "AnyTalker" setting: 0 GPS only, anything
    // else (and no value at all) any talker.
    void loadTalkerSetting();

    // ---- Port and link control ----

    static constexpr int kMinRefreshInterval = 100;
    static constexpr std::uint32_t kReconnectRetryMs = 500;
    static constexpr std::time_t kFixTimeout = 3;   // s without a fix: the fix is dropped
    static constexpr std::time_t kDataTimeout = 4;  // s without a valid sentence: data invalid
    static constexpr std::time_t kLinkTimeout = 6;  // s without a valid sentence: reconnect

    // The port the link opens and the timers it runs on (the user-interface
    // thread's). Both must be given before the link is started.
    void setSerialPort(std::unique_ptr<SerialPort> port);
    void setTimers(Timers* timers) { timers_ = timers; }
    Timers* timers() const { return timers_; }
    void setPortMap(PortMap map) { portMap_ = std::move(map); }
    SerialPort* serialPort() { return port_.get(); }
    const PortMap& portMap() const { return portMap_; }

    // Makes this the slot's link. Another link in the slot is shut down first
    // (its owner still deletes it), and then the result is true: the caller
    // tells the user the driver was installed already. With openNow the link
    // starts on port 1. The slot must outlive the link, which leaves it when
    // destroyed.
    bool install(LinkSlot& slot, bool openNow);
    // Closes the port, ends any reconnecting and posts the end-of-link notice
    // to the other links. Also done by the destructor when not done before.
    void destroy();

    // Opens the port (-1: the stored port number, which otherwise takes the
    // given one) and starts its reader. False when the port cannot be opened.
    bool openPort(int port);
    // Stops the refresh timer (clearing every flag) and closes the port.
    bool closePort();
    // Normal operation: refresh timer, LinkOpen, warm start re-armed.
    bool start(int port);
    // Raw-sentence display into view instead of decoding.
    bool startTest(int port, TestView* view);
    void stop();
    // True when LinkOpen is set, otherwise the result of start(port).
    bool ensureLinkOpen(int port);

    // Values below 100 ms are refused (the failure's reason is the text for
    // the user); the value applies from the next start.
    Result<> setRefreshInterval(int ms);
    int refreshInterval() const { return refreshInterval_; }
    std::string refreshIntervalText() const;

    void setLineSettings(int baudRate, int dataBits, int stopBits, int parity);
    const LineSettings& lineSettings() const { return line_; }
    int portNumber() const { return line_.port; }
    void setPortNumber(int port) { line_.port = port; }

    bool running() const { return running_; }
    bool scanning() const { return scanning_; }
    void setScanning(bool on) { scanning_ = on; }
    bool reconnecting() const { return reconnectTimerId_ != 0; }
    TestView* testView() const { return testView_; }

    // One refresh: decode what arrived, then the silence rules (3 s fix, 4 s
    // data, 6 s reconnect). Returns whether PositionValid is set.
    bool refreshCycle();
    // The refresh timer's callbacks in normal and in test mode.
    void linkTick();
    void testTick();

    // ---- Warm start ----

    WarmStartState& warmStart() { return warm_; }
    const WarmStartState& warmStart() const { return warm_; }
    // At start-up: the stored position and times, when both times exist and
    // the position is not the "none" value 10.0.
    void loadWarmStart(const DoubleSetting& lastLat, const DoubleSetting& lastLong,
                       const IntSetting& warmStartSetting);
    // At exit, when there is data: "LastLTM", "LastUTC", then the position.
    void saveWarmStart(DoubleSetting& lastLat, DoubleSetting& lastLong);
    void setWarmStartData(double latitude, double longitude, std::time_t localTime,
                          std::time_t utcTime);
    // hasData; when true the position, the device time of the fix and lastUtc.
    bool getWarmStartData(double& latitude, double& longitude, std::time_t& localTime,
                          std::time_t& utcTime) const;
    void captureFix();
    void warmStartTick();
    void rearm();
    std::size_t buildCommand(char* buffer, std::size_t size, std::time_t now, long offset) const;

private:
    void listenForEndNotice();
    bool startPort(int port);
    void beginReconnect();
    void retryReconnect();
    void cancelReconnect();
    void stopRefreshTimer();
    // Takes what the port has received into the receive buffer.
    void collectReceived();

    Clock& clock_;
    SettingsServices settings_;
    GpsDecoder decoder_;
    LineSettings line_;
    PortMap portMap_;
    Timers* timers_ = nullptr;
    int refreshInterval_ = 1000;
    int timerId_ = 0;
    bool running_ = false;
    bool scanning_ = false;
    TestView* testView_ = nullptr;
    bool inTestTick_ = false;
    int reconnectTimerId_ = 0;
    int noticeSubscription_ = 0;
    bool destroyed_ = false;
    LinkSlot* slot_ = nullptr;
    WarmStartState warm_;
    // Declared last: destroyed first, so its reader is gone before the
    // decoder's receive buffer.
    std::unique_ptr<SerialPort> port_;
};

}  // namespace wp2
