#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# wayplot2-tool replay --route on the bundled drive, against GeographicLib.
#
# The drive (resources/windows/move4.txt, the emulation file) is written as an
# NMEA log; routes of points on its path, 40 m beside it and far from it are
# followed by the tool, and its "route:" lines are compared with the advance
# rule worked out here from the fixes `decode` gives, with GeographicLib's
# geodesics on WGS-84 (not the program's geodesy). route import, list (the
# length), show and delete are checked on the way.
#
# usage: route_replay.py TOOL MOVE4.TXT

import math
import subprocess
import sys
import tempfile

from geographiclib.geodesic import Geodesic
from nmea_log import write_drive

WGS84 = Geodesic.WGS84
RADIUS = 30.0


# The advance rule on the fixes: the expected "route:" lines and how each
# point was left ("radius" or "passed").
def follow(points, fixes):
    lines, how, k, before = [], [], 0, None
    for line, lat, lon in fixes:
        if k == len(points):
            break
        name, plat, plon = points[k]
        to_fix = WGS84.Inverse(plat, plon, lat, lon)
        d, beyond = to_fix["s12"], None
        if k + 1 < len(points):
            leg = WGS84.Inverse(plat, plon, points[k + 1][1], points[k + 1][2])["azi1"]
            beyond = d * math.cos(math.radians(to_fix["azi1"] - leg))
        crossed = before is not None and beyond is not None and before <= 0 < beyond
        assert abs(d - RADIUS) > 0.05 and not (crossed and abs(d - 5 * RADIUS) < 0.05), line
        before = beyond
        if d <= RADIUS or (crossed and d <= 5 * RADIUS):
            lines.append("route: arrived %d/%d %s at line %d" % (k + 1, len(points), name, line))
            how.append("radius" if d <= RADIUS else "passed")
            k, before = k + 1, None
    return lines + ["route: finished"] * (k == len(points)), how


def main(tool, move4, tmp):
    log, gpx = tmp + "/move4.nmea", tmp + "/route.gpx"

    def run(*args):
        return subprocess.run([tool, "--root", tmp, *args], check=True, capture_output=True,
                              text=True).stdout.splitlines()

    write_drive(move4, log)
    # Every fix in the log's order (an RMC and a GGA a second, at one place),
    # and the drive's path: one of them a second.
    rows = [x.split(",") for x in run("decode", log)[1:]]
    fixes = [(int(r[0]), float(r[4]), float(r[5])) for r in rows]
    path = [fix for fix, r in zip(fixes, rows) if r[1] == "GPGGA"]
    assert len(path) == 360 and len(fixes) == 720, len(fixes)

    # The fix i of the drive, or a point `right` metres right of its course there.
    def on(i, name, right=0.0):
        course = WGS84.Inverse(*path[i - 1][1:], *path[i + 1][1:])["azi1"]
        p = WGS84.Direct(*path[i][1:], course + 90, right)
        return (name, p["lat2"], p["lon2"])

    routes = [
        # On the path, 40 m beside it (passed, never within the radius), on it: finished.
        ([on(40, "Start"), on(120, "Beside", 40.0), on(250, "Turn")],
         ["radius", "passed", "radius"]),
        # The last point counts only within the radius: passed at 40 m, the route goes on.
        ([on(40, "Start"), on(330, "End", -40.0)], ["radius"]),
        # A point 2 km off the path is never reached: nothing after it advances.
        ([on(40, "Start"), on(200, "Far", -2000.0), on(250, "Turn")], ["radius"]),
    ]
    for points, how in routes:
        with open(gpx, "w") as f:
            f.write('<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><rte>\n')
            for name, lat, lon in points:
                f.write('<rtept lat="%.9f" lon="%.9f"><name>%s</name></rtept>\n' % (lat, lon, name))
            f.write("</rte></gpx>\n")
        want, passed = follow(points, fixes)
        out = run("replay", "--route", gpx, log, tmp + "/out.atk")
        got = [x for x in out if x.startswith("route:")]
        assert passed == how, passed
        assert got == want, "expected:\n%s\ngot:\n%s" % ("\n".join(want), "\n".join(got))

    run("route", "import", gpx)
    length = sum(WGS84.Inverse(*a[1:], *b[1:])["s12"] for a, b in zip(points, points[1:]))
    assert run("route", "list") == ["RTE001\t3\t%.0f" % length], run("route", "list")
    shown = [x.split("\t")[1:3] for x in run("route", "show", "RTE001")]
    assert [(n, round(float(a), 7)) for n, a in shown] == [(n, round(a, 7)) for n, a, _ in points]
    run("route", "delete", "RTE001")
    assert run("route", "list") == []
    return 0


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        sys.exit(main(sys.argv[1], sys.argv[2], folder))
