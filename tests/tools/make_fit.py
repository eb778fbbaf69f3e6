#!/usr/bin/env python3
"""Writes small FIT activity files for the tests: definition and data
messages as the FIT protocol lays them out, with the faults the reader must
cope with (cut files, wrong CRCs, invalid-value markers).

    make_fit.py CASE OUT      writes the file of CASE (see CASES) to OUT
    make_fit.py --list        names the cases
"""
import struct
import sys

FIT_EPOCH = 631065600  # 1989-12-31 00:00 UTC in Unix seconds

# Base types: (number byte, struct code, invalid marker)
ENUM = (0x00, "B", 0xFF)
SINT8 = (0x01, "b", 0x7F)
UINT8 = (0x02, "B", 0xFF)
SINT16 = (0x83, "h", 0x7FFF)
UINT16 = (0x84, "H", 0xFFFF)
SINT32 = (0x85, "i", 0x7FFFFFFF)
UINT32 = (0x86, "I", 0xFFFFFFFF)
UINT32Z = (0x8C, "I", 0)

FILE_ID, SESSION, LAP, RECORD, EVENT = 0, 18, 19, 20, 21
DEVELOPER_DATA_ID, FIELD_DESCRIPTION = 207, 206

# The record fields: (number, base type)
TIMESTAMP = (253, UINT32)
LAT = (0, SINT32)
LON = (1, SINT32)
ALT = (2, UINT16)
HR = (3, UINT8)
CAD = (4, UINT8)
DIST = (5, UINT32)
SPEED = (6, UINT16)
E_SPEED = (73, UINT32)
E_ALT = (78, UINT32)


def crc16(data, crc=0):
    table = [0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
             0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400]
    for byte in data:
        tmp = table[crc & 0xF]
        crc = (crc >> 4) & 0x0FFF
        crc = crc ^ tmp ^ table[byte & 0xF]
        tmp = table[crc & 0xF]
        crc = (crc >> 4) & 0x0FFF
        crc = crc ^ tmp ^ table[(byte >> 4) & 0xF]
    return crc


def semicircles(degrees):
    return int(round(degrees * 2**31 / 180.0))


def fit_time(iso):
    """'2024-05-01T06:30:00' as FIT seconds."""
    import calendar
    import time
    return calendar.timegm(time.strptime(iso, "%Y-%m-%dT%H:%M:%S")) - FIT_EPOCH


class FitFile:
    def __init__(self, header_size=14):
        self.header_size = header_size
        self.data = bytearray()
        self.defs = {}

    def define(self, local, global_number, fields, big_endian=False, developer=()):
        """fields: [(number, base type)]; developer: [(number, size, index)]."""
        self.defs[local] = (fields, big_endian, developer)
        header = 0x40 | local | (0x20 if developer else 0)
        order = ">" if big_endian else "<"
        self.data += bytes([header, 0, 1 if big_endian else 0])
        self.data += struct.pack(order + "HB", global_number, len(fields))
        for number, base in fields:
            self.data += bytes([number, struct.calcsize(base[1]), base[0]])
        if developer:
            self.data += bytes([len(developer)])
            for number, size, index in developer:
                self.data += bytes([number, size, index])

    def message(self, local, values, developer_bytes=b"", time_offset=None):
        """values: one per field of the definition; None is the invalid marker.
        time_offset: a compressed-timestamp header with these five bits."""
        fields, big_endian, _ = self.defs[local]
        order = ">" if big_endian else "<"
        if time_offset is None:
            self.data += bytes([local])
        else:
            self.data += bytes([0x80 | (local << 5) | (time_offset & 0x1F)])
        for (number, base), value in zip(fields, values):
            self.data += struct.pack(order + base[1], base[2] if value is None else value)
        self.data += developer_bytes

    def bytes(self, crc_fault=False):
        header = struct.pack("<BBHI4s", self.header_size, 0x20, 2132, len(self.data), b".FIT")
        if self.header_size >= 14:
            header += struct.pack("<H", crc16(header))
        header += bytes(self.header_size - len(header))  # a longer header of a later protocol
        body = header + bytes(self.data)
        crc = crc16(body)
        if crc_fault:
            crc ^= 0x5A5A
        return body + struct.pack("<H", crc)


RECORD_FIELDS = [TIMESTAMP, LAT, LON, E_ALT, E_SPEED, HR, CAD]


def file_id(f, local=0, big_endian=False):
    # type (activity), manufacturer, product, serial, time created
    f.define(local, FILE_ID, [(0, ENUM), (1, UINT16), (2, UINT16), (3, UINT32Z), (4, UINT32)], big_endian)
    f.message(local, [4, 1, 2697, 3_512_345_678, fit_time("2024-05-01T06:30:00")])


