#!/usr/bin/env python3
# SPDX-License-Identifier: AGPL-3.0-or-later
"""Writes the world map's outline file (data/geo.dat) from a TopoJSON land
topology, such as land-50m.json of the npm package world-atlas (Natural Earth
land polygons, public domain).

Usage:
    make-geo-dat.py [--object land] [--decimals 3] INPUT.json OUTPUT

The outline file holds one point per line, "latitude longitude" in decimal
degrees (north and east positive), and a line "9999" after every outline.

Every ring of the object's polygons becomes one outline. The polygons of the
topology are closed along two lines that are not coasts: the antimeridian
(land cut at longitude +-180 degrees, e.g. Chukotka, Fiji) and the southern
edge of Antarctica near latitude -90. An outline is broken where a segment
runs along one of them or jumps from one side of the antimeridian to the
other, so the map shows coastlines only and no line crosses the whole map.
Consecutive points that become equal after rounding are written once;
outlines of fewer than two points are left out.

Decoding follows the TopoJSON format 1.0 (github.com/topojson, sections
2.1.4 "quantized positions" and 2.2 "arcs"): a quantized topology stores
each arc as integer positions, the first absolute and the others as
differences to the previous one; longitude = x * scale[0] + translate[0],
latitude = y * scale[1] + translate[1]. A ring is a list of arc indices;
index ~i (= -i - 1) is arc i reversed, and each arc after the first repeats
the last point of the one before it.

Python 3 standard library only.
"""

import argparse
import json
import os
import sys

# Points on these lines are treated as the artificial closure of a polygon.
ANTIMERIDIAN_DEG = 180.0
SOUTH_EDGE_DEG = -89.9
EPSILON_DEG = 1e-9


def decode_arcs(topology):
    """All arcs of the topology as lists of (lon, lat) in degrees."""
    transform = topology.get("transform")
    arcs = []
    for arc in topology["arcs"]:
        points = []
        x = y = 0
        for position in arc:
            if transform is None:
                points.append((float(position[0]), float(position[1])))
                continue
            x += position[0]
            y += position[1]
            points.append((x * transform["scale"][0] + transform["translate"][0],
                           y * transform["scale"][1] + transform["translate"][1]))
        arcs.append(points)
    return arcs


def ring_points(ring, arcs):
    """The points of one ring, joined from its arcs."""
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        points.extend(arc if not points else arc[1:])
    return points


def rings_of(geometry):
    """The rings (lists of arc indices) of a Polygon, MultiPolygon or
    GeometryCollection."""
    kind = geometry["type"]
    if kind == "GeometryCollection":
        for member in geometry["geometries"]:
            yield from rings_of(member)
    elif kind == "Polygon":
        yield from geometry["arcs"]
    elif kind == "MultiPolygon":
        for polygon in geometry["arcs"]:
            yield from polygon


def on_closure(a, b):
    """Whether the segment a-b runs along the antimeridian, jumps across it
    (from +180 to -180 degrees, a step across the whole map), or runs along
    the southern edge of the map."""
    along_meridian = (abs(abs(a[0]) - ANTIMERIDIAN_DEG) < EPSILON_DEG and
                      abs(abs(b[0]) - ANTIMERIDIAN_DEG) < EPSILON_DEG)
    across_meridian = abs(a[0] - b[0]) > ANTIMERIDIAN_DEG
    along_south_edge = a[1] < SOUTH_EDGE_DEG and b[1] < SOUTH_EDGE_DEG
    return along_meridian or across_meridian or along_south_edge


def coast_pieces(points):
    """The ring split where it runs along a closure line."""
    piece = []
    for i, point in enumerate(points):
        if i > 0 and on_closure(points[i - 1], point):
            yield piece
            piece = []
        piece.append(point)
    yield piece


def number_text(value, decimals):
    """Fixed point; a value that rounds to zero is written without a sign."""
    text = f"{value:.{decimals}f}"
    return text[1:] if text.startswith("-") and float(text) == 0 else text


def point_text(point, decimals):
    lon, lat = point
    return number_text(lat, decimals) + " " + number_text(lon, decimals)


def outline_lines(piece, decimals):
    """The lines of one outline without repeated points; empty when fewer
    than two points remain."""
    lines = []
    for point in piece:
        text = point_text(point, decimals)
        if not lines or lines[-1] != text:
            lines.append(text)
    return lines if len(lines) >= 2 else []


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("input", help="TopoJSON file, e.g. land-50m.json of world-atlas")
    parser.add_argument("output", help="outline file to write, e.g. data/geo.dat")
    parser.add_argument("--object", default="land", help="name of the topology object (default: land)")
    parser.add_argument("--decimals", type=int, default=3, choices=range(1, 7), help="decimals (default: 3)")
    args = parser.parse_args()

    with open(args.input, encoding="utf-8") as f:
        topology = json.load(f)
    if topology.get("type") != "Topology" or args.object not in topology.get("objects", {}):
        sys.exit(f"{args.input}: no TopoJSON object '{args.object}'")

    arcs = decode_arcs(topology)
    outlines = points = 0
    # Written beside the output and renamed, so a failed run leaves the old file.
    temporary = args.output + ".tmp"
    with open(temporary, "w", encoding="ascii", newline="\n") as out:
        for ring in rings_of(topology["objects"][args.object]):
            for piece in coast_pieces(ring_points(ring, arcs)):
                lines = outline_lines(piece, args.decimals)
                if not lines:
                    continue
                out.write("\n".join(lines) + "\n9999\n")
                outlines += 1
                points += len(lines)
    os.replace(temporary, args.output)
    print(f"{args.output}: {outlines} outlines, {points} points")


if __name__ == "__main__":
    main()
