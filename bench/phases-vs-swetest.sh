#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Wall time of the lunar phase list for 1000 years (1600-2600, about 49,500
# lines, with the eclipse marks) from the batch program, beside swetest
# finding the solar eclipses of the same 1000 years (2386 eclipses), measured
# in the same run. Usage: bench/phases-vs-swetest.sh [BUILD_DIR] (a Release
# build; default build-rel).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
cli="$build/orbitello32-cli"
[ -x "$cli" ] || { echo "no $cli: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build" >&2; exit 2; }

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

# 1600 Jan 1 = JD 2305447.5, 2600 Jan 1 = JD 2670691.5 (Gregorian).
swetest_s=$(seconds swetest -solecl -b1.1.1600 -n2386 -edir/usr/share/libswe/ephe)
ours_s=$(seconds "$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 \
  --set DeltaTab=365244 phases)
lines=$("$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 phases \
  | grep -c . || true)
marks=$("$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 phases \
  | grep -c Finsternis || true)

printf 'swetest -solecl, 2386 solar eclipses 1600-2600:  %6.2f s\n' "$swetest_s"
printf 'phase list 1600-2600, %d lines, %d eclipse marks: %6.2f s  (%.2f x swetest)\n' "$lines" "$marks" \
  "$ours_s" "$(echo "$ours_s / $swetest_s" | bc -l)"
