#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Every speed comparison of the program beside swetest, and how time and
# peak memory grow with the work, measured in one run and printed as the
# Markdown tables of docs/performance.md.
# Usage: bench/performance-record.sh [BUILD_DIR] (a Release build with the
# benchmarks, default build-rel). Takes about four minutes on two cores; run
# it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
cli="$build/orbitello32-cli"
[ -x "$cli" ] || { echo "no $cli: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build" >&2; exit 2; }
ephe=-edir/usr/share/libswe/ephe
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# "seconds peak_kB" of the best of $repeat runs of a command (output
# discarded; the peak memory of the fastest run).
repeat=3
measure() {
  local best="" kb="" start end t m
  for ((i = 0; i < repeat; i++)); do
    start=$(date +%s.%N)
    /usr/bin/time -f "%M" -o "$tmp/time" "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    t=$(printf '%.3f' "$(echo "$end - $start" | bc)")
    m=$(tail -n 1 "$tmp/time")
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t kb=$m; fi
  done
  echo "$best $kb"
}
seconds() { measure "$@" | cut -d' ' -f1; }
ratio() { echo "scale=2; $1 / $2" | bc -l | sed 's/^\./0./'; }
per() { echo "scale=2; $1 * 1000000 / $2" | bc -l | sed 's/^\./0./'; }

# swetest writes at most 36,525 lines per call: 100,000 positions are four
# calls of 25,000 from successive start dates (JD 2451545 + 2500 k).
cat >"$tmp/swetest-chunks" <<EOF
#!/usr/bin/env bash
for k in 0 1 2 3; do
  swetest -bj\$((2451545 + 2500 * k)) -p4 -n25000 -s0.1 "-f\$1" -head -eswe $ephe
done
EOF
chmod +x "$tmp/swetest-chunks"

table=(--no-ini --set Tabelle=1 --set Startdat=2451545 --set Schrittweite=0.1)
mars=(--set PlanetNr=3 --set Objekt=3)
positions=(--set AufKulmUnt=0 --set Elongation=0 --set Entfernung=1)

echo "## Machine"
echo
echo "- $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GiB"
echo "- Debian $(cat /etc/debian_version), $(g++ --version | head -n 1), build type Release"
echo "- swetest and Swiss Ephemeris $(dpkg-query -W -f '${Version}' libswe2.0 2>/dev/null || echo '?'), files in /usr/share/libswe/ephe"
echo "- $(date -u +%Y-%m-%d), commit $(git rev-parse --short HEAD)"
echo
echo "## Beside swetest"
echo
echo "10,000 rows at steps of 0.1 day from J2000 beside swetest computing 10,000 positions of Mars in three"
echo "formats: TPADR (date, name, right ascension, declination, distance), TPADRm (with the meridian distance,"
echo "the baseline of the earlier records) and TPADR= (with the magnitude):"
echo
sw10k() { seconds swetest -b1.1.2000 -p4 -n10000 -s0.1 "-f$1" -head -eswe "$ephe"; }
sw_p=$(sw10k TPADR)
sw_m=$(sw10k TPADRm)
sw_g=$(sw10k 'TPADR=')
echo "| Table | This program | ÷ TPADR ($sw_p s) | ÷ TPADRm ($sw_m s) | ÷ TPADR= ($sw_g s) |"
echo "|---|---:|---:|---:|---:|"
ten_k() {
  local label=$1 t
  shift
  t=$(seconds "$cli" "${table[@]}" --set DeltaTab=999.9 "$@" table)
  echo "| $label | $t s | $(ratio "$t" "$sw_p") | $(ratio "$t" "$sw_m") | $(ratio "$t" "$sw_g") |"
}
ten_k "Mars, default columns (rise, transit, set, elongation)" "${mars[@]}"
ten_k "Mars, date, time, RA, Dec, distance" "${mars[@]}" "${positions[@]}"
ten_k "Moon, rise, transit, set, phase, age" --set Objekt=0 --set RaDe=0 --set AEDaemm=0
echo
echo "Longer runs:"
echo
echo "| Work | This program | swetest | Ratio |"
echo "|---|---:|---:|---:|"

