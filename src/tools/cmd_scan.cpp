// SPDX-License-Identifier: GPL-3.0-or-later
// wayplot2-tool scan: looks for a receiver on the serial ports in the scan
// order, prints the progress as it grows and stores the port in "Driver".

#include <cstdio>
#include <string>
#include <vector>

#include "core/gps/gps_scan.h"
#include "core/gps/port_map.h"
#include "tools/link_session.h"
#include "tools/tool_command.h"

namespace wp2::tool {

namespace {

// Prints the progress text as it grows. The scan replaces a trailing
// "Waiting for signal" by the attempt's outcome; that line is then printed
// again with the outcome.
class PrintedProgress final : public ScanProgressView {
public:
    void showText(const std::string& text) override {
        std::size_t common = 0;
        while (common < text.size() && common < printed_.size() &&
               text[common] == printed_[common]) {
            ++common;
        }
        std::string out;
        if (common < printed_.size()) {
            out = "\n";
            std::size_t lineStart = text.rfind('\n', common == 0 ? 0 : common - 1);
            common = lineStart == std::string::npos ? 0 : lineStart + 1;
        }
        out += text.substr(common);
        writeTerminalText(out);
        printed_ = text;
    }

private:
    std::string printed_;
};

// Scans, and stores the port found in "Driver".
int scanAndStore(GpsLink& link, int ports) {
    loadDriverSetting(link);  // the scan keeps the stored framing
    PrintedProgress progress;
    if (!scan(link, &progress, ports)) {
        std::fputs("\nNo GPS receiver was found.\nPerhaps this receiver is not supported.\n",
                   stderr);
        return kExitFailure;
    }
    if (!saveDriverSetting(link)) {
        std::fprintf(stderr, "wayplot2-tool: cannot store \"Driver\"\n");
        return kExitFailure;
    }
    std::printf("Driver: %s\n", driverText(link).c_str());
    return kExitOk;
}

}  // namespace

int runScan(const Invocation& call) {
    long ports = kScanPortCount;
    if (call.has("--ports") && !parseNumber(call.value("--ports"), 1, kScanPortCount, ports)) {
        return usageError(call);
    }
    LinkSession session;
    session.start();
    const int status = scanAndStore(session.link(), static_cast<int>(ports));
    session.finish();
    return status;
}

}  // namespace wp2::tool
