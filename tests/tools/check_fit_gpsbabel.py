#!/usr/bin/env python3
"""Checks the FIT inputs of the whole-program cases two ways:

1. each is what make_fit.py writes for its case, byte for byte (the
   generator and the inputs stay in step);
2. geoplait-cli reads the same points with the same times as gpsbabel's FIT
   reader (`gpsbabel -i garmin_fit`), each file of a chained input alone.
   Positions agree to the NMEA precision the records carry (1e-4 minutes).

    check_fit_gpsbabel.py GEOPLAIT_CLI DATA_DIR

DATA_DIR holds the whole-program cases (cli/fit_*, compared with gpsbabel)
and the reader cases (readers/fit_CASE/input.fit, generator only).
"""
import os
import re
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_fit  # noqa: E402

# Inputs that are not whole FIT files, which gpsbabel refuses as a whole.
NOT_COMPARED = {"cut", "bad_crc", "text", "empty"}
TOLERANCE = 2e-6  # degrees: 1e-4 minutes, rounded
# gpsbabel 1.8 adds the five bits of a compressed-timestamp header to the
# last whole timestamp instead of replacing its low five bits (with the
# roll-over) as the protocol says: those times are checked by the golden
# case alone.
TIMES_NOT_COMPARED = {"compressed"}
# gpsbabel reads the invalid marker of a timestamp as a time; it is unknown.
INVALID_TIME = "2126-02-06T06:28:15Z"


def points(gpx, element):
    found = []
    for m in re.finditer(r'<%s lat="([^"]+)" lon="([^"]+)">(.*?)</%s>' % (element, element), gpx, re.S):
        time = re.search(r"<time>([^<]*)</time>", m.group(3))
        found.append((float(m.group(1)), float(m.group(2)), time.group(1) if time else ""))
    return found


def split_chained(data):
    files = []
    while data:
        header_size = data[0]
        data_size = struct.unpack("<I", data[4:8])[0]
        end = header_size + data_size + 2
        files.append(data[:end])
        data = data[end:]
    return files


def same_time(ours, theirs, stem):
    return stem in TIMES_NOT_COMPARED or ours == theirs or (ours == "" and theirs == INVALID_TIME)


def compare(cli, fit_path, work):
    failures = []
    with open(fit_path, "rb") as f:
        data = f.read()
    ours_all = []
    theirs_all = []
    out = os.path.join(work, "out.gpx")
    part_path = os.path.join(work, "part.fit")
    result = subprocess.run([cli, "--mode", "Fit2Gpx", "--in", fit_path, "--out", out, "--yes",
                             "--set", "Label_No=0"], capture_output=True, text=True,
                            env=dict(os.environ, TZ="UTC", LC_ALL="C"))
    if result.returncode != 0:
        return ["%s: geoplait-cli exit %d %s" % (fit_path, result.returncode, result.stderr)]
    with open(out, encoding="utf-8") as f:
        ours_all = points(f.read(), "rtept")
    for part in split_chained(data):
        with open(part_path, "wb") as f:
            f.write(part)
        babel = subprocess.run(["gpsbabel", "-i", "garmin_fit", "-f", part_path, "-o", "gpx", "-F", "-"],
                               capture_output=True, text=True, check=True)
        theirs_all += points(babel.stdout, "trkpt")
    if len(ours_all) != len(theirs_all) or not ours_all:
        return ["%s: %d points, gpsbabel %d" % (fit_path, len(ours_all), len(theirs_all))]
    for i, (ours, theirs) in enumerate(zip(ours_all, theirs_all)):
        stem = os.path.basename(fit_path)[:-4]
        if (abs(ours[0] - theirs[0]) > TOLERANCE or abs(ours[1] - theirs[1]) > TOLERANCE
                or not same_time(ours[2], theirs[2], stem)):
            failures.append("%s point %d: %s, gpsbabel %s" % (fit_path, i + 1, ours, theirs))
    return failures


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 64
    cli, data = argv[1], argv[2]
    cases = os.path.join(data, "cli")
    failures = []
    compared = 0
    readers = os.path.join(data, "readers")
    for case in sorted(os.listdir(readers)):
        path = os.path.join(readers, case, "input.fit")
        if case.startswith("fit_") and os.path.exists(path):
            with open(path, "rb") as f:
                if f.read() != make_fit.CASES[case[4:]]():
                    failures.append("%s is not what make_fit.py writes for %s" % (path, case[4:]))
    with tempfile.TemporaryDirectory() as work:
        for case in sorted(os.listdir(cases)):
            if not case.startswith("fit_"):
                continue
            for name in sorted(os.listdir(os.path.join(cases, case))):
                if not name.endswith(".fit"):
                    continue
                path = os.path.join(cases, case, name)
                stem = name[:-4]
                if stem in make_fit.CASES:
                    with open(path, "rb") as f:
                        if f.read() != make_fit.CASES[stem]():
                            failures.append("%s is not what make_fit.py writes for %s" % (path, stem))
                if stem in NOT_COMPARED:
                    continue
                failures += compare(cli, path, work)
                compared += 1
    for failure in failures:
        print(failure)
    print("%d FIT inputs compared with gpsbabel, %d failures" % (compared, len(failures)))
    return 1 if failures or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
