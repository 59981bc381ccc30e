// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/source_port.h"

#include <climits>
#include <cstdlib>
#include <vector>

namespace wp2 {

namespace {

std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

}  // namespace

std::string gpsdDevicePath(const std::string& gpsd, const std::string& device, int timeoutMs) {
    SourceAddress address;
    std::vector<std::string> paths;
    if (gpsd.empty() || device.empty() || !parseSource(kGpsdScheme + gpsd, address) ||
        !askGpsdDevices(address, timeoutMs, paths)) {
        return {};
    }
    const std::string target = resolved(device);
    for (const std::string& path : paths) {
        if (path == device || resolved(path) == target) {
            return path;
        }
    }
    return {};
}

bool SourcePort::open(const std::string& device, const SerialLineSettings& settings) {
    active_->close();
    SourceAddress address;
    if (isNetworkSource(device)) {
        active_ = &network_;
        return network_.open(device, settings);
    }
    const std::string gpsd = localGpsdAddress();
    const std::string served = gpsdDevicePath(gpsd, device, kGpsdCheckMs);
    if (!served.empty() && parseSource(kGpsdScheme + gpsd, address)) {
        active_ = &network_;
        return network_.connectTo(address, served);
    }
    active_ = &serial_;
    return serial_.open(device, settings);
}

}  // namespace wp2