"$tmp/swetest-chunks" TPADR >"$tmp/sw.txt"
sw_lines=$(grep -c . "$tmp/sw.txt")
sw_pos=$(seconds "$tmp/swetest-chunks" TPADR)
sw_mag=$(seconds "$tmp/swetest-chunks" 'TPADR=')
our_pos=$(seconds "$cli" "${table[@]}" --set DeltaTab=9999.9 "${mars[@]}" "${positions[@]}" table)
our_mag=$(seconds "$cli" "${table[@]}" --set DeltaTab=9999.9 "${mars[@]}" "${positions[@]}" --set Helligkeit=1 table)
echo "| Mars, 100,000 rows, date, time, RA, Dec, distance / $sw_lines Mars positions (TPADR) | $our_pos s | $sw_pos s | $(ratio "$our_pos" "$sw_pos") |"
echo "| The same with the magnitude column / with magnitude (TPADR=) | $our_mag s | $sw_mag s | $(ratio "$our_mag" "$sw_mag") |"

sw_solecl=$(seconds swetest -solecl -b1.1.1600 -n2386 "$ephe")
our_phases=$(seconds "$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 phases)
echo "| Lunar phases 1600–2600 with eclipse marks / the 2,386 solar eclipses 1600–2600 (-solecl) | $our_phases s | $sw_solecl s | $(ratio "$our_phases" "$sw_solecl") |"

"$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 solar-eclipses \
  >"$tmp/local.txt"
local_count=$(grep -c '^1\. Kontakt' "$tmp/local.txt" || true)
sw_local=$(seconds swetest -solecl -local -geopos7.19,51.74,0 -b1.1.1600 -n"$local_count" "$ephe")
our_local=$(seconds "$cli" --no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=2305447.5 --set DeltaTab=365244 \
  solar-eclipses)
echo "| Local circumstances at Ortheim of the $local_count solar eclipses seen there 1600–2600 / as many local eclipses (-solecl -local) | $our_local s | $sw_local s | $(ratio "$our_local" "$sw_local") |"

if [ -x "$build/bench/bench_window_table" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_window_table" >"$tmp/window.txt" 2>&1 || true
  echo
  echo "The 10,000-row Mars table in the main window beside the batch program (bench/window-vs-cli.sh):"
  echo
  grep -v QStandardPaths "$tmp/window.txt" | sed 's/^/    /'
fi

echo
echo "## Growth with the work"
echo
echo "Mars table, date, time, RA, Dec and distance, steps of 0.1 day (the batch program writes each row as it is"
echo "computed, so its memory does not grow with the rows):"
echo
echo "| Rows | Time | Per row | Peak memory |"
echo "|---:|---:|---:|---:|"
for rows in 1000 10000 100000 1000000; do
  days=$(echo "($rows - 1) * 0.1" | bc)
  [ "$rows" -ge 1000000 ] && repeat=1
  read -r t kb < <(measure "$cli" "${table[@]}" --set DeltaTab="$days" "${mars[@]}" "${positions[@]}" table)
  repeat=3
  echo "| $rows | $t s | $(per "$t" "$rows") µs | $((kb / 1024)) MB |"
done

echo
echo "Lunar phases and eclipses from −1000 (JD 1355807.5), zone 0; solar eclipses with their local circumstances"
echo "at Ortheim:"
echo
echo "| Years | Phases: lines, time, memory | Lunar eclipses: count, time, memory | Solar eclipses: count, time, memory |"
echo "|---:|---|---|---|"
for years in 10 100 1000 5000; do
  days=$(echo "$years * 365.25" | bc)
  [ "$years" -ge 1000 ] && repeat=1
  row="| $years"
  for command in phases lunar-eclipses solar-eclipses; do
    args=(--no-ini --set BasisZeitzone=0 --set Tabelle=1 --set Startdat=1355807.5 --set DeltaTab="$days" "$command")
    "$cli" "${args[@]}" >"$tmp/out.txt" 2>/dev/null || true
    case $command in
      phases) count=$(grep -c . "$tmp/out.txt") ;;
      lunar-eclipses) count=$(grep -c ' UTC :' "$tmp/out.txt" || true) ;;
      solar-eclipses) count=$(grep -c '^1\. Kontakt' "$tmp/out.txt" || true) ;;
    esac
    read -r t kb < <(measure "$cli" "${args[@]}")
    row="$row | $count, $t s, $((kb / 1024)) MB"
  done
  repeat=3
  echo "$row |"
done

if [ -x "$build/bench/bench_planetary_theory" ]; then
  echo
  echo "## Google Benchmark"
  echo
  echo '```'
  for b in bench_planetary_theory bench_rise_set bench_local_eclipses; do
    "$build/bench/$b" --benchmark_min_time=0.2 2>/dev/null | grep -E '^(BM_|-|Benchmark)' || true
  done
  echo '```'
fi
