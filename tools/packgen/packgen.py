#!/usr/bin/env python3
"""Generates Ambience's sample art packs.

    packgen.py --out DIR [--preview DIR] [--scale F]

writes "ambience-gallery.zip" (raster paintings as JPEG) and
"ambience-lines.zip" (vector drawings as EMF and WMF) into DIR. Every picture
comes from a fixed seed and the archives carry fixed timestamps, so the same
generator gives the same packs. --preview also writes PNG renderings of the
vector drawings (for looking at them); --scale shrinks the raster pictures
(for quick trials; the packs themselves are made at full size).
"""

import argparse
import io
import os
import sys
import time
import zipfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import metafile  # noqa: E402
import raster  # noqa: E402
import vector  # noqa: E402

STAMP = (2026, 1, 1, 12, 0, 0)

# Number, year, title, author, painter, width, height.
GALLERY = [
    (1, 1911, "Ember Fields", "Ilse Marrow", raster.colour_fields, 1800, 2400),
    (2, 1887, "Valley at First Light", "Jules Avenell", raster.mountains, 2560, 1600),
    (3, 1926, "Composition with Circles", "Sten Halvard", raster.circles_composition, 2200, 2200),
    (4, 1893, "Evening Tide", "Jules Avenell", raster.seascape, 2400, 1500),
    (5, 1958, "Currents", "Ilse Marrow", raster.currents, 2400, 1600),
    (6, 1931, "Rose Window", "Sten Halvard", raster.stained_glass, 1800, 2400),
    (7, 1902, "Northern Night", "Mira Okonde", raster.northern_night, 2560, 1440),
    (8, 1899, "Pines in Fog", "Mira Okonde", raster.pines_in_fog, 2400, 1600),
    (9, 1966, "Vibration Study", "Sten Halvard", raster.vibration, 2000, 2000),
    (10, 1974, "Garden Washes", "Ilse Marrow", raster.garden_washes, 2400, 1700),
    (11, 1909, "Dunes at Noon", "Mira Okonde", raster.dunes, 2600, 1500),
    (12, 1961, "Homage in Ochre", "Ilse Marrow", raster.nested_squares, 2000, 2000),
]

# Number, year, title, drawing, format.
LINES = [
    (1, 2018, "Harbour at Dawn", vector.harbour, "emf"),
    (2, 2018, "Golden Spiral", vector.spiral, "wmf"),
    (3, 2019, "Still Life with Pears", vector.still_life, "emf"),
    (4, 2020, "Fern", vector.fern, "wmf"),
    (5, 2021, "Rooftops", vector.rooftops, "emf"),
    (6, 2022, "Rolling Hills", vector.rolling_hills, "wmf"),
]

GALLERY_COMMENT = "[Pack]\r\nName=Ambience Gallery\r\nIcon=0\r\nLabel=Sample paintings\r\n"
LINES_COMMENT = "[Pack]\r\nName=Ambience Lines\r\nAuthor=Edda Quill\r\nIcon=9\r\nLabel=Sample drawings\r\n"


def add(zf, name, data, compress):
    info = zipfile.ZipInfo(name, date_time=STAMP)
    info.compress_type = zipfile.ZIP_DEFLATED if compress else zipfile.ZIP_STORED
    info.create_system = 3
    info.external_attr = 0o100644 << 16
    zf.writestr(info, data, compresslevel=9 if compress else None)


def write_zip(path, comment, entries):
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as zf:
        for name, data, compress in entries:
            add(zf, name, data, compress)
        zf.comment = comment.encode("ascii")
    os.replace(tmp, path)


def gallery_entries(scale):
    entries = []
    for number, year, title, author, painter, w, h in GALLERY:
        rng = np.random.default_rng(1000 + number)
        w, h = int(w * scale), int(h * scale)
        t0 = time.monotonic()
        image = painter(rng, w, h)
        if os.environ.get("PACKGEN_VERBOSE"):
            print(f"  {title}: {time.monotonic() - t0:.1f} s", file=sys.stderr)
        buf = io.BytesIO()
        image.save(buf, "JPEG", quality=90, optimize=True)
        entries.append((f"{number:02d} - {year} - {title} - {author}.jpg", buf.getvalue(), False))
    return entries


def lines_entries(preview):
    entries = []
    for number, year, title, draw, fmt in LINES:
        rng = np.random.default_rng(2000 + number)
        drawing = draw(rng)
        data = metafile.to_emf(drawing, title) if fmt == "emf" else metafile.to_wmf(drawing)
        entries.append((f"{number:02d} - {year} - {title}.{fmt}", data, True))
        if preview:
            metafile.to_image(drawing, 0.5).save(os.path.join(preview, f"lines-{number:02d}.png"))
    return entries


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    parser.add_argument("--preview")
    parser.add_argument("--scale", type=float, default=1.0)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
    start = time.monotonic()
    write_zip(os.path.join(args.out, "ambience-lines.zip"), LINES_COMMENT, lines_entries(args.preview))
    write_zip(os.path.join(args.out, "ambience-gallery.zip"), GALLERY_COMMENT, gallery_entries(args.scale))
    print(f"packgen: sample packs written to {args.out} in {time.monotonic() - start:.1f} s")


if __name__ == "__main__":
    main()
