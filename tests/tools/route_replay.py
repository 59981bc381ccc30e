#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""wayplot2-tool replay --route on the bundled drive, against GeographicLib.

The drive (resources/windows/move4.txt, the emulation file) is written as an
NMEA log; routes of points on its path, 40 m beside it and far from it are
followed by the tool, and the lines of its "route:" output are compared with
the advance rule worked out here from the fixes `decode` gives, with
GeographicLib's geodesics on WGS-84 (not the program's geodesy).

usage: route_replay.py TOOL MOVE4.TXT
"""

import math
import subprocess
import sys
import tempfile

from geographiclib.geodesic import Geodesic

WGS84 = Geodesic.WGS84
RADIUS = 30.0


def nmea(body):
    check = 0
    for c in body.encode():
        check ^= c
    return "$%s*%02X\r\n" % (body, check)


def angle(value, hemispheres, width):
    a = abs(value)
    minutes = (a - int(a)) * 60
    return "%0*d%09.6f,%s" % (width, int(a), minutes, hemispheres[value < 0])


def write_log(move4, path):
    """One RMC and one GGA a second for each line of the emulation file."""
    with open(move4) as f, open(path, "w", newline="") as out:
        for i, line in enumerate(f):
            lat, lon, alt, _, course = (float(v) for v in line.split("*")[0].split(","))
            t = "10%02d%02d.00" % (i // 60, i % 60)
            pos = angle(lat, "NS", 2) + "," + angle(lon, "EW", 3)
            out.write(nmea("GPRMC,%s,A,%s,19.4,%.1f,071226,,,A" % (t, pos, math.degrees(course))))
            out.write(nmea("GPGGA,%s,%s,1,08,1.0,%.1f,M,0.0,M,," % (t, pos, alt)))


def fixes(tool, log):
    rows = subprocess.run([tool, "decode", log], check=True, capture_output=True, text=True)
    return [(int(r[0]), float(r[4]), float(r[5]))
            for r in (line.split(",") for line in rows.stdout.splitlines()[1:])]


def follow(points, fixes):
    """The advance rule on the fixes: [(k, name, line, how)], finished."""
    events, k, before = [], 0, None
    for line, lat, lon in fixes:
        if k == len(points):
            break
        name, plat, plon = points[k]
        to_fix = WGS84.Inverse(plat, plon, lat, lon)
        d = to_fix["s12"]
        beyond = None
        if k + 1 < len(points):
            leg = WGS84.Inverse(plat, plon, points[k + 1][1], points[k + 1][2])["azi1"]
            beyond = d * math.cos(math.radians(to_fix["azi1"] - leg))
        crossed = before is not None and beyond is not None and before <= 0 < beyond
        assert abs(d - RADIUS) > 0.05 and not (crossed and abs(d - 5 * RADIUS) < 0.05), \
            "fix at line %d is too near a limit to decide" % line
        before = beyond
        if d <= RADIUS or (crossed and d <= 5 * RADIUS):
            events.append((k, name, line, "radius" if d <= RADIUS else "passed"))
            k, before = k + 1, None
    return events, k == len(points)


def expected_output(points, events, finished):
    lines = ["route: arrived %d/%d %s at line %d" % (k + 1, len(points), name, line)
             for k, name, line, _ in events]
    return "\n".join(lines + (["route: finished"] if finished else [])) + "\n"


def run_route(tool, log, tmp, points):
    gpx = tmp + "/route.gpx"
    with open(gpx, "w") as f:
        f.write('<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><rte>\n')
        for name, lat, lon in points:
            f.write('<rtept lat="%.9f" lon="%.9f"><name>%s</name></rtept>\n' % (lat, lon, name))
        f.write("</rte></gpx>\n")
    out = subprocess.run([tool, "replay", "--route", gpx, log, tmp + "/out.atk"],
                         check=True, capture_output=True, text=True).stdout
    return "".join(line + "\n" for line in out.splitlines() if line.startswith("route:"))


def check_route_commands(tool, tmp, gpx, points):
    """route import, list (the length against GeographicLib's), show and delete."""
    def route(*args):
        return subprocess.run([tool, "--root", tmp, "route", *args], check=True,
                              capture_output=True, text=True).stdout
    route("import", gpx)
    length = sum(WGS84.Inverse(a[1], a[2], b[1], b[2])["s12"] for a, b in zip(points, points[1:]))
    assert route("list") == "RTE001\t%d\t%.0f\n" % (len(points), length), route("list")
    shown = [line.split("\t")[1:3] for line in route("show", "RTE001").splitlines()]
    assert [(n, round(float(lat), 7)) for n, lat in shown] == \
        [(n, round(lat, 7)) for n, lat, _ in points], shown
    route("delete", "RTE001")
    assert route("list") == ""


def main(tool, move4):
    with tempfile.TemporaryDirectory() as tmp:
        log = tmp + "/move4.nmea"
        write_log(move4, log)
        path = fixes(tool, log)
        assert len(path) == 360, len(path)

        def on(i, name, right=0.0):
            """The fix i of the drive, or a point `right` metres right of its course."""
            _, lat, lon = path[i]
            course = WGS84.Inverse(path[i - 1][1], path[i - 1][2], path[i + 1][1],
                                   path[i + 1][2])["azi1"]
            p = WGS84.Direct(lat, lon, course + 90, right)
            return (name, p["lat2"], p["lon2"])

        routes = [
            # On the path, beside it at 40 m (passed, never within the radius),
            # on it after the turn, on it near the end: finished.
            ([on(40, "Start"), on(120, "Beside", 40.0), on(250, "Turn"), on(330, "End")],
             ["radius", "passed", "radius", "radius"], True),
            # A point 2 km off the path is never reached: nothing after it advances.
            ([on(40, "Start"), on(200, "Far", -2000.0), on(250, "Turn")], ["radius"], False),
        ]
        for points, how, finished in routes:
            events, done = follow(points, path)
            assert [e[3] for e in events] == how and done == finished, events
            want = expected_output(points, events, finished)
            got = run_route(tool, log, tmp, points)
            if got != want:
                print("expected:\n%sgot:\n%s" % (want, got))
                return 1
            sys.stdout.write(got)
        check_route_commands(tool, tmp, tmp + "/route.gpx", routes[1][0])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
