#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The --json output of wayplot2-tool, read with Python's json module and
compared with the text the same command prints for the same file or receiver;
every field name must be documented in the manual page.

usage: json_output.py TOOL MANUAL.scd DATADIR
"""

import glob
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

from nmea_log import nmea

TOOL, MANUAL, DATA = sys.argv[1:4]
DOCUMENTED = set(re.findall(r"\*([a-z_]+)\*", open(MANUAL, encoding="utf-8").read()))
failures = []
compared = {"tracks": 0, "pushpins": 0, "reports": 0}


def run(*args):
    return subprocess.run([TOOL, "--root", ROOT, *args], capture_output=True, timeout=60)


def objects(what, out):
    """One JSON object a line, each field documented."""
    found = [json.loads(line) for line in out.decode("utf-8").splitlines()]
    compared[what] += len(found)
    failures.extend(f"{what}: '{key}' is not in the manual page"
                    for obj in found for key in obj if key not in DOCUMENTED)
    return found


def agree(label, json_values, text_values):
    """The JSON values are the text's, each number rounded as the text shows it."""
    def as_shown(value, shown):
        if type(value) not in (int, float) or not isinstance(shown, str):
            return value
        decimals = len(shown.split(".")[1]) if "." in shown else 0
        return f"{value:.{decimals}f}" if abs(value - float(shown)) < 10**-decimals else value
    if [as_shown(v, s) for v, s in zip(json_values, text_values)] != list(text_values):
        failures.append(f"{label}: JSON {json_values}, text {text_values}")


def check_track(path):
    """track info --json against the text, in metric units."""
    text = run("track", "info", path).stdout.decode()
    obj = objects("tracks", run("track", "info", "--json", path).stdout)[0]
    shown = re.findall(r"-?\d[\d.:T-]*Z?", text)
    metres = obj["length"] / 1000 if " km\n" in text else obj["length"]
    hms = [f"{s // 3600}:{s % 3600 // 60:02d}:{s % 60:02d}" for s in
           (int(obj[k] + 0.5) for k in ("duration", "moving_time") if obj[k] is not None)]
    times = [t for t in (obj["start"], obj["end"]) if t]
    box = [obj[k] for k in ("south", "west", "north", "east") if obj["points"]]
    agree(path, [obj["points"], obj["dated_points"], obj["pieces"], metres, *times, *hms,
                 obj["highest_speed"] * 3.6, *box], shown)


def check_pushpins(kpp):
    lines = run("pushpins", "list", kpp).stdout.decode("utf-8").splitlines()
    for line, obj in zip(lines, objects("pushpins", run("pushpins", "list", "--json", kpp).stdout)):
        unescape = {"\\\\": "\\", "\\t": "\t", "\\n": "\n", "\\r": "\r"}
        shown = [re.sub(r"\\.", lambda m: unescape[m[0]], f) for f in line[1:].split("\t")]
        agree(kpp, [obj["target"], str(obj["index"]), obj["name"], obj["latitude"],
                    obj["longitude"], obj["altitude"], obj["note"]], [line[0] == "*", *shown])
    return lines


EPOCH = b"".join(nmea(s).encode() for s in (
    "GPGGA,120000.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,",
    "GPGSA,A,3,04,05,09,12,24,25,29,31,,,,,1.6,0.9,1.3",
    "GPRMC,120000.00,A,4807.0380,N,01131.0000,E,035.0,084.4,230324,,,A",
    "GPGSV,2,1,05,04,40,083,46,05,17,308,41,09,07,344,39,12,22,228,45",
    "GPGSV,2,2,05,24,50,123,42", "GLGSV,1,1,02,65,30,100,40,66,20,200,"))


def monitor(*options):
    """The monitor's output for 2 s of a receiver sending a fix 5 times a second."""
    master, slave = os.openpty()
    stop = threading.Event()
    player = threading.Thread(target=lambda: [
        (os.write(master, EPOCH), time.sleep(0.2)) for _ in iter(stop.is_set, True)])
    player.start()
    try:
        return run("monitor", "--device", os.ttyname(slave), "--seconds", "2", *options).stdout
    finally:
        stop.set()
        player.join()
        os.close(slave)
        os.close(master)


def check_monitor():
    reports = objects("reports", monitor("--json"))
    last = reports[-1]
    text = dict(re.findall(r"^([^:\n]+): (.*)$", monitor().decode().split("\n\n")[-2], re.M))
    inview = re.fullmatch(r"(\d+) \((\d+) with signal\):(.*)", text["Satellites in view"])
    names = inview[3].split()
    agree("monitor", [[r["report"] for r in reports], last["fix"], last["condition"],
                      last["latitude"], last["longitude"], last["speed"], last["satellites_used"],
                      last["satellites_in_view"], last["satellites_with_signal"],
                      last["constellations"]],
          [[1, 2], text["Fix"], text["Condition"], *text["Position"].split(),
           text["Speed / Course"].split(" / ")[0],
           int(text["Satellites in the fix GSA (GGA)"].split()[0]), int(inview[1]),
           int(inview[2]), dict(zip(names[::2], map(int, names[1::2])))])


with tempfile.TemporaryDirectory() as ROOT:
    run("settings", "set", "UnitSystem", "dword", "1")
    atk = os.path.join(ROOT, "track.atk")
    for log in sorted(glob.glob(f"{DATA}/nmea/**/*.nmea", recursive=True))[:12]:
        if run("replay", log, atk).returncode == 0:
            check_track(atk)
    for gpx in sorted(glob.glob(f"{DATA}/gpx/**/*.gpx", recursive=True)):
        check_track(gpx)
    # Texts that JSON escapes or passes through: quotes, backslashes, tabs,
    # line ends, characters beyond ASCII.
    odd = os.path.join(ROOT, "odd.gpx")
    with open(odd, "w", encoding="utf-8") as f:
        f.write('<gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1"><wpt lat="-33.8"'
                ' lon="151.2"><name>"Z\\ürich"&#9;☃ 𝄞</name><desc>a&#10;b&#13;c</desc></wpt></gpx>')
    kpp = os.path.join(ROOT, "p.kpp")
    run("pushpins", "import", kpp, odd, *glob.glob(f"{DATA}/waypoints/*.[lc][os][cv]"))
    if not check_pushpins(kpp)[-1].endswith('\t"Z\\\\ürich"\\t☃ 𝄞\t-33.80000000\t151.20000000'
                                             '\t0.00\ta\\nb\\rc'):
        failures.append("the odd texts are not listed as imported")
    check_monitor()

for f in failures:
    print("FAIL:", f)
print(f"compared: {compared}; {len(failures)} failures")
sys.exit(1 if failures else 0)
