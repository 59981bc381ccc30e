# SPDX-License-Identifier: GPL-3.0-or-later
# NMEA for the tool tests: a sentence with its checksum, and the bundled
# emulation drive (resources/windows/move4.txt) written as a receiver's log.

import functools
import math


# "$", the body, "*", its checksum and CR LF.
def nmea(body):
    return "$%s*%02X\r\n" % (body, functools.reduce(lambda a, c: a ^ c, body.encode(), 0))


def angle(value, hemispheres, width):
    a = abs(value)
    return "%0*d%09.6f,%s" % (width, int(a), (a - int(a)) * 60, hemispheres[value < 0])


# A GSA, an RMC and a GGA a second for each line "lat,lon,alt,speed m/s,
# course rad*..." of the emulation file.
def write_drive(move4, path):
    with open(move4) as f, open(path, "w", newline="") as out:
        for i, line in enumerate(f):
            lat, lon, alt, speed, course = (float(v) for v in line.split("*")[0].split(","))
            t = "%02d%02d%02d.00" % (10 + i // 3600, i // 60 % 60, i % 60)
            pos = angle(lat, "NS", 2) + "," + angle(lon, "EW", 3)
            knots = speed / 0.5144444444444445
            out.write(nmea("GPGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.8,1.0,1.5"))
            out.write(nmea("GPRMC,%s,A,%s,%.2f,%.1f,071226,,,A" % (t, pos, knots,
                                                                 math.degrees(course))))
            out.write(nmea("GPGGA,%s,%s,1,08,1.0,%.1f,M,0.0,M,," % (t, pos, alt)))
