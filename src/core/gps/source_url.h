// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the receiver's sentences come from. Wherever a device path is
// accepted, two kinds of network source are accepted too:
//   gpsd://HOST[:PORT]  the GPS service gpsd (default localhost:2947), asked
//                       to pass on the NMEA sentences of its receivers;
//   tcp://HOST:PORT     a plain NMEA stream (a phone sharing its GPS, a marine
//                       multiplexer on port 10110).
// Anything else is the path of a serial device.

#include <string>

namespace wp2 {

inline constexpr const char* kGpsdScheme = "gpsd://";
inline constexpr const char* kTcpScheme = "tcp://";
inline constexpr const char* kGpsdDefaultHost = "localhost";
inline constexpr int kGpsdDefaultPort = 2947;
inline constexpr int kNmeaTcpDefaultPort = 10110;

struct SourceAddress {
    enum class Kind { Serial, Gpsd, Tcp };
    Kind kind = Kind::Serial;
    std::string device;  // the serial device path (Serial)
    std::string host;    // Gpsd and Tcp
    int port = 0;

    // "host:port" (an IPv6 host in brackets).
    std::string hostPort() const;
    // The text parseSource() reads back: the URL, or the device path.
    std::string text() const;
};

// False for a URL of a known scheme that is malformed (no host, a port that is
// not a number in 1..65535, a tcp:// URL without a port). Any other text is a
// serial device path.
bool parseSource(const std::string& text, SourceAddress& out);

bool isNetworkSource(const std::string& text);

// The gpsd on this machine that serial devices are checked against before
// they are opened, as "host:port": WAYPLOT2_GPSD when set (empty: none is
// asked), otherwise localhost:2947.
std::string localGpsdAddress();

}  // namespace wp2
