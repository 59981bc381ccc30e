// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gps_decoder.h"

#include <algorithm>
#include <iterator>

#include "core/gps/gps_status_flags.h"
#include "core/gps/nmea_checksum.h"
#include "core/gps/nmea_field.h"
#include "core/nav/angles.h"

namespace wp2 {

namespace {

using namespace GpsStatusFlags;

bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// The time field of a talker-qualified sentence ("$TTxxx,time,...").
std::string_view timeField(std::string_view line) {
    return line.substr(7, findFrom(line, 7, ',') - 7);
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

const GpsDecoder::SentenceType GpsDecoder::kSentenceTypes[] = {
    {"RMC", &GpsDecoder::onRmc},
    {"GGA", &GpsDecoder::onGga},
    {"GSA", &GpsDecoder::onGsa},
    {"GSV", &GpsDecoder::onGsv},
};

GpsDecoder::GpsDecoder(Clock& clock, std::unique_ptr<TrackLog> track)
    : clock_(clock), track_(std::move(track)) {
    static_assert(std::size(kSentenceTypes) == 4);
    setTalkers(Talkers::Any);
}

void GpsDecoder::setTalkers(Talkers talkers) {
    talkers_ = talkers;
    rmc_.strict = talkers == Talkers::Any;
    gga_.strict = talkers == Talkers::Any;
    gsaApplied_ = false;
}

NmeaChecksum GpsDecoder::checkLine(std::string_view line) {
    const NmeaChecksum verdict = nmeaChecksum(line);
    if (verdict == NmeaChecksum::Valid) {
        state_.set(DataValid);
        state_.lastDataTime = clock_.now();
    }
    return verdict;
}

bool GpsDecoder::takeLine(ReceivedLine& line) {
    if (!buffer_.takeLine(stats_, line.text)) {
        return false;
    }
    ++stats_.totalSentences;
    line.checksum = checkLine(line.text);
    if (line.valid()) {
        ++stats_.validSentences;
    }
    return true;
}

void GpsDecoder::decodePending() {
    state_.clear(Moving);
    ++stats_.totalRefreshes;
    while (takeLine(lastLine_)) {
        applySentence(lastLine_.valid() ? std::string_view(lastLine_.text) : std::string_view());
    }
}

void GpsDecoder::applySentence(std::string_view line) {
    if (talkers_ == Talkers::GpsOnly) {
        applyGpsOnly(line);
    } else {
        applyAnyTalker(line);
    }
    if (observer_) {
        observer_->sentenceApplied(line);
    }
}

void GpsDecoder::applyGpsOnly(std::string_view line) {
    gsvTable_.decode(line, state_.satellites);
    if (line.size() < 6 || line[0] != '$' || line[1] != 'G' || line[2] != 'P') {
        return;
    }
    for (const SentenceType& type : kSentenceTypes) {
        if (type.apply != &GpsDecoder::onGsv && hasSentenceType(line, type.name)) {
            (this->*type.apply)(line);
            return;
        }
    }
}

void GpsDecoder::applyAnyTalker(std::string_view line) {
    gsaBefore_ = gsaApplied_;
    gsaApplied_ = false;
    // "$", a two-letter talker ("$P..." are proprietary sentences), the type, ",".
    if (line.size() < 7 || line[0] != '$' || !isUpper(line[1]) || !isUpper(line[2]) ||
        line[1] == 'P' || line[6] != ',') {
        return;
    }
    for (const SentenceType& type : kSentenceTypes) {
        if (hasSentenceType(line, type.name)) {
            (this->*type.apply)(line);
            return;
        }
    }
}

bool GpsDecoder::LastOfType::repeatedByOtherTalker(std::string_view line) const {
    return (line[1] != talker[0] || line[2] != talker[1]) && timeLength > 0 &&
           timeField(line) == std::string_view(time, timeLength);
}

void GpsDecoder::LastOfType::remember(std::string_view line) {
    talker[0] = line[1];
    talker[1] = line[2];
    const std::string_view t = timeField(line);
    timeLength = t.size() < std::size(time) ? t.size() : 0;
    std::copy_n(t.data(), timeLength, time);
}

void GpsDecoder::onRmc(std::string_view line) {
    ++stats_.rmcSentences;
    if (lastRmc_.decodeOnce(line, talkers_ == Talkers::Any, [&] { return rmc_.decode(line); })) {
        applyRmc();
    }
}

void GpsDecoder::onGga(std::string_view line) {
    if (lastGga_.decodeOnce(line, talkers_ == Talkers::Any, [&] { return gga_.decode(line); })) {
        applyGga();
    }
}

void GpsDecoder::onGsa(std::string_view line) {
    if (!gsa_.decode(line)) {
        return;
    }
    int fixType = gsa_.fixType;
    int used = gsa_.usedCount();
    if (talkers_ == Talkers::Any) {
        gsaApplied_ = true;
        GsaEpoch& epoch = gsaEpoch_;
        if (gsaBefore_ && epoch.open) {
            // The next GSA of the same epoch: undo the last one, apply all together.
            state_.flags = (state_.flags & ~FixBits) | (epoch.flags & FixBits);
            state_.lastFixTime = epoch.lastFixTime;
            state_.accuracy = epoch.accuracy;
            fixType = std::max(fixType, epoch.fixType);
            used += epoch.used;
        } else {
            epoch.open = true;
            epoch.flags = state_.flags;
            epoch.lastFixTime = state_.lastFixTime;
            epoch.accuracy = state_.accuracy;
        }
        epoch.fixType = fixType;
        epoch.used = used;
    }
    applyGsa(fixType, used);
}

void GpsDecoder::onGsv(std::string_view line) {
    gsvGroups_.decode(line, state_.satellites);
}

bool GpsDecoder::offerToTrack(TrackPoint& point) {
    const bool kept = track_ && track_->addFix(point);
    if (track_ && track_->lastDatedIndex() == track_->count() - 1) {
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

void GpsDecoder::applyGsa(int fixType, int used) {
    switch (fixType) {
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
            if (track_) {
                track_->signalLost();
            }
            break;
    }
    state_.satellitesUsed = used;
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
        if (track_) {
            track_->signalLost();
        }
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
    if (track_) {
        track_->signalLost();
    }
    state_.satellitesUsed = 0;
}

}  // namespace wp2
