// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Port numbers to devices. The program keeps numbering its ports 1..9 as the
// set-up lists show them ("COM1" ...) and as the "Driver" setting stores
// them; each number names a device file:
//   1 /dev/ttyUSB0   2 /dev/ttyACM0   3 /dev/ttyUSB1   4 /dev/ttyACM1
//   5 /dev/rfcomm0   6 /dev/ttyS0     7 /dev/ttyS1     8 /dev/ttyAMA0
//   9 /dev/gps0
// (USB receivers, Bluetooth, on-board UARTs and gpsd's udev name), and two
// network sources:
//  10 gpsd://localhost:2947 (the gpsd of WAYPLOT2_GPSD when that is set)
//  11 tcp://localhost:10110
// Each can be replaced by the environment variable WAYPLOT2_COM<n> (an empty value maps
// the port to no device) or, below that, by the text value "Port<n>" of the
// settings key. A device assigned with setDevice() beats them all (a tool's
// command line).

#include <functional>
#include <map>
#include <string>

namespace wp2 {

class Registry;

// The order in which autodetection tries the ports.
inline constexpr int kScanOrder[] = {5, 2, 4, 6, 7, 8, 1, 3};
inline constexpr int kScanPortCount = static_cast<int>(sizeof kScanOrder / sizeof kScanOrder[0]);
inline constexpr int kGpsdPort = 10;
inline constexpr int kTcpPort = 11;
inline constexpr int kHighestPort = kTcpPort;

class PortMap {
public:
    // Reads a stored text value by name; false when there is none.
    using StoredText = std::function<bool(const std::string& name, std::string& value)>;

    // Reads the stored "Port<n>" values of the settings key of the registry,
    // which must outlive the map.
    explicit PortMap(Registry& registry);
    // Reads them through `stored` instead; an empty function reads none.
    explicit PortMap(StoredText stored);

    void setDevice(int port, const std::string& device) { assigned_[port] = device; }

    // The device for a port number; empty when the number names none.
    std::string device(int port) const;

    static std::string defaultDevice(int port);
    // The name the set-up lists show: "COM<n>", "gpsd" and "TCP".
    static std::string comName(int port);
    static std::string environmentName(int port);  // "WAYPLOT2_COM<n>"
    static std::string settingName(int port);      // "Port<n>"

private:
    StoredText stored_;
    std::map<int, std::string> assigned_;
};

}  // namespace wp2
