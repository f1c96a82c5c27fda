#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Wall time of the local circumstances of every solar eclipse seen at
# Ortheim (51.74 N, 7.19 E) in the 1000 years 1600-2600, beside swetest
# finding as many local eclipses from 1600 on, measured in the same run.
# Ours is the batch program's solar-eclipses command when the build has it,
# otherwise the benchmark bench_local_eclipses (the same command loop with
# the local report). The acceptance bound is three times swetest's time.
# Usage: bench/local-eclipses-vs-swetest.sh [BUILD_DIR] (a Release build;
# default build-rel).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
cli="$build/orbitello32-cli"
bench="$build/bench/bench_local_eclipses"

# 1600 Jan 1 = JD 2305447.5, 2600 Jan 1 = JD 2670691.5 (Gregorian).
cli_args=(--no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 solar-eclipses)
out=$(mktemp)
trap 'rm -f "$out"' EXIT

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >"$out"
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

if [ -x "$cli" ] && "$cli" --no-ini --set Tabelle=1 --set Startdat=2451545 --set DeltaTab=1 solar-eclipses \
  >/dev/null 2>&1; then
  ours="orbitello32-cli solar-eclipses"
  ours_s=$(seconds "$cli" "${cli_args[@]}")
  count=$(grep -c '^1\. Kontakt' "$out" || true)
elif [ -x "$bench" ]; then
  ours="bench_local_eclipses (SolarEclipseCommand + LocalEclipseReport)"
  ours_s=$(seconds "$bench" --benchmark_filter=BM_LocalEclipses1000Years --benchmark_format=json)
  count=$(grep -o '"eclipses": *[0-9.e+]*' "$out" | sed 's/.*: *//' | awk '{printf "%d", $1}')
else
  echo "neither $cli nor $bench: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build" >&2
  exit 2
fi

swetest_s=$(seconds swetest -solecl -local -geopos7.19,51.74,0 -b1.1.1600 -n"$count" -edir/usr/share/libswe/ephe)
last=$(grep -oE '^(partial|annular|total)[^0-9]*[0-9]+\.[0-9]+\.[0-9]+' "$out" | tail -1 | grep -oE '[0-9]+$')

printf 'swetest -solecl -local: %d eclipses from 1600 on (the last in %s): %6.2f s\n' "$count" "$last" "$swetest_s"
printf '%s: %d eclipses 1600-2600: %6.2f s = %.2f x swetest\n' "$ours" "$count" "$ours_s" \
  "$(echo "$ours_s / $swetest_s" | bc -l)"
