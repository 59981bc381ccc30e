#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a synthetic NMEA log: 1 Hz epochs of RMC, GGA, GSA and three GSV
sentences with valid checksums, for a receiver moving along a slow curve.

usage: gen_nmea_log.py LINES OUT
"""
import math
import sys


def sentence(body):
    x = 0
    for c in body.encode("ascii"):
        x ^= c
    return "$%s*%02X\r\n" % (body, x)


def dm(value, deg_digits):
    a = abs(value)
    d = int(a)
    m = (a - d) * 60.0
    return "%0*d%07.4f" % (deg_digits, d, m)


def main():
    lines = int(sys.argv[1])
    out = open(sys.argv[2], "w", newline="")
    lat, lon = 52.3700, 4.9100
    heading = 30.0
    day0 = 1
    t = 0
    n = 0
    while n < lines:
        secs = t % 86400
        day = day0 + t // 86400
        hh, mm, ss = secs // 3600, secs // 60 % 60, secs % 60
        date = "%02d%02d%02d" % ((day - 1) % 28 + 1, ((day - 1) // 28) % 12 + 1, 24)
        hms = "%02d%02d%02d.00" % (hh, mm, ss)
        speed_kn = 12.0 + 4.0 * math.sin(t / 300.0)
        heading = (heading + 0.7 * math.sin(t / 90.0)) % 360.0
        step = speed_kn * 0.514444 / 111320.0
        lat += step * math.cos(math.radians(heading))
        lon += step * math.sin(math.radians(heading)) / math.cos(math.radians(lat))
        ns, ew = ("N" if lat >= 0 else "S"), ("E" if lon >= 0 else "W")
        alt = 10.0 + 5.0 * math.sin(t / 200.0)
        epoch = [
            sentence("GPRMC,%s,A,%s,%s,%s,%s,%.1f,%.1f,%s,,,A"
                     % (hms, dm(lat, 2), ns, dm(lon, 3), ew, speed_kn, heading, date)),
            sentence("GPGGA,%s,%s,%s,%s,%s,1,08,0.9,%.1f,M,46.9,M,,"
                     % (hms, dm(lat, 2), ns, dm(lon, 3), ew, alt)),
            sentence("GPGSA,A,3,04,05,09,12,17,24,25,29,,,,,1.8,0.9,1.5"),
            sentence("GPGSV,3,1,11,04,43,072,44,05,17,287,39,09,08,169,35,12,74,242,45"),
            sentence("GPGSV,3,2,11,17,39,125,41,24,22,051,38,25,52,301,43,29,11,318,33"),
            sentence("GPGSV,3,3,11,02,05,214,,10,03,023,,31,14,095,30"),
        ]
        for s in epoch:
            if n == lines:
                break
            out.write(s)
            n += 1
        t += 1
    out.close()


if __name__ == "__main__":
    main()
