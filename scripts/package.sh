#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Builds the Debian package of the program (Release, installed below /usr)
# into build-deb/, and prints its name.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DORBITELLO_TESTS=OFF -DORBITELLO_BENCH=OFF >&2
cmake --build build-deb >&2
(cd build-deb && cpack -G DEB >&2)
ls build-deb/*.deb
