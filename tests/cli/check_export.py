#!/usr/bin/env python3
# SPDX-License-Identifier: AGPL-3.0-or-later
"""Checks an eclipse path export of the batch program.

check_export.py geojson FILE SCHEMA KIND...: FILE validates against the JSON
schema SCHEMA, and beyond what a schema can say: no segment spans more than
180 degrees of longitude (lines are split at the date line), polygon rings are
closed, every feature names the eclipse, its Saros series, its kind and its
first and last instant in ISO 8601 UTC, and each KIND occurs.
check_export.py kml FILE KIND...: FILE is well-formed XML in the KML 2.2
namespace with the elements the export uses, each placemark refers to a style
of the document, carries the Saros line and its kind as data, and its
coordinates are "lon,lat,0" triples in range; each KIND occurs.
"""
import json
import re
import sys
import xml.etree.ElementTree as ET

ISO = re.compile(r"^[+-]?\d{4,}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
KML = "{http://www.opengis.net/kml/2.2}"
KML_ELEMENTS = {
    "kml", "Document", "name", "description", "Style", "LineStyle", "PolyStyle", "color", "width",
    "Placemark", "TimeSpan", "begin", "end", "styleUrl", "ExtendedData", "Data", "value", "MultiGeometry",
    "LineString", "Polygon", "outerBoundaryIs", "LinearRing", "Point", "coordinates", "tessellate",
}
problems = []


def fail(text):
    problems.append(text)


def check_line(points, where):
    for a, b in zip(points, points[1:]):
        if abs(b[0] - a[0]) > 180:
            fail(f"{where}: segment {a} - {b} crosses the date line")


def check_geojson(path, schema_path, kinds):
    import jsonschema

    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    for error in jsonschema.Draft7Validator(schema).iter_errors(data):
        fail(f"schema: {error.message[:200]} at {list(error.absolute_path)[:6]}")
    found = set()
    for i, feature in enumerate(data.get("features", [])):
        p = feature.get("properties") or {}
        where = f"feature {i} ({p.get('kind')})"
        found.add(p.get("kind"))
        for key in ("name", "title", "saros", "kind", "phase"):
            if not isinstance(p.get(key), str) or not p[key]:
                fail(f"{where}: property {key} missing")
        for key in ("start", "end", "conjunction", "greatestEclipse"):
            if not ISO.match(str(p.get(key, ""))):
                fail(f"{where}: {key} {p.get(key)!r} is no ISO 8601 UTC instant")
        if not str(p.get("saros", "")).startswith("Saros "):
            fail(f"{where}: saros {p.get('saros')!r}")
        g = feature["geometry"]
        t, c = g["type"], g["coordinates"]
        lines = [c] if t == "LineString" else c if t == "MultiLineString" else []
        rings = c if t == "Polygon" else [r for poly in c for r in poly] if t == "MultiPolygon" else []
        for line in lines + rings:
            check_line(line, where)
        for ring in rings:
            if ring[0] != ring[-1]:
                fail(f"{where}: ring not closed")
    for kind in kinds:
        if kind not in found:
            fail(f"no feature of kind {kind!r} (found {sorted(k for k in found if k)})")


def check_kml(path, kinds):
    root = ET.parse(path).getroot()
    if root.tag != KML + "kml":
        fail(f"root element {root.tag}")
    for element in root.iter():
        if not element.tag.startswith(KML) or element.tag[len(KML):] not in KML_ELEMENTS:
            fail(f"unexpected element {element.tag}")
    document = root.find(KML + "Document")
    if document is None or not (document.findtext(KML + "name") or "").strip():
        fail("no Document with a name")
        return
    styles = {s.get("id") for s in document.findall(KML + "Style")}
    found = set()
    for i, placemark in enumerate(document.findall(KML + "Placemark")):
        data = {d.get("name"): d.findtext(KML + "value") for d in placemark.iter(KML + "Data")}
        where = f"placemark {i} ({data.get('kind')})"
        found.add(data.get("kind"))
        if not (placemark.findtext(KML + "name") or "").strip():
            fail(f"{where}: no name")
        if (placemark.findtext(KML + "styleUrl") or "").lstrip("#") not in styles:
            fail(f"{where}: style {placemark.findtext(KML + 'styleUrl')!r} not in the document")
        if not (data.get("saros") or "").startswith("Saros "):
            fail(f"{where}: saros {data.get('saros')!r}")
        span = placemark.find(KML + "TimeSpan")
        for key in ("begin", "end"):
            if span is None or not ISO.match(span.findtext(KML + key) or ""):
                fail(f"{where}: TimeSpan {key}")
        for coordinates in placemark.iter(KML + "coordinates"):
            points = []
            for triple in coordinates.text.split():
                lon, lat, height = (float(v) for v in triple.split(","))
                if not (-180 <= lon <= 180 and -90 <= lat <= 90 and height == 0):
                    fail(f"{where}: coordinate {triple}")
                points.append((lon, lat))
            check_line(points, where)
    for kind in kinds:
        if kind not in found:
            fail(f"no placemark of kind {kind!r} (found {sorted(k for k in found if k)})")


def main():
    mode, path = sys.argv[1], sys.argv[2]
    if mode == "geojson":
        check_geojson(path, sys.argv[3], sys.argv[4:])
    else:
        check_kml(path, sys.argv[3:])
    for text in problems[:20]:
        print(text)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
