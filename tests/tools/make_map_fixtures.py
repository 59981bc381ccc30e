#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Base maps whose pixels tell where they are, made with GDAL.

A 1024x1024 picture is placed on the Web Mercator tile grid of one zoom level
(4x4 tiles near 52 N 5 E, where Mercator stretches north-south by about 1.6)
and stored as an MBTiles file with two lower zoom levels, as a folder of PNG
tiles and as a folder of WebP tiles. Each pixel encodes its own column and
row: R = column % 256, G = row % 256, B = 64 * (column // 256) + 16 * (row // 256),
so a pixel off by one shows in R or G and a whole tile out of place in B.
The panel grey (230, 230, 230) never occurs (B is a multiple of 16).

usage: make_map_fixtures.py OUTDIR
"""

import concurrent.futures
import math
import os
import sqlite3
import subprocess
import sys

ZOOM = 12
# The north-west tile; both divisible by 4 so that the lower zoom levels made
# by averaging 2x2 and 4x4 blocks fill whole tiles too.
TILE_X = 2104
TILE_Y = 1360
TILES = 4
SIDE = TILES * 256
LOWER_ZOOMS = 2
MERCATOR_HALF = 20037508.342789244  # metres from the antimeridian to 0 E


def pixel(column, row):
    return (column % 256, row % 256, 64 * (column // 256) + 16 * (row // 256))


def pixel_to_degrees(column, row):
    """Fractional picture pixels to lon, lat."""
    n = 256 * 2**ZOOM
    wx, wy = (TILE_X * 256 + column) / n, (TILE_Y * 256 + row) / n
    return wx * 360.0 - 180.0, math.degrees(math.atan(math.sinh(math.pi - wy * 2 * math.pi)))


def bounds():
    """west, south, east, north in degrees."""
    (west, north), (east, south) = pixel_to_degrees(0, 0), pixel_to_degrees(SIDE, SIDE)
    return west, south, east, north


def picture_bytes():
    return bytes(v for row in range(SIDE) for column in range(SIDE) for v in pixel(column, row))


def read_ppm(path):
    """width, height and pixel bytes of a binary PPM without comments."""
    with open(path, "rb") as f:
        raw = f.read()
    magic, width, height, depth = raw.split(maxsplit=4)[:4]
    assert (magic, depth) == (b"P6", b"255"), path
    width, height = int(width), int(height)
    # One whitespace byte ends the header; the pixels may begin with another.
    return width, height, raw[len(raw) - 3 * width * height:]


def run(*args):
    subprocess.run(args, check=True, env=dict(os.environ, GDAL_PAM_ENABLED="NO"))


def make_mbtiles(ppm, path):
    size = 2 * MERCATOR_HALF / 2**ZOOM
    west, north = -MERCATOR_HALF + TILE_X * size, MERCATOR_HALF - TILE_Y * size
    run("gdal_translate", "-q", "-a_srs", "EPSG:3857", "-a_ullr", repr(west), repr(north),
        repr(west + TILES * size), repr(north - TILES * size), "-of", "MBTILES",
        "-co", "RESAMPLING=NEAREST", "-co", "NAME=position", ppm, path)
    run("gdaladdo", "-q", "-r", "average", path, *[str(2**k) for k in range(1, LOWER_ZOOMS + 1)])
    # GDAL 3.6 declares one zoom level below the lowest it wrote.
    with sqlite3.connect(path) as db:
        db.execute("UPDATE metadata SET value = ? WHERE name = 'minzoom'", (ZOOM - LOWER_ZOOMS,))


def check_mbtiles(path, picture, workdir):
    """GDAL chose our zoom and copied the pixels unchanged."""
    with sqlite3.connect(path) as db:
        maxzoom = dict(db.execute("SELECT name, value FROM metadata")).get("maxzoom")
        zooms = db.execute("SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles").fetchone()
    if maxzoom != str(ZOOM) or zooms != (ZOOM - LOWER_ZOOMS, ZOOM):
        raise RuntimeError(f"GDAL made zoom levels {zooms} (maxzoom {maxzoom}), not "
                           f"{ZOOM - LOWER_ZOOMS}..{ZOOM}")
    back = os.path.join(workdir, "back.ppm")
    run("gdal_translate", "-q", "-of", "PNM", "-b", "1", "-b", "2", "-b", "3", path, back)
    if read_ppm(back) != (SIDE, SIDE, picture):
        raise RuntimeError("the MBTiles file does not hold the picture pixel for pixel")
    os.remove(back)


def write_folders(mbtiles, folder, webp_folder):
    """The tiles of the MBTiles file in {z}/{x}/{y} folders, rows from the north."""
    conversions = []
    with sqlite3.connect(mbtiles) as db:
        for z, x, tms_row, data in db.execute(
                "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles"):
            png, webp = (os.path.join(root, str(z), str(x), str(2**z - 1 - tms_row))
                         for root in (folder, webp_folder))
            for path in (png, webp):
                os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(png + ".png", "wb") as f:
                f.write(data)
            conversions.append((png + ".png", webp + ".webp"))
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        list(pool.map(lambda c: run("gdal_translate", "-q", "-of", "WEBP", "-co", "LOSSLESS=YES",
                                    *c), conversions))


def make(outdir):
    """Writes position.mbtiles, tiles/ and tiles_webp/ into outdir."""
    os.makedirs(outdir, exist_ok=True)
    picture = picture_bytes()
    ppm = os.path.join(outdir, "position.ppm")
    with open(ppm, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (SIDE, SIDE) + picture)
    paths = {kind: os.path.join(outdir, name) for kind, name in
             (("mbtiles", "position.mbtiles"), ("folder", "tiles"), ("webp", "tiles_webp"))}
    make_mbtiles(ppm, paths["mbtiles"])
    check_mbtiles(paths["mbtiles"], picture, outdir)
    write_folders(paths["mbtiles"], paths["folder"], paths["webp"])
    return paths


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for kind, path in make(sys.argv[1]).items():
        print(f"{kind}: {path}")
