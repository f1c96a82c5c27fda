#!/usr/bin/env python3
# SPDX-License-Identifier: AGPL-3.0-or-later
"""Checks a location list (data/ORTE.DAT) the way the program reads it.

Usage:
    check-orte.py ORTE.DAT [--cities500 cities500.txt]

Every line is read twice, once with the program's lenient rules (the place
name is what stands before the first comma, cut to 25 characters; from
column 34 on: latitude, "S" negates it, longitude, "W" negates it, the zone
as a number or one of the abbreviations MEZ EST CST MST PST HST) and once
with a strict pattern of the written format; both must give the same
values. Further checks: UTF-8, "\\n" line ends, no blank lines, zones within
-12..+14 in quarter hours, names unique within a country (as written) in
their first 25 characters, names longer than 25 characters unique in the
whole list in their first 25, the default place Ortheim, and searches such
as "Münch" that must find a given place with a given zone.

With --cities500 (the GeoNames dump the list was made from) it also checks
that every place the list promises is in it: every place in Germany, Austria
and Switzerland with 20,000 or more inhabitants, every national capital and
every place with 300,000 or more inhabitants (sections of cities and
historical places aside), found by their coordinates.

Python 3 standard library only. Exit status 1 if a check fails.
"""

import argparse
import re
import sys

NAME_FIELD = 33
NAME_CUT = 25
ABBREVIATIONS = {"MEZ": 1, "EST": -5, "CST": -6, "MST": -7, "PST": -8,
                 "HST": -10}
STRICT = re.compile(r"(?P<label>[^,]+, .*?) *(?P<lat>\d{1,2}\.\d\d) (?P<ns>[NS]) +"
                    r"(?P<lon>\d{1,3}\.\d\d) (?P<ew>[EW]) (?P<zone>-?\d+(\.\d+)?)")

# search text, name that must be among the found lines, its zone
SEARCHES = [
    ("Münch", "München", 1),
    ("Zürich", "Zürich", 1),
    ("Sydney", "Sydney", 10),
    ("Kathmandu", "Kathmandu", 5.75),
    ("Wien", "Wien", 1),
    ("Köln", "Köln", 1),
    ("Ortheim", "Ortheim", 1),
    ("St. John's, Kanada", "St. John's", -3.5),
    ("Neu-Delhi", "Neu-Delhi", 5.5),
    ("Dublin", "Dublin", 0),
    ("Honolulu", "Honolulu", -10),
    ("Auckland", "Auckland", 12),
]

DEFAULT_LINE = "Ortheim, Deutschland             51.74 N   7.19 E 1"

SKIPPED_FEATURES = {"PPLX", "PPLH", "PPLQ", "PPLW", "PPLCH", ""}


def next_number(rest):
    """The program's lenient number reader: skips everything but digits,
    "-", and "," or "." before a digit; a decimal comma counts as a point;
    the number ends at the first character that cannot continue it."""
    i = 0
    while i < len(rest):
        ch = rest[i]
        if ch.isdigit() or ch == "-":
            break
        if ch in ",." and rest[i + 1:i + 2].isdigit():
            break
        i += 1
    if i == len(rest):
        return 0.0, ""
    text = ""
    if rest[i] == "-":
        text, i = "-", i + 1
    point = False
    while i < len(rest):
        ch = rest[i]
        if ch.isdigit():
            text += ch
        elif ch in ",." and not point and rest[i + 1:i + 2].isdigit():
            text += "."
            point = True
        else:
            break
        i += 1
    try:
        return float(text), rest[i:]
    except ValueError:
        return 0.0, rest[i:]


def read_line(line):
    """(name, latitude, longitude, zone) as the program reads them."""
    if "," in line:
        name = line.split(",", 1)[0].strip()
    else:
        name = line[:NAME_FIELD].strip()
    name = name[:NAME_CUT]
    rest = line[NAME_FIELD:]
    lat, rest = next_number(rest)
    rest = rest.strip()
    if rest.startswith("S"):
        lat = -lat
    lon, rest = next_number(rest)
    rest = rest.strip()
    if rest.startswith("W"):
        lon = -lon
    zone_text = rest[2:5]
    zone, rest = next_number(rest)
    if zone_text in ABBREVIATIONS:
        zone = ABBREVIATIONS[zone_text]
    return name, lat, lon, zone


