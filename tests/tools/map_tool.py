#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""wayplot2-tool map info and render on maps made by GDAL at test time.

Each pixel of the fixture encodes its own position (make_map_fixtures.py), so
the colour the tool draws at a position, compared with the pixel GDAL reads
there, shows whether the tiles are placed, scaled and turned right.

usage: map_tool.py TOOL        (exit 77 when the GDAL tools are not installed)
"""

import concurrent.futures
import functools
import http.server
import json
import math
import os
import random
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_map_fixtures as fx  # noqa: E402

# The track map's zoom step whose tiles are the fixture's highest zoom: step 10
# stands for 2000 m on the 55-pixel scale bar, about 0.69 million pixels for
# the world at 51.5 N, the finest zoom not coarser than that being 12
# (256 * 2^11 = 0.52 million).
STEP = 10
POSITIONS = 300


class Tool:
    def __init__(self, path, workdir):
        self.path, self.workdir, self.renders = path, workdir, 0

    def run(self, *args):
        return subprocess.run([self.path, "map", *args], capture_output=True, text=True,
                              timeout=60)

    def render(self, source, lon, lat, step=STEP, size="9x9", *options):
        """The image as rows of (r, g, b) tuples, and the tool's report."""
        self.renders += 1
        out = os.path.join(self.workdir, f"render{self.renders}.ppm")
        args = [source, "--centre", f"{lat!r},{lon!r}", "--zoom", str(step), "--size", size,
                *options]
        r = self.run("render", *args, out)
        if r.returncode != 0:
            raise AssertionError(f"render {' '.join(args)} failed: {r.stderr}")
        width, height, data = fx.read_ppm(out)
        os.remove(out)
        rows = [[tuple(data[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
                for y in range(height)]
        return rows, r.stdout


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def same_pixel(gdal, drawn):
    """Interpolation moves R and G by one at most; B changes only at the wraps."""
    return near(gdal[:2], drawn[:2], 1) and gdal[2] == drawn[2]


def gdal_pixels(mbtiles, positions):
    """GDAL's pixel (r, g, b) at each (lon, lat), read in one call."""
    text = "".join(f"{lon!r} {lat!r}\n" for lon, lat in positions)
    out = subprocess.run(["gdallocationinfo", "-wgs84", "-valonly", "-b", "1", "-b", "2", "-b",
                          "3", mbtiles], input=text, capture_output=True, text=True, check=True)
    values = [int(v) for v in out.stdout.split()]
    assert len(values) == 3 * len(positions), "gdallocationinfo answered " + out.stdout[:200]
    return [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]


def check_alignment_with_gdal(tool, maps):
    """The centre pixel of a render is the pixel GDAL finds at that position."""
    rng = random.Random(20261207)
    positions = []
    while len(positions) < POSITIONS:
        column, row = rng.uniform(0, fx.SIDE), rng.uniform(0, fx.SIDE)
        # Drawing interpolates neighbouring pixels: R and G jump where they wrap.
        if all(1 <= v % 256 <= 255 for v in (column, row)):
            positions.append(fx.pixel_to_degrees(column, row))
    expected = gdal_pixels(maps["mbtiles"], positions)
    _, report = tool.render(maps["mbtiles"], *positions[0])
    assert f"tiles of zoom {fx.ZOOM}" in report, "step %d does not draw zoom %d: %s" % (
        STEP, fx.ZOOM, report)
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        drawn = list(pool.map(lambda p: tool.render(maps["mbtiles"], *p)[0][4][4], positions))
    bad = [(p, e, d) for p, e, d in zip(positions, expected, drawn) if not same_pixel(e, d)]
    print(f"alignment: {len(positions)} positions compared with GDAL, {len(bad)} differ")
    assert not bad, "lon, lat, GDAL's pixel, drawn pixel:\n" + "\n".join(
        f"  {p[0]:.7f} {p[1]:.7f} {e} {d}" for p, e, d in bad[:10])


def metres_per_degree_east(lat):
    """Along the parallel on the WGS-84 ellipsoid."""
    a, f = 6378137.0, 1 / 298.257223563
    e2 = f * (2 - f)
    phi = math.radians(lat)
    return a * math.cos(phi) / math.sqrt(1 - e2 * math.sin(phi)**2) * math.pi / 180


def check_scale(tool, maps):
    """The 55-pixel bar stands for the step's length: 2000 m at step 10 in metric
    units, 1.2 statute or nautical miles in the others; north-south as Mercator."""
    column, row = 512.0, 512.0
    lon, lat = fx.pixel_to_degrees(column, row)
    offsets = [(round(r * math.cos(a / 8 * math.pi)), round(r * math.sin(a / 8 * math.pi)))
               for r in (60, 110) for a in range(16)]
    for units, metres in (("metric", 2000), ("us", 1.2 * 1609), ("nautical", 1.2 * 1852)):
        pixels_per_world = 360 * metres_per_degree_east(lat) * 55 / metres
        tile_pixels = 256 * 2**fx.ZOOM / pixels_per_world  # per screen pixel
        image = tool.render(maps["mbtiles"], lon, lat, STEP, "241x241", "--units", units)[0]
        samples = [(dx, dy, column + dx * tile_pixels, row + dy * tile_pixels)
                   for dx, dy in offsets]
        samples = [s for s in samples if all(1.5 <= v % 256 <= 254.5 for v in s[2:])]
        expected = gdal_pixels(maps["mbtiles"], [fx.pixel_to_degrees(*s[2:]) for s in samples])
        for (dx, dy, _, _), want in zip(samples, expected):
            got = image[120 + dy][120 + dx]
            assert same_pixel(want, got), f"{units}: {dx},{dy} from the centre {got}, GDAL {want}"


def check_folders_draw_as_mbtiles(tool, maps):
    """The PNG and WebP tile folders, and the PNG folder served over HTTP, give
    the MBTiles file's image, at two zooms."""
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *a: None})
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(quiet, directory=maps["folder"]))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sources = dict(maps, server=f"http://127.0.0.1:{server.server_port}/{{z}}/{{x}}/{{y}}.png")
    try:
        for step, (lon, lat) in ((STEP, fx.pixel_to_degrees(300.5, 700.5)),
                                 (STEP + 2, fx.pixel_to_degrees(512.5, 512.5))):
            images = {kind: tool.render(sources[kind], lon, lat, step, "240x264")[0]
                      for kind in sources}
            for kind in ("folder", "webp", "server"):
                assert images[kind] == images["mbtiles"], f"{kind} differs at step {step}"
        # --root before the command reaches the map program: the server's tiles are kept under it.
        root = os.path.join(tool.workdir, "root")
        r = subprocess.run([tool.path, "--root", root, "map", "render", sources["server"], "--centre",
                            f"{lat!r},{lon!r}", "--zoom", str(STEP), os.path.join(root, "r.ppm")],
                           capture_output=True, text=True, timeout=60)
        assert r.returncode == 0 and os.path.isdir(os.path.join(root, "cache", "tiles")), r.stderr
    finally:
        server.shutdown()


