#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# wayplot2-tool replay --trip against GeographicLib.
#
# The trip distance of a replayed drive must agree within 0.5 % with the
# geodesic length (GeographicLib, WGS-84) of the track points the replay kept,
# read back from the GPX export of its track file; a parked receiver must add
# less than 1 m and no moving time. The bundled emulation drive (one position
# a second) is turned into GSA, RMC and GGA sentences first (nmea_log.py).
#
# usage: trip_geodesic.py TOOL SOURCE_DIR   (the system Python, where
# python3-geographiclib installs; a missing module fails the test)

import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from geographiclib.geodesic import Geodesic
from nmea_log import write_drive

TRIP = re.compile(r"^trip: distance_m=(\S+) moving_s=(\S+) stopped_s=(\S+) "
                  r"avg_moving_mps=(\S+) max_mps=(\S+)$", re.M)
# Drives (under tests/data/nmea, or the converted emulation drive) with the
# shortest geodesic length that shows the log was read, in metres.
DRIVES = [("move4", 2000), ("long/leaflet-nmealayer-test.nmea", 2000),
          ("gpsd/bundg_zeus_9.log", 300)]
# Receivers standing still for half a minute to a minute.
PARKED = ["multignss/ublox-neo-m9n-nmea.log", "multignss/sirfstarv-nmea.log",
          "multignss/quectel-l76k-nmea.log"]


def replay(tool, log, work):
    atk, gpx = os.path.join(work, "t.atk"), os.path.join(work, "t.gpx")
    out = subprocess.run([tool, "replay", "--trip", log, atk], check=True,
                         capture_output=True, text=True).stdout
    found = TRIP.findall(out)
    assert len(found) == 1 and out.endswith("\n"), "no single trip line in:\n" + out
    subprocess.run([tool, "track", "export", atk, gpx], check=True, capture_output=True)
    p = [(float(p.get("lat")), float(p.get("lon")))
         for p in ET.parse(gpx).iter("{http://www.topografix.com/GPX/1/1}trkpt")]
    length = sum(Geodesic.WGS84.Inverse(*a, *b)["s12"] for a, b in zip(p, p[1:]))
    return [float(v) for v in found[0]], length


def main():
    tool, source = sys.argv[1], sys.argv[2]
    data = os.path.join(source, "tests/data/nmea")
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        drive = os.path.join(work, "move4.nmea")
        write_drive(os.path.join(source, "resources/windows/move4.txt"), drive)
        for name, shortest in DRIVES + [(name, None) for name in PARKED]:
            log = drive if name == "move4" else os.path.join(data, name)
            (distance, moving, stopped, average, _), length = replay(tool, log, work)
            if shortest:
                error = abs(distance - length) / length
                ok = error < 0.005 and length > shortest and abs(average * moving - distance) < 1
            else:
                ok = distance < 1.0 and stopped >= 25 and moving == 0
            print("%s: trip %.2f m, geodesic %.2f m, moving %.0f s, stopped %.0f s: %s"
                  % (name, distance, length, moving, stopped, "ok" if ok else "FAIL"))
            failures += not ok
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
