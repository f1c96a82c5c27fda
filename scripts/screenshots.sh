#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Takes the pictures of the guides anew (docs/images/): the program's
# windows on a virtual X screen (Xvfb, 1280 x 1024), grabbed from the
# screen as a user sees them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake -S . -B build-shots -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBITELLO_TESTS=ON -DORBITELLO_BENCH=OFF >/dev/null
cmake --build build-shots --target ui_screenshots >&2
unset QT_QPA_PLATFORM
export HOME="$(mktemp -d)" XDG_CONFIG_HOME=""
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" ./build-shots/tests/ui/ui_screenshots docs/images
