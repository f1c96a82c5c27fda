#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Builds everything with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBITELLO_WERROR=ON -DORBITELLO_SANITIZE=ON >/dev/null
cmake --build build-test -j2
# Tests never touch the user's own configuration.
export HOME="$(mktemp -d)" XDG_CONFIG_HOME=""
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2
