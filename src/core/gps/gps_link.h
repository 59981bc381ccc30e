#pragma once
// The receiver link: the decoded GpsState, the sentence decoders, the live
// track log, the statistics and the receive buffer the serial reader fills.
// The first part works from text alone: taking lines from the buffer, testing
// and decoding them, and the diagnostic reports. The second part drives the
// serial port: start and stop, the refresh timer with its silence rules and
// reconnection, the raw-sentence test mode and the warm start.

#include <memory>
#include <string>
#include <string_view>

#include "core/base/clock.h"
#include "core/gps/gga_decoder.h"
#include "core/gps/gps_condition.h"
#include "core/gps/gps_state.h"
#include "core/gps/gps_statistics.h"
#include "core/gps/gsa_decoder.h"
#include "core/gps/port_map.h"
#include "core/gps/receive_buffer.h"
#include "core/gps/rmc_decoder.h"
#include "core/gps/serial_port.h"
#include "core/gps/warm_start.h"
#include "core/track/track_log.h"

namespace wp2 {

class CRegDouble;
class CRegInt;
class Timers;

// The edit view of the set-up dialog's test mode, which shows raw sentences.
class TestView {
public:
    virtual ~TestView() = default;
    // Puts text at the end of the last line.
    virtual void appendAtEnd(const std::u16string& text) = 0;
    virtual void scrollLineDown() = 0;
};

// Told about every fix the decoding offers to the track log, and about the
// end of every applied line. Tools use it to follow a replay.
class FixObserver {
public:
    virtual ~FixObserver() = default;
    virtual void fixOffered(const TrackPoint& point, bool kept) = 0;
    virtual void sentenceApplied(std::u16string_view line) = 0;
};

class GpsLink {
public:
    // The link reads the time through clock (which must outlive it). Without a
    // track log given, it makes its own with the default autosave file.
    explicit GpsLink(Clock& clock, std::unique_ptr<TrackLog> track = nullptr);
    virtual ~GpsLink();
    GpsLink(const GpsLink&) = delete;
    GpsLink& operator=(const GpsLink&) = delete;

    GpsState& state() { return state_; }
    const GpsState& state() const { return state_; }
    TrackLog& trackLog() { return *track_; }
    const TrackLog& trackLog() const { return *track_; }
    GpsStatistics& statistics() { return stats_; }
    const GpsStatistics& statistics() const { return stats_; }
    ReceiveBuffer& receiveBuffer() { return buffer_; }
    const RmcDecoder& rmcDecoder() const { return rmc_; }
    const GsaDecoder& gsaDecoder() const { return gsa_; }
    const GgaDecoder& ggaDecoder() const { return gga_; }
    Clock& clock() { return clock_; }

    // The checksum test; a passing line sets DataValid and stamps lastDataTime.
    bool checksumOk(std::u16string_view line);

    // Cuts the next line from the receive buffer: the line when it passes the
    // checksum, "Error" when it does not, empty when no complete line is buffered.
    std::u16string takeLine();
    // The same into `line`, which is left alone when nothing was taken.
    bool takeLine(std::u16string& line);

    // Decodes one line into the state and offers RMC and GGA fixes to the track log.
    void applySentence(std::u16string_view line);

    // The first half of the refresh cycle: clears Moving, counts the refresh
    // and applies every complete line in the buffer (each becomes lastSentence).
    void decodePending();

    GpsCondition condition() const { return wp2::condition(state_); }
    std::string statisticsReport() const;
    std::string statusReport() const;

    void setFixObserver(FixObserver* observer) { observer_ = observer; }

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

    // Makes this the current link. Another current link is shut down first
    // ("Driver is already installed"); its owner still deletes it. With
    // openNow the link starts on port 1.
    void install(bool openNow);
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

    // Values below 100 ms are refused with a message; the value applies from
    // the next start.
    bool setRefreshInterval(int ms);
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
    void loadWarmStart(const CRegDouble& lastLat, const CRegDouble& lastLong,
                       const CRegInt& warmStartSetting);
    // At exit, when there is data: "LastLTM", "LastUTC", then the position.
    void saveWarmStart(CRegDouble& lastLat, CRegDouble& lastLong);
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

    void applyRmc();
    void applyGsa();
    void applyGga();
    bool offerToTrack(TrackPoint& point);
    std::string signalLines() const;

    Clock& clock_;
    GpsState state_;
    std::unique_ptr<TrackLog> track_;
    GpsStatistics stats_;
    ReceiveBuffer buffer_;
    RmcDecoder rmc_;
    GsaDecoder gsa_;
    GgaDecoder gga_;
    FixObserver* observer_ = nullptr;

    // Port and link control.
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
    WarmStartState warm_;
    // Declared last: destroyed first, so its reader is gone before the buffer.
    std::unique_ptr<SerialPort> port_;
};

// The one receiver link of the process, or none.
GpsLink* currentLink();
void setCurrentLink(GpsLink* link);

}  // namespace wp2
