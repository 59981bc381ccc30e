#include "core/gps/gps_decoder.h"

#include <cmath>

#include "core/gps/gps_status_flags.h"
#include "core/gps/nmea_checksum.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

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

}  // namespace

GpsDecoder::GpsDecoder(Clock& clock, std::unique_ptr<TrackLog> track)
    : clock_(clock), track_(track ? std::move(track) : std::make_unique<TrackLog>()) {}

bool GpsDecoder::checksumOk(std::u16string_view line) {
    if (!nmeaChecksumValid(line)) {
        return false;
    }
    state_.set(DataValid);
    state_.lastDataTime = clock_.now();
    return true;
}

bool GpsDecoder::takeLine(std::u16string& line) {
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

std::u16string GpsDecoder::takeLine() {
    std::u16string line;
    takeLine(line);
    return line;
}

void GpsDecoder::decodePending() {
    state_.clear(Moving);
    ++stats_.totalRefreshes;
    while (takeLine(state_.lastSentence)) {
        applySentence(state_.lastSentence);
    }
}

void GpsDecoder::applySentence(std::u16string_view line) {
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

bool GpsDecoder::offerToTrack(TrackPoint& point) {
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

void GpsDecoder::applyRmc() {
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

void GpsDecoder::applyGsa() {
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

void GpsDecoder::applyGga() {
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

void GpsDecoder::dropFix() {
    state_.clear(FixBits);
    track_->signalLost();
    state_.satellitesUsed = 0;
}

}  // namespace wp2
