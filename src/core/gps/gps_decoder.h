// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the text the receiver sent into GpsState: cuts lines from the receive
// buffer, tests their checksums, decodes RMC, GGA, GSA and GSV, offers the
// fixes to the track log and keeps the counters and reports of decoding. It
// knows nothing of ports or timers; the link (gps_link.h) drives it.
//
// Two ways of reading the talkers:
// - Any talker (the default): RMC, GGA, GSA and GSV of every two-letter
//   talker (GP, GN, GL, GA, GB, BD, GQ, ...). A receiver that sends the same
//   fix under two talkers ($GPRMC and $GNRMC for one time) has only the
//   first applied; the GSA sentences that follow each other in one epoch (one
//   per constellation) count as one, their satellites added up; the sky is
//   the union of every talker's satellites (gsv_groups.h). Coordinates need
//   a real hemisphere letter.
// - GPS talker only: only $GPRMC, $GPGSA and $GPGGA are decoded, and GSV of
//   any talker fills one 12-satellite table (gsv_table.h).

#include <memory>
#include <string>
#include <string_view>

#include "core/base/clock.h"
#include "core/gps/gga_decoder.h"
#include "core/gps/gps_condition.h"
#include "core/gps/gps_state.h"
#include "core/gps/gps_statistics.h"
#include "core/gps/gsa_decoder.h"
#include "core/gps/gsv_groups.h"
#include "core/gps/gsv_table.h"
#include "core/gps/nmea_checksum.h"
#include "core/gps/nmea_field.h"
#include "core/gps/receive_buffer.h"
#include "core/gps/rmc_decoder.h"
#include "core/track/track_log.h"

namespace wp2 {

// Told about every fix offered to the track log, and about the end of every
// applied line (empty for a line that failed its checksum). Tools use it to
// follow a replay.
class FixObserver {
public:
    virtual ~FixObserver() = default;
    virtual void fixOffered(const TrackPoint& point, bool kept) = 0;
    virtual void sentenceApplied(std::string_view line) = 0;
};

// A line cut from the receive buffer and the verdict of its checksum test.
struct ReceivedLine {
    std::string text;  // without the line end; empty when it was empty or over 300 bytes
    NmeaChecksum checksum = NmeaChecksum::Unframed;

    bool valid() const { return checksum == NmeaChecksum::Valid; }
};

enum class Talkers { Any, GpsOnly };

// The setting that chooses the talkers: 1 any talker (the default), 0 GPS only.
inline constexpr const char* kAnyTalkerSetting = "AnyTalker";

class GpsDecoder {
public:
    // Time stamps are read from clock (which must outlive the decoder).
    // Without a track log it records no track.
    explicit GpsDecoder(Clock& clock, std::unique_ptr<TrackLog> track = nullptr);
    GpsDecoder(const GpsDecoder&) = delete;
    GpsDecoder& operator=(const GpsDecoder&) = delete;

    GpsState& state() { return state_; }
    const GpsState& state() const { return state_; }
    // The track log the fixes go to; none when the decoder records no track.
    TrackLog* trackLog() { return track_.get(); }
    const TrackLog* trackLog() const { return track_.get(); }
    GpsStatistics& statistics() { return stats_; }
    const GpsStatistics& statistics() const { return stats_; }
    ReceiveBuffer& receiveBuffer() { return buffer_; }
    const RmcDecoder& rmcDecoder() const { return rmc_; }
    const GsaDecoder& gsaDecoder() const { return gsa_; }
    const GgaDecoder& ggaDecoder() const { return gga_; }
    Clock& clock() { return clock_; }

    void setTalkers(Talkers talkers);
    Talkers talkers() const { return talkers_; }

    // The checksum test; a passing line sets DataValid and stamps lastDataTime.
    NmeaChecksum checkLine(std::string_view line);

    // Cuts the next line from the receive buffer into `line` and tests its
    // checksum. False (and `line` left alone) when no complete line is buffered.
    bool takeLine(ReceivedLine& line);

    // Decodes one line into the state and offers RMC and GGA fixes to the track log.
    void applySentence(std::string_view line);

    // The decoding half of a refresh: clears Moving, counts the refresh and
    // applies every complete line in the buffer; a line that failed its
    // checksum is applied as an empty line, which decodes to nothing but
    // still ends a run of GSA sentences.
    void decodePending();
    // The line taken last by decodePending().
    const ReceivedLine& lastLine() const { return lastLine_; }

    // The fix has not been confirmed for too long: the fix bits go, the track
    // log ends its segment and no satellite counts as used.
    void dropFix();

    GpsCondition condition() const { return wp2::condition(state_); }
    std::string statisticsReport() const;
    std::string statusReport() const;

    void setFixObserver(FixObserver* observer) { observer_ = observer; }

private:
    // A sentence type and what applies it.
    struct SentenceType {
        std::string_view name;
        void (GpsDecoder::*apply)(std::string_view line);
    };
    static const SentenceType kSentenceTypes[];

    // The time field and talker of the last applied sentence of one type.
    struct LastOfType {
        char talker[2] = {};
        char time[kMaxNmeaFieldLength] = {};  // longer time fields are not compared
        std::size_t timeLength = 0;

        // Whether line carries the same time as the last one under another talker.
        bool repeatedByOtherTalker(std::string_view line) const;
        void remember(std::string_view line);

        // Decodes line, unless (with any talker) it repeats the last one's
        // time under another talker; remembers the line it decoded.
        template <typename Decode>
        bool decodeOnce(std::string_view line, bool anyTalker, Decode decode) {
            if ((anyTalker && repeatedByOtherTalker(line)) || !decode()) {
                return false;
            }
            if (anyTalker) {
                remember(line);
            }
            return true;
        }
    };

    // What the GSA sentences of one epoch changed, undone and redone as one
    // when the next one of the epoch arrives.
    struct GsaEpoch {
        bool open = false;
        std::uint32_t flags = 0;
        std::time_t lastFixTime = 0;
        RunningAverage accuracy{10};
        int fixType = 0;
        int used = 0;
    };

    void applyGpsOnly(std::string_view line);
    void applyAnyTalker(std::string_view line);
    void onRmc(std::string_view line);
    void onGga(std::string_view line);
    void onGsa(std::string_view line);
    void onGsv(std::string_view line);
    void applyRmc();
    void applyGsa(int fixType, int used);
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
    GsvTable gsvTable_;
    GsvGroups gsvGroups_;
    FixObserver* observer_ = nullptr;
    ReceivedLine lastLine_;

    Talkers talkers_ = Talkers::Any;
    LastOfType lastRmc_;
    LastOfType lastGga_;
    GsaEpoch gsaEpoch_;
    bool gsaApplied_ = false;  // the line applied last was a GSA that decoded
    bool gsaBefore_ = false;   // and so was the one before the line being applied
};

}  // namespace wp2
