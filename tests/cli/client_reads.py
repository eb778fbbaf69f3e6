#!/usr/bin/python3
"""Reads an output of a whole-program case with the programs people open it in
and checks that they read what we mean.

    client_reads.py OUTPUT CASE_DIR

GPX: gpsbabel reads every point as a track (-t) or a route (-r) as the
document holds it; gpxpy and GDAL's GPX driver read it; all three give the
same speed (metres per second, in the Garmin TrackPointExtension) for every
point, and when the case converts an NMEA log point for point, that speed is
the log's knots converted.
KML: GDAL's LIBKML driver (Google's libkml) reads it, and no line has fewer
than two points.
GeoJSON: Python's json reads it as strict UTF-8 and it passes a small RFC 7946
check (a FeatureCollection of Features; positions longitude, latitude and
maybe altitude, in range, numbers; lines of two positions or more; coordTimes
shaped as the coordinates); GDAL reads as many features and points.
Prints what is wrong and exits 1; exits 0 when all is well.
"""
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

GPX = "{http://www.topografix.com/GPX/1/1}"
TPX = "{http://www.garmin.com/xmlschemas/TrackPointExtension/v2}"
KNOTS_PER_MPS = 3600.0 / 1852.0

problems = []


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        problems.append(f"{' '.join(args)} failed: {done.stderr.strip()}")
    return done.stdout


def case_args(case_dir):
    path = os.path.join(case_dir, "args")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return f.read().splitlines()


def option(args, name):
    for i, arg in enumerate(args[:-1]):
        if arg == name:
            return args[i + 1]
    return None


def point_speeds(points):
    speeds = []
    for point in points:
        speed = point.find(f"{GPX}extensions/{TPX}TrackPointExtension/{TPX}speed")
        speeds.append(None if speed is None else float(speed.text))
    return speeds


def log_knots(case_dir, args):
    """The RMC speeds of the case's NMEA input, when the case converts it whole."""
    mode = option(args, "--mode") or ""
    source = option(args, "--in")
    if mode not in ("Nmea2Gpx", "nmea(log) -> gpx") or not source or "--set" in args and any(
            a.startswith(("IncludeData", "OmitErrorData=0")) for a in args):
        return None
    path = os.path.join(case_dir, source)
    if not os.path.exists(path):
        return None
    knots = []
    with open(path, "rb") as f:
        for line in f.read().decode("utf-8", "replace").splitlines():
            fields = line.split(",")
            if len(fields) > 7 and re.fullmatch(r"\$G[A-Z]RMC", fields[0]):
                knots.append(float(fields[7]) if re.fullmatch(r"\d+(\.\d*)?", fields[7]) else None)
    return knots


def check_gpx(path, case_dir):
    root = ET.parse(path).getroot()
    if root.tag != f"{GPX}gpx":
        problems.append(f"root element {root.tag} is not GPX 1.1's")
        return
    track = root.find(f"{GPX}trk") is not None
    points = root.findall(f".//{GPX}trkpt" if track else f".//{GPX}rtept")
    ours = point_speeds(points)

    # gpsbabel: the default (track) reading for a track, -r for a route.
    kind = "-t" if track else "-r"
    rows = run(["gpsbabel", kind, "-i", "gpx", "-f", path, "-o", "unicsv", "-F", "-"]).splitlines()
    if len(rows) - 1 != len(points) and len(points) > 0:
        problems.append(f"gpsbabel {kind} reads {len(rows) - 1} points of {len(points)}")
    other = "-r" if track else "-t"
    run(["gpsbabel", other, "-i", "gpx", "-f", path, "-o", "unicsv", "-F", "-"])
    passed = run(["gpsbabel", kind, "-i", "gpx", "-f", path, "-o", "gpx", "-F", "-"])
    if passed:
        again = ET.fromstring(passed.encode("utf-8"))
        babel = point_speeds(again.findall(f".//{GPX}trkpt" if track else f".//{GPX}rtept"))
        if babel != ours:
            problems.append(f"gpsbabel speeds {babel} differ from {ours}")

    # gpxpy
    import gpxpy
    with open(path, encoding="utf-8") as f:
        document = gpxpy.parse(f)
    if track:
        read = [p for t in document.tracks for s in t.segments for p in s.points]
        segments = len(root.findall(f".//{GPX}trkseg"))
        if sum(len(t.segments) for t in document.tracks) != segments:
            problems.append("gpxpy reads another number of track segments")
    else:
        read = [p for r in document.routes for p in r.points]
    gpxpy_speeds = []
    for p in read:
        speed = None
        for extension in p.extensions:
            found = extension.find(f"{TPX}speed")
            if found is not None:
                speed = float(found.text)
        gpxpy_speeds.append(speed)
    if gpxpy_speeds != ours:
        problems.append(f"gpxpy speeds {gpxpy_speeds} differ from {ours}")

    # GDAL's GPX driver
    layer = "track_points" if track else "route_points"
    info = run(["ogrinfo", "-ro", "-q", path, layer])
    gdal_points = info.count(f"OGRFeature({layer})")
    if gdal_points != len(points):
        problems.append(f"GDAL reads {gdal_points} points of {len(points)}")
    gdal_speeds = []
    for feature in info.split(f"OGRFeature({layer})")[1:]:
        found = re.search(r"<gpxtpx:speed>([^<]*)</gpxtpx:speed>", feature)
        gdal_speeds.append(float(found.group(1)) if found else None)
    if gdal_speeds != ours:
        problems.append(f"GDAL speeds {gdal_speeds} differ from {ours}")

    knots = log_knots(case_dir, case_args(case_dir))
    if knots is not None and len(knots) == len(ours):
        for k, mps in zip(knots, ours):
            if (k is None) != (mps is None) or (k is not None and abs(mps * KNOTS_PER_MPS - k) > 0.0005):
                problems.append(f"speed {mps} m/s is not the log's {k} knots")


