#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Builds the program (Release) and runs its main job: the window, when a
# display is there; without one the ephemeris table of the settings in
# ORBITELLO.INI (the defaults when there is none) from the batch program.
# Extra arguments go to the batch program orbitello32-cli, e.g.
# `bash scripts/run.sh phases`.
# Standard output carries only the program's lines (so that
# `bash scripts/run.sh table > tabelle.csv` holds the table alone); the
# installation and the build report on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBITELLO_TESTS=OFF -DORBITELLO_BENCH=OFF >/dev/null
cmake --build build --target orbitello32-cli orbitello32 >&2
if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./build/orbitello32
  fi
  echo "run.sh: kein Bildschirm gefunden (DISPLAY ist leer); hier die Tabelle des Kommandozeilenprogramms." >&2
  echo "run.sh: Das Programmfenster zeigt z. B. 'xvfb-run -a build/orbitello32' auf einem virtuellen Bildschirm" >&2
  echo "run.sh: oder 'ssh -X' von einem Rechner mit Bildschirm." >&2
  set -- table
fi
exec ./build/orbitello32-cli "$@"
