#!/usr/bin/env python3
"""Writes small RAW (TIFF-structured, as DNG) and HEIC photos for the tests:
a 1x1 TIFF whose tags exiftool writes, and a HEIF file (ftyp, meta with an
Exif item, mdat) holding the same TIFF block as its Exif item.

    make_raw_heic.py DIR NAME.dng|NAME.heic II|MM 'YYYY:MM:DD hh:mm:ss' [LAT LON]
"""
import subprocess
import struct
import sys


def tiff(little):
    order = "<" if little else ">"
    entries = [(256, 3, 1, struct.pack(order + "H", 1) + b"\0\0"), (257, 3, 1, struct.pack(order + "H", 1) + b"\0\0")]
    data = (b"II" if little else b"MM") + struct.pack(order + "HI", 42, 8) + struct.pack(order + "H", len(entries))
    for tag, kind, count, value in entries:
        data += struct.pack(order + "HHI", tag, kind, count) + value
    return data + struct.pack(order + "I", 0)


def be(value, size):
    return value.to_bytes(size, "big")


def box(kind, content):
    return be(len(content) + 8, 4) + kind + content


def full_box(kind, version, content):
    return box(kind, bytes([version, 0, 0, 0]) + content)


def heif(tiff_block):
    item = be(6, 4) + b"Exif\0\0" + tiff_block
    ftyp = box(b"ftyp", b"heic" + be(0, 4) + b"mif1heic")
    iinf = full_box(b"iinf", 0, be(1, 2) + full_box(b"infe", 2, be(1, 2) + be(0, 2) + b"Exif\0"))

    def meta(offset):
        iloc = full_box(b"iloc", 0, bytes([0x44, 0]) + be(1, 2) + be(1, 2) + be(0, 2) + be(1, 2) + be(offset, 4) +
                        be(len(item), 4))
        return full_box(b"meta", 0, full_box(b"hdlr", 0, be(0, 4) + b"pict" + bytes(13)) + iinf + iloc)

    offset = len(ftyp) + len(meta(0)) + 8
    return ftyp + meta(offset) + box(b"mdat", item)


def main(argv):
    if len(argv) not in (5, 7):
        sys.stderr.write(__doc__)
        return 64
    folder, name, order, when = argv[1:5]
    tags = ["-DateTimeOriginal=" + when]
    if len(argv) == 7:
        lat, lon = float(argv[5]), float(argv[6])
        tags += ["-GPSLatitude=%f" % abs(lat), "-GPSLatitudeRef=" + ("S" if lat < 0 else "N"),
                 "-GPSLongitude=%f" % abs(lon), "-GPSLongitudeRef=" + ("W" if lon < 0 else "E")]
    raw = folder + "/" + (name if name.lower().endswith(".dng") else name + ".tif")
    with open(raw, "wb") as out:
        out.write(tiff(order == "II"))
    subprocess.run(["exiftool", "-q", "-q", "-overwrite_original"] + tags + [raw], check=True)
    if name.lower().endswith(".heic"):
        with open(raw, "rb") as f:
            block = f.read()
        with open(folder + "/" + name, "wb") as out:
            out.write(heif(block))
        import os
        os.remove(raw)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
