#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Wall time of 10,000-row tables from the batch program beside swetest
# computing 10,000 positions of Mars (right ascension, declination, distance
# and meridian distance: swetest's format letter "m"; its magnitude is "="),
# measured in the same run. bench/performance-record.sh sets them beside the
# positions alone and with the magnitude as well. Usage: bench/cli-vs-swetest.sh [BUILD_DIR]
# (a Release build; default build-rel).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
cli="$build/orbitello32-cli"
[ -x "$cli" ] || { echo "no $cli: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build" >&2; exit 2; }

# Best of three wall times (seconds) of a command, output discarded.
best() {
  local best=""
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

range=(--no-ini --set Tabelle=1 --set Startdat=2451545 --set DeltaTab=999.9 --set Schrittweite=0.1)
swetest_s=$(best swetest -b1.1.2000 -p4 -n10000 -s0.1 -fTPADRm -head -eswe -edir/usr/share/libswe/ephe)
mars_s=$(best "$cli" "${range[@]}" --set PlanetNr=3 --set Objekt=3 table)
moon_s=$(best "$cli" "${range[@]}" --set Objekt=0 --set RaDe=0 --set AEDaemm=0 table)
rows=$("$cli" "${range[@]}" --set PlanetNr=3 --set Objekt=3 table | tail -n +5 | wc -l)

printf 'swetest, 10000 Mars positions (TPADRm):     %6.3f s\n' "$swetest_s"
printf 'Mars table, %d rows, default columns:   %6.3f s  (%.2f x swetest)\n' "$rows" "$mars_s" "$(echo "$mars_s / $swetest_s" | bc -l)"
printf 'Moon table, %d rows, rise/set and phase: %6.3f s  (%.2f x swetest)\n' "$rows" "$moon_s" "$(echo "$moon_s / $swetest_s" | bc -l)"