def check_rotation(tool, maps):
    """Heading 90 up: what lay east of the centre lies above it."""
    lon, lat = fx.pixel_to_degrees(600.3, 400.7)
    north = tool.render(maps["mbtiles"], lon, lat, STEP - 1, "61x61")[0]
    east = tool.render(maps["mbtiles"], lon, lat, STEP - 1, "61x61", "--rotate", "90")[0]
    c = 30
    for dx, dy in ((20, 0), (0, 20), (-15, 25), (25, -10), (-22, -18)):
        want = north[c + dy][c + dx]
        around = [east[c - dx + j][c + dy + i] for i in (-1, 0, 1) for j in (-1, 0, 1)]
        assert any(near(want, got, 2) for got in around), (
            f"offset {dx},{dy}: {want} north up, {around} with heading 90")


def check_bad_sources_and_info(tool, maps):
    """Bad sources say what is wrong and exit 1; info describes the fixture."""
    workdir = tool.workdir
    text, untiled, vector, empty = (os.path.join(workdir, name) for name in (
        "text.mbtiles", "untiled.mbtiles", "vector.mbtiles", "empty_folder"))
    with open(text, "w") as f:
        f.write("not a database\n" * 100)
    metadata = "CREATE TABLE metadata (name TEXT, value TEXT);"
    with sqlite3.connect(untiled) as db:
        db.executescript(metadata)
    with sqlite3.connect(vector) as db:
        db.executescript(metadata + "INSERT INTO metadata VALUES ('format', 'pbf');"
                         "CREATE TABLE tiles (zoom_level, tile_column, tile_row, tile_data);")
    os.mkdir(empty)
    cases = [(text, "not an SQLite database"), (untiled, "no tiles table"),
             (vector, "vector tiles"), (os.path.join(workdir, "nothing.mbtiles"), "No such file"),
             (os.path.join(workdir, "nothing", ""), "No such file"), (empty, "holds no tiles")]
    render = ["render", "--centre", "51.5,5.1", "--zoom", "10"]  # then the source and the image
    runs = [(problem, args) for source, problem in cases
            for args in (["info", source], render + [source, os.path.join(workdir, "bad.png")])]
    runs += [("cannot write", render + [maps["mbtiles"], os.path.join(workdir, out)])
             for out in (os.path.join("nothing", "out.png"), "out.xyz")]
    for problem, args in runs:
        r = tool.run(*args)
        assert r.returncode == 1 and problem in r.stderr, (
            f"map {' '.join(args)}: exit {r.returncode}, {r.stderr!r}, not {problem!r}")

    with sqlite3.connect(maps["mbtiles"]) as db:
        count, low, high = db.execute(
            "SELECT COUNT(*), MIN(zoom_level), MAX(zoom_level) FROM tiles").fetchone()
    for kind in ("mbtiles", "folder"):
        r = tool.run("info", maps[kind])
        assert r.returncode == 0, r.stderr
        info = dict(line.split(": ", 1) for line in r.stdout.splitlines())
        assert (info["zoom"], info["tiles"]) == (f"{low}-{high}", str(count)), r.stdout
        bounds = [float(v) for v in info["bounds"].split(",")]
        assert all(math.isclose(a, b, abs_tol=1e-6) for a, b in zip(bounds, fx.bounds())), (
            f"{kind} bounds {bounds}, the fixture's {fx.bounds()}")
        # The same in JSON, one object with the text's values at full precision.
        j = json.loads(tool.run("info", "--json", maps[kind]).stdout)
        shown = (j["source"], j["name"], j["format"] or "(not declared)",
                 f"{j['min_zoom']}-{j['max_zoom']}", j["tiles"], f"{j['size']} bytes",
                 [round(j[k], 6) for k in ("west", "south", "east", "north")])
        assert shown == (info["source"], info["name"], info["format"], info["zoom"], count,
                         info["size"], bounds), f"{kind}: JSON {j}, text {info}"
    # A name of raw bytes: control characters escaped, UTF-8 passed through,
    # a byte that is not UTF-8 replaced, so the line stays valid JSON.
    odd = os.path.join(workdir, "odd.mbtiles")
    shutil.copy(maps["mbtiles"], odd)
    with sqlite3.connect(odd) as db:
        db.execute("UPDATE metadata SET value = CAST(? AS TEXT) WHERE name = 'name'",
                   (b'\x01\t"q\\ caf\xc3\xa9 \xe2\x98\x83 \xff',))
    name = json.loads(tool.run("info", "--json", odd).stdout)["name"]
    assert name == '\x01\t"q\\ caf\u00e9 \u2603 \ufffd', repr(name)
    server = "https://tiles.example.org/{z}/{x}/{y}.png"
    r = tool.run("info", server)
    assert r.stdout == f"source: tile server\ntemplate: {server}\n"
    j = json.loads(tool.run("info", "--json", server).stdout)
    assert j == {"source": "tile server", "template": server}, j


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    missing = [t for t in ("gdal_translate", "gdaladdo", "gdallocationinfo") if not shutil.which(t)]
    if missing:
        print("gdal-bin is not installed (no " + ", ".join(missing) + ")")
        return 77
    failures = 0
    with tempfile.TemporaryDirectory() as workdir:
        os.environ["XDG_CACHE_HOME"] = os.path.join(workdir, "cache")  # the server's tiles
        maps = fx.make(os.path.join(workdir, "maps"))
        tool = Tool(sys.argv[1], workdir)
        for check in (check_alignment_with_gdal, check_scale, check_folders_draw_as_mbtiles,
                      check_rotation, check_bad_sources_and_info):
            try:
                check(tool, maps)
                print(f"ok: {check.__name__}")
            except AssertionError as e:
                failures += 1
                print(f"FAIL: {check.__name__}: {e}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
