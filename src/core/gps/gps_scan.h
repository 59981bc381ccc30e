// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Autodetection: tries the ports in the scan order with the link's line
// settings until one delivers a sentence that passes the checksum, showing
// its progress line by line.

#include <string>

namespace wp2 {

class GpsLink;

// Where the scan shows its running text (the scan dialog's progress field).
class ScanProgressView {
public:
    virtual ~ScanProgressView() = default;
    virtual void showText(const std::string& text) = 0;
};

inline constexpr int kScanAttempts = 3;
inline constexpr int kScanWaitRounds = 10;
inline constexpr unsigned kScanRoundMs = 500;
inline constexpr unsigned kScanPauseMs = 200;

// Tries the gpsd port first when it names a source (the local gpsd), then
// the first min(maxPorts, 8) ports of the scan order; a port that does not
// open shows "Busy" when another program holds it, "No access" without the
// rights to it and "Not found" otherwise. True when a
// receiver was found; the link's port number then names its port. The link
// is closed when the scan returns. view may be null. Waits go through the
// link's clock; pending timers and events are processed between steps.
bool scan(GpsLink& link, ScanProgressView* view, int maxPorts);

// The "Driver" setting: "%d,%d,%d,%d,%d" with port, baud rate, data bits,
// stop bits and parity.
std::string driverText(const GpsLink& link);
bool saveDriverSetting(const GpsLink& link);
// Gives the link the stored port and line settings; false when there are none.
bool loadDriverSetting(GpsLink& link);
// Gives the link the port and line settings of a "Driver" text; false (and
// the link untouched) unless all five numbers are there.
bool applyDriverText(GpsLink& link, const std::string& text);

}  // namespace wp2
