#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Builds the libFuzzer targets (fuzz/, clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 30) from
# its seeds. Ends with status 1 at the first finding; prints each target's
# count of runs.
#
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
bash scripts/install-deps.sh >&2
CXX=clang++-14 cmake -S fuzz -B build-fuzz -G Ninja >/dev/null
cmake --build build-fuzz -j2 >&2
# target:seed folder
for pair in comet_line_fuzz:comet asteroid_record_fuzz:asteroid number_reader_fuzz:number \
            settings_file_fuzz:settings location_line_fuzz:location outline_file_fuzz:outline \
            database_page_fuzz:page \
            database_json_fuzz:json; do
  target="${pair%%:*}" seeds="${pair##*:}"
  mkdir -p "build-fuzz/corpus/$seeds"
  if ! ./build-fuzz/"$target" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix=build-fuzz/ \
      "build-fuzz/corpus/$seeds" "build-fuzz/seeds/$seeds" >"build-fuzz/$target.log" 2>&1; then
    tail -40 "build-fuzz/$target.log" >&2
    echo "fuzz: $target fand einen Fehler (Eingabe in build-fuzz/crash-*)" >&2
    exit 1
  fi
  echo "$target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "build-fuzz/$target.log")"
done