# A walk by the harbour of Sydney, south and east: (seconds, lat, lon,
# altitude m, speed m/s, heart rate, cadence).
WALK = [
    (0, -33.8567844, 151.2152967, 12.4, 1.25, 96, 52),
    (5, -33.8566101, 151.2154820, 12.8, 1.31, 101, 54),
    (10, -33.8564399, 151.2156702, 13.6, 1.40, 108, 56),
    (15, -33.8562587, 151.2158655, 14.2, 1.38, 112, 55),
    (20, -33.8560810, 151.2160601, 15.0, 1.45, 115, 57),
]


def walk_record(start, point):
    seconds, lat, lon, alt, speed, hr, cad = point
    return [start + seconds, semicircles(lat), semicircles(lon), int(round((alt + 500) * 5)),
            int(round(speed * 1000)), hr, cad]


def normal():
    f = FitFile()
    file_id(f)
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, EVENT, [TIMESTAMP, (0, ENUM), (1, ENUM)])
    f.message(0, [start, 0, 0])
    f.define(1, RECORD, RECORD_FIELDS)
    for point in WALK:
        f.message(1, walk_record(start, point))
    f.define(2, LAP, [TIMESTAMP, (7, UINT32)])
    f.message(2, [start + 20, 20000])
    return f.bytes()


def compressed():
    # Compressed headers carry the low five bits of the time; the third and
    # fourth records roll over a 32-second boundary.
    f = FitFile()
    file_id(f)
    start = fit_time("2024-05-01T06:30:00") + 27  # low bits 27 = 0b11011
    f.define(0, RECORD, RECORD_FIELDS)
    f.message(0, walk_record(start, WALK[0]))
    f.define(1, RECORD, [LAT, LON, E_ALT, E_SPEED, HR, CAD])
    for seconds in (2, 5, 9, 40):
        point = WALK[min(len(WALK) - 1, seconds // 5)]
        values = walk_record(start, point)[1:]
        f.message(1, values, time_offset=(start + seconds) & 0x1F)
    return f.bytes()


def developer():
    # A developer data id, a field description and records with two
    # developer fields of 1 and 4 bytes after their own fields.
    f = FitFile()
    file_id(f)
    f.define(2, DEVELOPER_DATA_ID, [(3, UINT8)])
    f.message(2, [0])
    f.define(3, FIELD_DESCRIPTION, [(0, UINT8), (1, UINT8), (2, UINT8)])
    f.message(3, [0, 0, 2])
    f.message(3, [0, 1, 6])
    start = fit_time("2024-05-01T06:30:00")
    f.define(1, RECORD, [TIMESTAMP, LAT, LON, ALT, SPEED], developer=[(0, 1, 0), (1, 4, 0)])
    for point in WALK[:3]:
        seconds, lat, lon, alt, speed, _, _ = point
        f.message(1, [start + seconds, semicircles(lat), semicircles(lon), int(round((alt + 500) * 5)),
                      int(round(speed * 1000))], developer_bytes=bytes([0x7A, 1, 2, 3, 4]))
    return f.bytes()


def big_endian():
    f = FitFile(header_size=12)
    file_id(f, big_endian=True)
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, RECORD_FIELDS, big_endian=True)
    for point in WALK:
        f.message(0, walk_record(start, point))
    return f.bytes()


def chained():
    # Two activities in one file, each with its own header, definitions and
    # CRC; the second file uses the first one's local types otherwise.
    first = FitFile()
    file_id(first)
    start = fit_time("2024-05-01T06:30:00")
    first.define(1, RECORD, RECORD_FIELDS)
    for point in WALK[:2]:
        first.message(1, walk_record(start, point))
    second = FitFile()
    file_id(second)
    later = fit_time("2024-05-01T07:00:00")
    second.define(1, RECORD, [TIMESTAMP, LAT, LON, ALT], big_endian=True)
    for seconds, lat, lon, alt, _, _, _ in WALK[2:]:
        second.message(1, [later + seconds, semicircles(lat), semicircles(lon), int(round((alt + 500) * 5))])
    return first.bytes() + second.bytes()


def invalid():
    # Every value of interest once at its invalid marker: a record without a
    # position (either half missing), without altitude, speed, heart rate or
    # cadence, and one without a time.
    f = FitFile()
    file_id(f)
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, RECORD_FIELDS + [ALT, SPEED])
    rows = [
        [start, None, None, None, None, None, None, None, None],
        [start + 1, semicircles(-33.8567844), None, 2562, 1250, 96, 52, None, None],
        [start + 2, semicircles(-33.8567844), semicircles(151.2152967), None, None, None, None, None, None],
        [start + 3, semicircles(-33.8566101), semicircles(151.2154820), None, None, 101, None, 2564, 1310],
        [None, semicircles(-33.8564399), semicircles(151.2156702), 2568, 1400, None, 56, None, None],
    ]
    for row in rows:
        f.message(0, row)
    return f.bytes()


def cut():
    # The file breaks off inside the fourth record.
    data = normal()
    end = data.index(bytes([1]) + struct.pack("<I", fit_time("2024-05-01T06:30:15")))
    return data[:end + 9]


