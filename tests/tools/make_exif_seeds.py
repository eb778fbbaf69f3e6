#!/usr/bin/env python3
"""Writes the seed photos of the Exif fuzz targets into DIR: the RAW (TIFF)
and HEIC files of make_raw_heic.py in both byte orders with and without a
GPS position, a CR3 whose CMT boxes hold the same TIFF structure, JPEG files
with that structure in their Exif segment (after a JFIF segment too) and a
RAF around one of them.

    make_exif_seeds.py DIR
"""
import os
import sys

import make_raw_heic


def segment(marker, payload):
    return b"\xff" + bytes([marker]) + (len(payload) + 2).to_bytes(2, "big") + payload


def jpeg(tiff_block, jfif=False):
    head = segment(0xE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0") if jfif else b""
    return b"\xff\xd8" + head + segment(0xE1, b"Exif\0\0" + tiff_block) + b"\xff\xd9"


def raf(jpeg_bytes):
    head = b"FUJIFILMCCD-RAW 0201FF383501" + bytes(56) + (100).to_bytes(4, "big") + len(jpeg_bytes).to_bytes(4, "big")
    return head.ljust(100, b"\0") + jpeg_bytes


def cr3(tiff_block):
    box = make_raw_heic.box
    uuid = bytes.fromhex("85C0B687820F11E08111F4CE462B6A48")
    canon = box(b"uuid", uuid + box(b"CMT1", tiff_block) + box(b"CMT2", tiff_block) + box(b"CMT4", tiff_block))
    return box(b"ftyp", b"crx " + (1).to_bytes(4, "big") + b"crx isom") + box(b"moov", canon) + box(b"mdat", bytes(16))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 64
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    when = "2024:05:06 07:08:09"
    for order in ("II", "MM"):
        for gps in ((), ("-33.8675", "151.207")):
            tag = order.lower() + ("_gps" if gps else "")
            for name in ("raw_%s.dng" % tag, "phone_%s.heic" % tag):
                if make_raw_heic.main(["", folder, name, order, when, *gps]) != 0:
                    return 1
            with open(os.path.join(folder, "raw_%s.dng" % tag), "rb") as f:
                block = f.read()
            for name, data in (("canon_%s.cr3" % tag, cr3(block)), ("camera_%s.jpg" % tag, jpeg(block)),
                               ("jfif_%s.jpg" % tag, jpeg(block, True)), ("fuji_%s.raf" % tag, raf(jpeg(block)))):
                with open(os.path.join(folder, name), "wb") as out:
                    out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
