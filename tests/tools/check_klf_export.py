#!/usr/bin/env python3
"""Checks klf-export's GPX, KML and SVG of one log against its CSV of the same log.

usage: check_klf_export.py CSV GPX KML SVG RECEIVER MIN MAX

Each file is read with Python's own csv and XML readers. The GPX must be GPX 1.1 in the order
its schema asks for, with a point per position carrying the CSV's fix (and GPX's own for 2d and
3d) and, at each position the receiver read something, the strongest of the CSV's readings
there; the KML must colour exactly those readings, each in the band of the range MIN..MAX that
holds it, with the CSV's fix; the SVG must draw a dot of that colour for each and show the
colour scale, a distance scale and the time span. Prints what does not hold and exits 1; exits
0 when all holds.
"""
import csv
import re
import sys
import xml.etree.ElementTree as ET

GPX = "{http://www.topografix.com/GPX/1/1}"
KML = "{http://www.opengis.net/kml/2.2}"
SVG = "{http://www.w3.org/2000/svg}"
EXT = "{urn:zentor:klf-export:1}"
COLOURS = ["#2c3e9e", "#2f8fd8", "#36c2b4", "#8fd14f", "#f2d338", "#f58b2c", "#d7301f"]
TIME = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ?$")
problems = []


def check(holds, what):
    if not holds:
        problems.append(what)


def band(dbm, low, high):
    width = (high - low) / 7
    return min(6, max(0, int((dbm - low) // width)))


def main(csv_path, gpx_path, kml_path, svg_path, receiver, low, high):
    with open(csv_path, newline="") as f:
        rows = list(csv.DictReader(f))
    strongest = {}  # (time, latitude, longitude) -> dBm, for the chosen receiver
    fixes = {}  # (time, latitude, longitude) -> fix, for every receiver
    for r in rows:
        fixes[(r["time"], r["latitude"], r["longitude"])] = r["fix"]
        if r["receiver"] == receiver:
            key = (r["time"], r["latitude"], r["longitude"])
            strongest[key] = max(strongest.get(key, -999), int(r["rssi_dbm"]))

    gpx = ET.parse(gpx_path).getroot()
    check(gpx.tag == GPX + "gpx" and gpx.get("version") == "1.1", "GPX 1.1 root")
    check([c.tag for c in gpx] == [GPX + "metadata", GPX + "trk"], "GPX: metadata, then trk")
    points = gpx.findall(f"{GPX}trk/{GPX}trkseg/{GPX}trkpt")
    read = {}
    for p in points:
        lat, lon = float(p.get("lat")), float(p.get("lon"))
        check(-90 <= lat <= 90 and -180 <= lon < 180, f"GPX point {lat},{lon} out of range")
        tags = [c.tag for c in p]
        check(tags in ([GPX + "time", GPX + "extensions"],
                       [GPX + "time", GPX + "fix", GPX + "extensions"]),
              f"GPX point children {tags}")
        check(TIME.match(p.find(GPX + "time").text), "GPX time")
        key = (p.find(GPX + "time").text, p.get("lat"), p.get("lon"))
        fix = p.findtext(f"{GPX}extensions/{EXT}fix")
        check(key not in fixes or fixes[key] == fix, f"GPX fix {fix} at {key}")
        check(p.findtext(GPX + "fix") == (fix if fix in ("2d", "3d") else None),
              f"GPX's own fix at {key}")
        value = p.find(f"{GPX}extensions/{EXT}rssi_dbm")
        if value is not None:
            read[key] = int(value.text)
    check(read == strongest, "GPX strongest readings differ from the CSV's")

    kml = ET.parse(kml_path).getroot()
    document = kml.find(KML + "Document")
    check(kml.tag == KML + "kml" and document is not None, "KML 2.2 root and document")
    styles = {s.get("id"): s.findtext(f"{KML}IconStyle/{KML}color") for s in
              document.findall(KML + "Style")}
    folders = document.findall(KML + "Folder")
    check(len(folders) == 7, "KML: a folder per colour band")
    check("below" in (document.findtext(KML + "description") or ""), "KML legend")
    placed = {}
    for folder in folders:
        for p in folder.findall(KML + "Placemark"):
            lon, lat = p.findtext(f"{KML}Point/{KML}coordinates").split(",")
            dbm = int(p.findtext(KML + "name").split()[0])
            style = p.findtext(KML + "styleUrl")
            check(style == f"#band{band(dbm, low, high)}", f"KML {dbm} dBm in {style}")
            c = COLOURS[band(dbm, low, high)]
            check(styles[style[1:]] == "ff" + c[5:7] + c[3:5] + c[1:3], f"KML colour of {style}")
            key = (p.findtext(f"{KML}TimeStamp/{KML}when"), lat, lon)
            placed[key] = dbm
            fix = p.findtext(f"{KML}ExtendedData/{KML}Data[@name='fix']/{KML}value")
            check(fixes.get(key) == fix, f"KML fix {fix} at {key}")
    check(placed == strongest, "KML placemarks differ from the CSV's strongest readings")

    svg = ET.parse(svg_path).getroot()
    check(svg.tag == SVG + "svg", "SVG root")
    dots = [c.get("fill") for c in svg.iter(SVG + "circle") if c.get("fill") != "white"]
    expected = sorted(COLOURS[band(v, low, high)] for v in strongest.values())
    check(sorted(dots) == expected, "SVG dots differ from the CSV's strongest readings")
    texts = [t.text for t in svg.iter(SVG + "text")]
    strongest_band = f"{low + 6 * (high - low) / 7:.1f}".removesuffix(".0") + " dBm and above"
    check(strongest_band in texts and "no reading" in texts, "SVG colour scale")
    check(any(re.fullmatch(r"\d+ (m|km)", t) for t in texts), "SVG distance scale")
    times = [p.find(GPX + "time").text.rstrip("Z").replace("T", " ") for p in points]
    if times:
        first, last = times[0], times[-1][11:] if times[-1][:10] == times[0][:10] else times[-1]
        check(any(t.startswith(f"{first} to {last} UTC (") for t in texts), "SVG time span")

    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    a = sys.argv[1:]
    sys.exit(main(a[0], a[1], a[2], a[3], a[4], int(a[5]), int(a[6])))
