#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Writes the tables of every body under a set of column and format choices
# into one folder, one file per case, so that two builds can be compared
# byte for byte after work on speed:
#   bench/table-outputs.sh build-old /tmp/old; bench/table-outputs.sh build-rel /tmp/new
#   diff -r /tmp/old /tmp/new
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
out=${2:?usage: bench/table-outputs.sh BUILD_DIR OUTPUT_DIR}
cli="$build/orbitello32-cli"
[ -x "$cli" ] || { echo "no $cli" >&2; exit 2; }
mkdir -p "$out"

ini=$(mktemp)
trap 'rm -f "$ini"' EXIT
# 2P/Encke with the elements of Meeus, Astronomical Algorithms, example 33.b.
cat >"$ini" <<'EOF'
[Astronomieprogramm Einstellungen]
[Komet]
Name=2P/Encke
PerDat=2448192.5
PerDist=0.330763
Exz=0.850073
Neig=11.94524
PerL=186.23352
AKn=334.75006
ElemEpoch=2000
EOF

all_columns=(--set Wochentag=1 --set Datum=1 --set Uhrzeit=1 --set RaDe=1 --set StdwDe=1 --set EklipKoor=1
  --set AzimKoor=1 --set AufKulmUnt=1 --set AEDaemm=1 --set AufUntAz=1 --set Entfernung=1 --set Elongation=1
  --set Helligkeit=1 --set Durchmesser=1 --set Mondphase=1 --set Mondalter=1 --set PhysEph=1)
declare -A variants=(
  [default]=""
  [position]="--set AufKulmUnt=0 --set Elongation=0 --set Entfernung=1"
  [all]="${all_columns[*]}"
  [degrees]="${all_columns[*]} --set RAGrad=1 --set NoMinutes=1"
  [minutes]="${all_columns[*]} --set NoSeconds=1 --set NewDateFormat=1 --set ShowJulDat=1"
  [nautical]="${all_columns[*]} --set Nautisch=1"
  [of-date]="${all_columns[*]} --set AequinTag=1 --set Aberration=1 --set MondTopozentrisch=1"
  [equinox1950]="${all_columns[*]} --set Aequinokt=1950 --set Nutation=0 --set Lichtlaufzeit=0"
)
# Steps of 0.37 days over 300 days, from 1999 across the turn of the year,
# and a second range in 1600 (Julian/Gregorian dates, larger ΔT).
ranges=("--set Startdat=2451400.3 --set DeltaTab=300 --set Schrittweite=0.37"
  "--set Startdat=2305447.6 --set DeltaTab=40 --set Schrittweite=0.0417")
for body in -1 0 1 2 3 4 5 6 7 8 9; do
  planet=()
  if [ "$body" -ge 1 ]; then planet=(--set PlanetNr="$body"); fi
  for name in "${!variants[@]}"; do
    for r in 0 1; do
      # shellcheck disable=SC2086
      "$cli" --ini "$ini" --set Tabelle=1 --set BasisZeitzone=1 ${ranges[$r]} --set Objekt="$body" "${planet[@]}" \
        ${variants[$name]} table >"$out/body$body-$name-$r.txt" 2>&1 || true
    done
  done
done
"$cli" --ini "$ini" --set Startdat=2451400.3 --set Schrittweite=3 yearbook >"$out/yearbook.txt" 2>&1 || true
echo "$(ls "$out" | wc -l) outputs in $out"