def check_file(path):
    problems = []
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8", errors="strict")
    except UnicodeDecodeError as e:
        return [f"not UTF-8: {e}"], []
    if not text.endswith("\n"):
        problems.append("last line has no line end")
    if "\r" in text:
        problems.append("carriage return in the file")
    lines = text[:-1].split("\n") if text.endswith("\n") else text.split("\n")
    entries = []
    names = {}
    for number, line in enumerate(lines, 1):
        where = f"line {number}"
        if not line.strip():
            problems.append(f"{where}: blank line")
            continue
        if "\t" in line or line != line.rstrip():
            problems.append(f"{where}: tab or trailing blank")
        strict = STRICT.fullmatch(line)
        if not strict or strict.start("lat") < NAME_FIELD:
            problems.append(f"{where}: not in the written format: {line!r}")
            continue
        if len(strict.group("label").rstrip()) > NAME_FIELD:
            problems.append(f"{where}: name and country past column 33")
        name, lat, lon, zone = read_line(line)
        want_lat = float(strict.group("lat")) * (-1 if strict.group("ns") == "S" else 1)
        want_lon = float(strict.group("lon")) * (-1 if strict.group("ew") == "W" else 1)
        want_zone = float(strict.group("zone"))
        full_name = line.split(",", 1)[0].strip()
        country = line[:NAME_FIELD].split(",", 1)[1].strip()
        if (name, lat, lon, zone) != (full_name[:NAME_CUT], want_lat, want_lon,
                                      want_zone):
            problems.append(f"{where}: read as {(name, lat, lon, zone)}, "
                            f"written {(full_name, want_lat, want_lon, want_zone)}")
        if not (-90 <= lat <= 90 and -180 <= lon <= 180):
            problems.append(f"{where}: coordinates out of range")
        if not -12 <= zone <= 14 or zone * 4 != int(zone * 4):
            problems.append(f"{where}: zone {zone}")
        key = (country, name.casefold())
        if key in names:
            problems.append(f"{where}: {name!r} in {country} also on line "
                            f"{names[key]}")
        names[key] = number
        entries.append((line, full_name, country, lat, lon, zone))
    # a name the program cuts must stay unique in the whole list
    for e in entries:
        if len(e[1]) > NAME_CUT:
            same = [f[0] for f in entries
                    if f[1][:NAME_CUT].casefold() == e[1][:NAME_CUT].casefold()]
            if len(same) > 1:
                problems.append(f"{e[1]!r} is not unique in its first "
                                f"{NAME_CUT} characters: {same}")
    if DEFAULT_LINE not in lines:
        problems.append("the default place Ortheim is missing")
    for search, name, zone in SEARCHES:
        found = [e for e in entries if search.upper() in e[0].upper()]
        if not any(e[1] == name and e[5] == zone for e in found):
            problems.append(f"search {search!r} does not find {name} with "
                            f"zone {zone}: {[e[0] for e in found]}")
    return problems, entries


def check_coverage(entries, cities500):
    """Places the list promises, found by their rounded coordinates."""
    at = {(round(e[3], 2), round(e[4], 2)) for e in entries}
    wanted = {"DE/AT/CH >= 20000": [], "capitals": [], ">= 300000": []}
    with open(cities500, encoding="utf-8") as f:
        for row in f:
            r = row.rstrip("\n").split("\t")
            if r[7] in SKIPPED_FEATURES:
                continue
            population = int(r[14] or 0)
            found = (round(float(r[4]), 2), round(float(r[5]), 2)) in at
            place = (r[0], r[1], r[8], found)
            if r[8] in ("DE", "AT", "CH") and population >= 20000:
                wanted["DE/AT/CH >= 20000"].append(place)
            if r[7] == "PPLC":
                wanted["capitals"].append(place)
            if population >= 300000:
                wanted[">= 300000"].append(place)
    problems = []
    for what, places in wanted.items():
        missing = [p for p in places if not p[3]]
        print(f"  {what}: {len(places) - len(missing)} of {len(places)} "
              "in the list")
        for p in missing:
            problems.append(f"{what}: missing {p[0]} {p[1]} ({p[2]})")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("orte")
    parser.add_argument("--cities500")
    args = parser.parse_args()
    problems, entries = check_file(args.orte)
    zones = [e[5] for e in entries] or [0]
    print(f"{args.orte}: {len(entries)} places, "
          f"{len({e[2] for e in entries})} country names, "
          f"{sum(1 for e in entries if len(e[1]) > NAME_CUT)} names longer "
          f"than {NAME_CUT} characters, zones {min(zones):g}..{max(zones):g}")
    if args.cities500:
        problems += check_coverage(entries, args.cities500)
    for problem in problems:
        print(problem)
    print(f"{len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
