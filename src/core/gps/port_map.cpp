// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gps/port_map.h"

#include <cstdlib>
#include <utility>

#include "core/base/cformat.h"
#include "core/gps/source_url.h"
#include "core/settings/settings_store.h"

namespace wp2 {

namespace {

constexpr const char* kDefaultDevices[kHighestPort] = {
    "/dev/ttyUSB0", "/dev/ttyACM0",          "/dev/ttyUSB1",
    "/dev/ttyACM1", "/dev/rfcomm0",          "/dev/ttyS0",
    "/dev/ttyS1",   "/dev/ttyAMA0",          "/dev/gps0",
    nullptr,        "tcp://localhost:10110",
};

}  // namespace

PortMap::PortMap(Registry& registry)
    : stored_([&registry](const std::string& name, std::string& value) {
          const Result<std::string> text = SettingsStore(registry).readText(name);
          value = text.value_or("");
          return text.has_value();
      }) {}

PortMap::PortMap(StoredText stored) : stored_(std::move(stored)) {}

std::string PortMap::device(int port) const {
    if (auto it = assigned_.find(port); it != assigned_.end()) {
        return it->second;
    }
    if (const char* env = std::getenv(environmentName(port).c_str())) {
        return env;
    }
    std::string stored;
    if (stored_ && stored_(settingName(port), stored) && !stored.empty()) {
        return stored;
    }
    return defaultDevice(port);
}

std::string PortMap::defaultDevice(int port) {
    if (port < 1 || port > kHighestPort) {
        return {};
    }
    if (port == kGpsdPort) {
        const std::string local = localGpsdAddress();
        return local.empty() ? std::string() : kGpsdScheme + local;
    }
    return kDefaultDevices[port - 1];
}

std::string PortMap::comName(int port) {
    if (port == kGpsdPort) {
        return "gpsd";
    }
    if (port == kTcpPort) {
        return "TCP";
    }
    return cformat("COM%d", port);
}

std::string PortMap::environmentName(int port) {
    return cformat("WAYPLOT2_COM%d", port);
}

std::string PortMap::settingName(int port) {
    return cformat("Port%d", port);
}

}  // namespace wp2
