#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# The 10,000-row Mars table in the main window beside the batch program, in
# the same run, on a virtual display. Usage: bench/window-vs-cli.sh [BUILD_DIR]
# (a Release build with tests, default build-rel).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-rel}
bench="$build/bench/bench_window_table"
[ -x "$bench" ] || { echo "no $bench: cmake -S . -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build" >&2; exit 2; }
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$bench"
