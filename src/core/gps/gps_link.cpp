#include "core/gps/gps_link.h"

#include <climits>
#include <cmath>

#include "core/base/cformat.h"
#include "core/gps/gps_status_flags.h"
#include "core/gps/nmea_checksum.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

GpsLink* gCurrentLink = nullptr;

using namespace GpsStatusFlags;

bool startsWith(std::u16string_view line, std::u16string_view prefix) {
    return line.size() >= prefix.size() && line.substr(0, prefix.size()) == prefix;
}

// Sats3, Sats4 or Sats5Plus for a satellite count.
std::uint32_t satelliteBits(int satellites) {
    if (satellites == 3) {
        return TrackPointState::Sats3;
    }
    if (satellites == 4) {
        return TrackPointState::Sats4;
    }
    return satellites > 4 ? TrackPointState::Sats5Plus : 0;
}

// A double truncated towards zero into an int; values outside the int range
// (or not a number at all, from a garbled DOP) are clamped instead of undefined.
long long truncated(double v) {
    if (!(v == v)) {
        return 0;
    }
    if (v >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (v <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<long long>(v);
}

}  // namespace

GpsLink::GpsLink(Clock& clock, std::unique_ptr<TrackLog> track)
    : clock_(clock), track_(track ? std::move(track) : std::make_unique<TrackLog>()) {
    listenForEndNotice();
}

GpsLink::~GpsLink() {
    destroy();
    if (gCurrentLink == this) {
        gCurrentLink = nullptr;
    }
}

bool GpsLink::checksumOk(std::u16string_view line) {
    if (!nmeaChecksumValid(line)) {
        return false;
    }
    state_.set(DataValid);
    state_.lastDataTime = clock_.now();
    return true;
}

bool GpsLink::takeLine(std::u16string& line) {
    if (!buffer_.takeLine(stats_, line)) {
        return false;
    }
    ++stats_.totalSentences;
    if (checksumOk(line)) {
        ++stats_.validSentences;
    } else {
        line.assign(u"Error");
    }
    return true;
}

std::u16string GpsLink::takeLine() {
    std::u16string line;
    takeLine(line);
    return line;
}

void GpsLink::decodePending() {
    state_.clear(Moving);
    ++stats_.totalRefreshes;
    while (takeLine(state_.lastSentence)) {
        applySentence(state_.lastSentence);
    }
}

void GpsLink::applySentence(std::u16string_view line) {
    state_.satellites.decode(line);
    if (startsWith(line, u"$GPRMC")) {
        ++stats_.rmcSentences;
        if (rmc_.decode(line)) {
            applyRmc();
        }
    } else if (startsWith(line, u"$GPGSA")) {
        if (gsa_.decode(line)) {
            applyGsa();
        }
    } else if (startsWith(line, u"$GPGGA")) {
        if (gga_.decode(line)) {
            applyGga();
        }
    }
    if (observer_) {
        observer_->sentenceApplied(line);
    }
}

bool GpsLink::offerToTrack(TrackPoint& point) {
    bool kept = track_->addFix(point);
    if (track_->lastDatedIndex() == track_->count() - 1) {
        state_.set(TrackPointValid);
    } else {
        state_.clear(TrackPointValid);
    }
    if (observer_) {
        observer_->fixOffered(point, kept);
    }
    return kept;
}

void GpsLink::applyRmc() {
    if (!state_.has(Fix2D | Fix3D)) {
        state_.clear(PositionValid);
        return;
    }
    TrackPoint p;
    p.latitude = rmc_.latitude * kDegToRad;
    p.longitude = rmc_.longitude * kDegToRad;
    p.time = rmc_.utc;
    p.speed = rmc_.speed;
    p.course = rmc_.course;
    state_.latitude = p.latitude;
    state_.longitude = p.longitude;
    state_.lastUtc = p.time;
    p.dop = state_.pdop;
    if (state_.has(Fix3D)) {
        p.state |= TrackPointState::ThreeD;
    }
    p.state |= satelliteBits(state_.satellitesUsed);
    p.altitude = state_.altitude;
    state_.speed = rmc_.speed * kKnotsToMps;
    if (state_.speed * 3.6 >= 0.5) {
        state_.set(Moving);
    } else {
        state_.clear(Moving);
    }
    state_.course = rmc_.course;
    offerToTrack(p);
    state_.lastFixTime = clock_.now();
    state_.set(PositionValid);
}

void GpsLink::applyGsa() {
    switch (gsa_.fixType) {
        case 2:
            state_.set(DataValid | Fix2D);
            state_.clear(Fix3D);
            state_.lastFixTime = clock_.now();
            break;
        case 3:
            state_.set(DataValid | Fix3D);
            state_.clear(Fix2D);
            state_.lastFixTime = clock_.now();
            break;
        default:
            state_.clear(FixBits);
            track_->signalLost();
            break;
    }
    state_.satellitesUsed = gsa_.usedCount();
    if (state_.satellitesUsed < 3) {
        state_.clear(FixBits);
    }
    if (state_.has(Fix2D | Fix3D)) {
        state_.accuracy.add(gsa_.pdop * 2.9 + 2.4);
    }
    state_.hdop = gsa_.hdop;
    state_.vdop = gsa_.vdop;
    state_.pdop = gsa_.pdop;
}

void GpsLink::applyGga() {
    if (gga_.quality == 0) {
        state_.clear(FixBits);
        track_->signalLost();
        return;
    }
    TrackPoint p;
    p.latitude = gga_.latitude * kDegToRad;
    p.longitude = gga_.longitude * kDegToRad;
    p.altitude = gga_.altitude;
    p.time.hour = gga_.hour;
    p.time.minute = gga_.minute;
    p.time.seconds = gga_.seconds;
    p.dop = gga_.hdop;
    p.satellites = static_cast<std::uint8_t>(gga_.satellites);
    p.state = TrackPointState::FromGga | TrackPointState::NoVelocity;
    if (gga_.quality & 1) {
        p.state |= TrackPointState::Quality1;
    }
    if (gga_.quality & 2) {
        p.state |= TrackPointState::Quality2;
    }
    if (gga_.quality & 4) {
        p.state |= TrackPointState::Quality4;
    }
    p.state |= satelliteBits(gga_.satellites);
    if (state_.lastUtc.year != 0) {
        p.time.year = state_.lastUtc.year;
        p.time.month = state_.lastUtc.month;
        p.time.day = state_.lastUtc.day;
    } else {
        p.state |= TrackPointState::NoDate;
    }
    state_.lastUtc = p.time;
    offerToTrack(p);
    state_.latitude = p.latitude;
    state_.longitude = p.longitude;
    state_.altitude = p.altitude;
    state_.satellitesGga = gga_.satellites;
}

std::string GpsLink::signalLines() const {
    const GpsStatistics& s = stats_;
    std::string text =
        cformat("Max symbols in buffer: %lld (%lld%%)\r\n", static_cast<long long>(s.maxSymbols),
                static_cast<long long>(s.maxSymbols * 100 / 10000));
    text += cformat("Empty buffer accesses: %lld\r\nState: %lld\r\n",
                    static_cast<long long>(s.emptyBufferAccesses),
                    static_cast<long long>(static_cast<std::int32_t>(state_.flags)));
    if (state_.has(PositionValid)) {
        text += cformat(
            "Signal Level OK, fix %i satelites\r\nAccuracy %lld M; HDOP %2.1f; VDOP %2.1f\r\n",
            state_.satellitesUsed, truncated(state_.accuracy.mean()), state_.hdop, state_.vdop);
    } else {
        text += cformat("Signal is weak, fix %i satelites\r\n", state_.satellitesUsed);
    }
    return text;
}

std::string GpsLink::statisticsReport() const {
    const GpsStatistics& s = stats_;
    const long long total = s.acceptedSymbols + s.ignoredSymbols;
    std::string text = cformat("GPS Rec. statistics:\r\nTotal symbols: %lld\r\n", total);
    text +=
        cformat("Accepted symbols: %lld (%lld%%)\r\n", static_cast<long long>(s.acceptedSymbols),
                static_cast<long long>(s.acceptedSymbols * 100 / (total + 1)));
    text += cformat("Ignored symbols: %lld (%lld%%)\r\n", static_cast<long long>(s.ignoredSymbols),
                    static_cast<long long>(s.ignoredSymbols * 100 / (total + 1)));
    text += cformat("Total sentences: %lld\r\n", static_cast<long long>(s.totalSentences));
    text += cformat("Valid sentences: %lld (%lld%%)\r\n", static_cast<long long>(s.validSentences),
                    static_cast<long long>(s.validSentences * 100 / (s.totalSentences + 1)));
    text += cformat("RMC sentences: %lld\r\n", static_cast<long long>(s.rmcSentences));
    text += cformat("Total refreshes: %lld\r\n", static_cast<long long>(s.totalRefreshes));
    text +=
        cformat("Average symbols in buffer: %lld\r\n", static_cast<long long>(s.averageSymbols));
    return text + signalLines();
}

std::string GpsLink::statusReport() const {
    const GpsStatistics& s = stats_;
    std::string text = cformat("GPS Rec. statistics:\r\nTotal symbols: %lld\r\n",
                               static_cast<long long>(s.acceptedSymbols + s.ignoredSymbols));
    text += cformat("Satelites fixed GSA (GGA): %i (%i)\r\n", state_.satellitesUsed,
                    state_.satellitesGga);
    text += cformat("Speed / Course: %3.1f / %3.1f\r\n", state_.speed, state_.course);
    text +=
        cformat("PDOP/HDOP/VDOP: %2.1f / %2.1f / %2.1f\r\n", state_.pdop, state_.hdop, state_.vdop);
    text += cformat("Points Total (Valid): %i (%i)\r\n", track_->count(), track_->datedCount());
    const char* fix = state_.has(Fix3D) ? "3d" : state_.has(Fix2D) ? "2d" : "No";
    text += cformat("Fix: %s\r\n", fix);
    text += cformat("Total refreshes: %lld\r\n", static_cast<long long>(s.totalRefreshes));
    text += cformat("Condition: %s\r\n", conditionText(condition()));
    return text + signalLines();
}

GpsLink* currentLink() {
    return gCurrentLink;
}

void setCurrentLink(GpsLink* link) {
    gCurrentLink = link;
}

}  // namespace wp2
