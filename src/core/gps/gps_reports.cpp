// SPDX-License-Identifier: GPL-3.0-or-later
// GpsDecoder: the two diagnostic reports of the receiver link.

#include <climits>

#include "core/base/cformat.h"
#include "core/gps/gps_decoder.h"
#include "core/gps/gps_status_flags.h"

namespace wp2 {

namespace {

using namespace GpsStatusFlags;

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

std::string GpsDecoder::signalLines() const {
    const GpsStatistics& s = stats_;
    std::string text =
        cformat("Max symbols in buffer: %lld (%lld%%)\r\n", static_cast<long long>(s.maxSymbols),
                static_cast<long long>(s.maxSymbols * 100 / 10000));
    text += cformat("Empty buffer accesses: %lld\r\nState: %lld\r\n",
                    static_cast<long long>(s.emptyBufferAccesses),
                    static_cast<long long>(static_cast<std::int32_t>(state_.flags)));
    if (state_.has(PositionValid)) {
        text += cformat(
            "Signal level OK, %i satellites in the fix\r\nAccuracy %lld m; HDOP %2.1f; VDOP "
            "%2.1f\r\n",
            state_.satellitesUsed, truncated(state_.accuracy.mean()), state_.hdop, state_.vdop);
    } else {
        text += cformat("Signal is weak, %i satellites in the fix\r\n", state_.satellitesUsed);
    }
    return text;
}

std::string GpsDecoder::statisticsReport() const {
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

std::string GpsDecoder::statusReport() const {
    const GpsStatistics& s = stats_;
    std::string text = cformat("GPS Rec. statistics:\r\nTotal symbols: %lld\r\n",
                               static_cast<long long>(s.acceptedSymbols + s.ignoredSymbols));
    text += cformat("Satellites in the fix GSA (GGA): %i (%i)\r\n", state_.satellitesUsed,
                    state_.satellitesGga);
    text += cformat("Speed / Course: %3.1f / %3.1f\r\n", state_.speed, state_.course);
    text +=
        cformat("PDOP/HDOP/VDOP: %2.1f / %2.1f / %2.1f\r\n", state_.pdop, state_.hdop, state_.vdop);
    text += cformat("Points Total (Valid): %i (%i)\r\n", track_ ? track_->count() : 0,
                    track_ ? track_->datedCount() : 0);
    const char* fix = state_.has(Fix3D) ? "3d" : state_.has(Fix2D) ? "2d" : "No";
    text += cformat("Fix: %s\r\n", fix);
    text += cformat("Total refreshes: %lld\r\n", static_cast<long long>(s.totalRefreshes));
    text += cformat("Condition: %s\r\n", conditionText(condition()));
    return text + signalLines();
}

}  // namespace wp2