def check_kml(path):
    # The KML driver skipped, the file is opened by LIBKML.
    info = run(["ogrinfo", "--config", "OGR_SKIP", "KML", "-ro", "-al", "-q", path])
    for line in info.splitlines():
        line = line.strip()
        if line.startswith("LINESTRING"):
            points = 0 if "EMPTY" in line else line.count(",") + 1
            if points < 2:
                problems.append(f"a line of {points} point(s): {line[:80]}")


def is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def check_position(position):
    if not isinstance(position, list) or len(position) not in (2, 3) or not all(map(is_number, position)):
        problems.append(f"not a position: {position}")
        return
    if not (-180 <= position[0] <= 180 and -90 <= position[1] <= 90):
        problems.append(f"position out of range (longitude, latitude first): {position}")


def check_line(line, times):
    if not isinstance(line, list) or len(line) < 2:
        problems.append(f"a line of fewer than two positions: {line}")
        return 0
    for position in line:
        check_position(position)
    if times is not None and (not isinstance(times, list) or len(times) != len(line)):
        problems.append("coordTimes is not shaped as the coordinates")
    return len(line)


def check_geojson(path):
    with open(path, "rb") as f:
        document = json.loads(f.read().decode("utf-8"))
    if document.get("type") != "FeatureCollection" or not isinstance(document.get("features"), list):
        problems.append("not a FeatureCollection")
        return
    points = 0
    for feature in document["features"]:
        geometry = feature.get("geometry") or {}
        properties = feature.get("properties")
        if feature.get("type") != "Feature" or not isinstance(properties, dict):
            problems.append(f"not a Feature: {feature}")
            continue
        kind, coordinates = geometry.get("type"), geometry.get("coordinates")
        times = properties.get("coordTimes")
        if kind == "Point":
            check_position(coordinates)
            points += 1
        elif kind == "LineString":
            points += check_line(coordinates, times)
        elif kind == "MultiLineString":
            if times is not None and (not isinstance(times, list) or len(times) != len(coordinates)):
                problems.append("coordTimes is not shaped as the coordinates")
                times = None
            for i, line in enumerate(coordinates):
                points += check_line(line, None if times is None else times[i])
        else:
            problems.append(f"geometry type {kind}")
    info = run(["ogrinfo", "-ro", "-al", "-q", path])
    if info.count("OGRFeature(") != len(document["features"]):
        problems.append(f"GDAL reads {info.count('OGRFeature(')} features of {len(document['features'])}")
    gdal_points = 0
    for line in info.splitlines():
        line = line.strip()
        if line.startswith("POINT"):
            gdal_points += 1
        elif line.startswith(("LINESTRING", "MULTILINESTRING")):
            gdal_points += line.count(",") + 1
    if gdal_points != points:
        problems.append(f"GDAL reads {gdal_points} points of {points}")
    # A LineString's times reach GDAL as a list of as many as its points,
    # feature by feature in the document's order.
    gdal_features = info.split("OGRFeature(")[1:]
    for feature, gdal_feature in zip(document["features"], gdal_features):
        geometry = feature["geometry"] or {}
        if geometry.get("type") == "LineString" and "coordTimes" in feature["properties"]:
            # A list of texts, or (with nulls among them) the array as JSON.
            listed = re.search(r"coordTimes \(StringList\) = \((\d+):", gdal_feature)
            whole = re.search(r"coordTimes \(String\(JSON\)\) = (.*)", gdal_feature)
            count = int(listed.group(1)) if listed else len(json.loads(whole.group(1))) if whole else -1
            if count != len(geometry["coordinates"]):
                problems.append(f"GDAL reads {count} times of {len(geometry['coordinates'])} points")

def main():
    path, case_dir = sys.argv[1], sys.argv[2]
    if path.lower().endswith(".gpx"):
        check_gpx(path, case_dir)
    elif path.lower().endswith(".kml"):
        check_kml(path)
    elif path.lower().endswith(".geojson"):
        check_geojson(path)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
