// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// NMEA sentences for link tests: a checksum appended to a body, and a fixed
// receiver epoch (GGA, GSA, RMC) with a good 3D fix at a given second.

#include <cstdio>
#include <string>

namespace wp2::test {

// A whole line: "$" + body + "*" + two upper-case hex digits + CR LF.
inline std::string nmeaLine(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// One second of a receiver with a 3D fix (8 satellites, PDOP 1.6), moving
// north by about 18.5 m (0.01 minute) a second from second to second.
inline std::string fixEpoch(int second) {
    char time[16];
    std::snprintf(time, sizeof time, "12%02d%02d.000", (second / 60) % 60, second % 60);
    char lat[16];
    std::snprintf(lat, sizeof lat, "48%07.4f", 7.1 + (second % 4000) * 0.01);
    std::string t = time;
    std::string la = lat;
    return nmeaLine("GPGGA," + t + "," + la + ",N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,") +
           nmeaLine("GPGSA,A,3,04,05,09,12,24,25,29,31,,,,,1.6,0.9,1.3") +
           nmeaLine("GPRMC," + t + ",A," + la + ",N,01131.0000,E,035.0,000.0,230324,,,A");
}

// Satellites in view without a fix.
inline std::string noFixEpoch() {
    return nmeaLine("GPGSV,1,1,02,04,40,120,00,05,30,240,00");
}

}  // namespace wp2::test
