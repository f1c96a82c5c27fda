#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Builds the program (Release) and runs its main job: the ephemeris table of
# the settings in ORBITELLO.INI (the defaults when there is none).
# Extra arguments go to orbitello32-cli, e.g. `bash scripts/run.sh phases`.
# Standard output carries only the program's lines (so that
# `bash scripts/run.sh table > tabelle.csv` holds the table alone); the
# installation and the build report on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBITELLO_TESTS=OFF -DORBITELLO_BENCH=OFF >/dev/null
cmake --build build --target orbitello32-cli >&2
if [ $# -eq 0 ]; then set -- table; fi
exec ./build/orbitello32-cli "$@"