def bad_crc():
    f = FitFile()
    file_id(f)
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, RECORD_FIELDS)
    for point in WALK[:3]:
        f.message(0, walk_record(start, point))
    return f.bytes(crc_fault=True)


def rio():
    # The track of the GPX photo case, to place the same photos by.
    f = FitFile()
    file_id(f)
    start = fit_time("2024-05-10T01:00:00")
    f.define(0, RECORD, [TIMESTAMP, LAT, LON])
    for i in range(4):
        f.message(0, [start + 10 * i, semicircles(-22.97 - 0.001 * i), semicircles(-43.18 - 0.001 * i)])
    return f.bytes()


def header_crc():
    # A 14-byte header whose CRC is wrong, and one (second file) without a
    # CRC (0), which is no fault.
    f = FitFile()
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, [TIMESTAMP, LAT, LON])
    f.message(0, [start, semicircles(35.6812), semicircles(139.7671)])
    data = bytearray(f.bytes())
    data[12] ^= 0xFF
    data[-2:] = struct.pack("<H", crc16(bytes(data[:-2])))
    g = FitFile()
    g.define(0, RECORD, [TIMESTAMP, LAT, LON])
    g.message(0, [start + 1, semicircles(35.6813), semicircles(139.7672)])
    second = bytearray(g.bytes())
    second[12:14] = b"\0\0"
    second[-2:] = struct.pack("<H", crc16(bytes(second[:-2])))
    return bytes(data + second)


def undefined_local():
    # A data message of a local type never defined: the reading stops there.
    f = FitFile()
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, [TIMESTAMP, LAT, LON])
    f.message(0, [start, semicircles(35.6812), semicircles(139.7671)])
    f.data += bytes([5]) + bytes(8)
    return f.bytes()


def past_data_size():
    # The header's data size ends inside the second record: the record is
    # not read beyond it.
    f = FitFile()
    start = fit_time("2024-05-01T06:30:00")
    f.define(0, RECORD, [TIMESTAMP, LAT, LON])
    f.message(0, [start, semicircles(35.6812), semicircles(139.7671)])
    f.message(0, [start + 1, semicircles(35.6813), semicircles(139.7672)])
    data = bytearray(f.bytes())
    data[4:8] = struct.pack("<I", len(f.data) - 4)
    data[12:14] = struct.pack("<H", crc16(bytes(data[:12])))
    return bytes(data[:len(data) - 6]) + struct.pack("<H", crc16(bytes(data[:len(data) - 6])))


def odd_fields():
    # A position of another size than its base type (an array of two), a
    # float altitude, a z-type speed of 0 (its invalid marker), a time that
    # counts from the device's start, and a base type beyond the table.
    f = FitFile()
    start = fit_time("2024-05-01T06:30:00")
    f.data += bytes([0x40, 0, 0]) + struct.pack("<HB", RECORD, 5)
    f.data += bytes([253, 4, 0x86, 0, 8, 0x85, 1, 4, 0x85, 2, 4, 0x88, 6, 2, 0x8B])
    f.defs[0] = None
    f.data += bytes([0]) + struct.pack("<IiiiiH", start, semicircles(35.6812), 7, semicircles(139.7671), 0, 0)
    f.data += bytes([0]) + struct.pack("<IiiifH", 1000, semicircles(35.6812), 7, semicircles(139.7671),
                                       2562.0, 1200)
    f.data += bytes([0x40, 0, 0]) + struct.pack("<HB", RECORD, 3)
    f.data += bytes([253, 4, 0x86, 0, 4, 0x85, 1, 4, 0x9F])
    f.data += bytes([0]) + struct.pack("<Iii", start + 2, semicircles(35.6812), semicircles(139.7671))
    return f.bytes()


def long_header():
    # A header of 16 bytes and one of 13: the bytes after the CRC (or after
    # the 12 bytes) are passed over.
    files = b""
    for size, seconds in ((16, 0), (13, 1)):
        f = FitFile(header_size=size)
        f.define(0, RECORD, [TIMESTAMP, LAT, LON])
        f.message(0, [fit_time("2024-05-01T06:30:00") + seconds, semicircles(35.6812), semicircles(139.7671)])
        files += f.bytes()
    return files


CASES = {
    "normal": normal,
    "compressed": compressed,
    "developer": developer,
    "big_endian": big_endian,
    "chained": chained,
    "invalid": invalid,
    "cut": cut,
    "bad_crc": bad_crc,
    "rio": rio,
    "header_crc": header_crc,
    "undefined_local": undefined_local,
    "past_data_size": past_data_size,
    "odd_fields": odd_fields,
    "long_header": long_header,
}


def main(argv):
    if len(argv) == 2 and argv[1] == "--list":
        print("\n".join(CASES))
        return 0
    if len(argv) != 3 or argv[1] not in CASES:
        sys.stderr.write(__doc__)
        return 64
    with open(argv[2], "wb") as out:
        out.write(CASES[argv[1]]())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
