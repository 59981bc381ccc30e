// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/gps_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/base/cformat.h"
#include "core/base/timers.h"
#include "core/gps/gps_link.h"
#include "core/gps/port_map.h"
#include "core/settings/settings_store.h"

namespace wp2 {

namespace {

// Why a port did not open, as the progress shows it.
const char* failureText(const SerialPort* port) {
    const int error = port ? port->openError() : 0;
    if (error == EBUSY || error == EWOULDBLOCK) {
        return "Busy";  // another program holds it
    }
    if (error == EACCES || error == EPERM) {
        return "No access";
    }
    return "Not found";
}

class Scanner {
public:
    Scanner(GpsLink& link, ScanProgressView* view, Timers* timers)
        : link_(link), view_(view), timers_(timers) {}

    bool run(int maxPorts);

private:
    void show(const std::string& text) {
        if (view_) {
            view_->showText(text);
        }
        if (timers_) {
            timers_->processPending();
        }
    }
    bool attempt(int port, std::string& running);
    bool waitForSentence();

    GpsLink& link_;
    ScanProgressView* view_;
    Timers* timers_;
};

bool Scanner::run(int maxPorts) {
    std::string running = "Scan for GPS...\r\n";
    link_.setScanning(true);
    // A gpsd on this machine is tried first, once: reading a receiver through
    // it takes the receiver away from no other program.
    if (!link_.portMap().device(kGpsdPort).empty()) {
        link_.setPortNumber(kGpsdPort);
        running += "gpsd: ";
        show(running);
        if (attempt(kGpsdPort, running)) {
            return true;
        }
    }
    const int ports = std::clamp(maxPorts, 0, kScanPortCount);
    for (int i = 0; i < ports; ++i) {
        const int port = kScanOrder[i];
        link_.setPortNumber(port);
        running += "Port";
        running += cformat(" %i: ", port);
        show(running);
        const std::string remembered = running;
        for (int a = 0; a < kScanAttempts; ++a) {
            running = remembered;
            if (attempt(port, running)) {
                return true;
            }
        }
    }
    link_.closePort();
    link_.setScanning(false);
    return false;
}

bool Scanner::attempt(int port, std::string& running) {
    if (!link_.start(port)) {
        running += failureText(link_.serialPort());
        running += "\r\n";
        show(running);
        return false;
    }
    // start() closes the port first, which ends the scan's mark; keep it, so
    // that no warm start goes to a device under test.
    link_.setScanning(true);
    show(running + "Waiting for signal");
    if (waitForSentence()) {
        running += "GPS found!\r\n";
        show(running);
        link_.closePort();
        link_.setScanning(false);
        return true;
    }
    running += "No signal";
    running += "\r\n";
    show(running);
    link_.closePort();
    link_.setScanning(true);
    link_.clock().sleepMs(kScanPauseMs);
    return false;
}

bool Scanner::waitForSentence() {
    link_.state().lastDataTime = link_.clock().now();
    // The reader started from an empty buffer: every valid sentence counted
    // from here on came from this port since it was opened.
    const auto validBefore = link_.decoder().statistics().validSentences;
    for (int round = 0; round < kScanWaitRounds; ++round) {
        link_.clock().sleepMs(kScanRoundMs);
        if (timers_) {
            timers_->processPending();
        }
        link_.refreshCycle();
        if (link_.decoder().statistics().validSentences > validBefore) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool scan(GpsLink& link, ScanProgressView* view, int maxPorts) {
    return Scanner(link, view, link.timers()).run(maxPorts);
}

std::string driverText(const GpsLink& link) {
    const LineSettings& s = link.lineSettings();
    return cformat("%d,%d,%d,%d,%d", s.port, s.baudRate, s.dataBits, s.stopBits, s.parity);
}

bool saveDriverSetting(const GpsLink& link) {
    return SettingsStore(link.settings().registry)
        .writeText("Driver", driverText(link))
        .has_value();
}

bool loadDriverSetting(GpsLink& link) {
    const Result<std::string> text = SettingsStore(link.settings().registry).readText("Driver");
    return text && applyDriverText(link, *text);
}

bool applyDriverText(GpsLink& link, const std::string& text) {
    int port = 0, baud = 0, dataBits = 0, stopBits = 0, parity = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d,%d", &port, &baud, &dataBits, &stopBits, &parity) !=
        5) {
        return false;
    }
    link.setPortNumber(port);
    link.setLineSettings(baud, dataBits, stopBits, parity);
    return true;
}

}  // namespace wp2
