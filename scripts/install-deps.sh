#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Installs every Debian package the program and its tests need (Debian 12).
# Idempotent: packages already present are left alone, and the package lists
# are refreshed at most once. Works as root and through sudo.
set -euo pipefail

packages=(
  # build
  cmake g++ ninja-build pkg-config
  # the Debian package: dpkg-shlibdeps finds the packages of the shared libraries
  dpkg-dev
  # planetary theory: Swiss Ephemeris, its JPL-based files, manual and test program
  libswe-dev swe-standard-data libswe-doc swetest
  # windows, pictures, printing; the tool bar's icons are SVG
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  # HTTP client, the JSON reader and the local HTTP server of the tests
  libcurl4-openssl-dev nlohmann-json3-dev libcpp-httplib-dev
  # checks of the desktop entry and the AppStream description
  desktop-file-utils appstream
  # the GeoJSON schema check of the path export (cli.export tests)
  python3-jsonschema
  # the fuzz targets (scripts/fuzz.sh): clang with libFuzzer
  clang-14 libclang-rt-14-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # the real window under a virtual display (window benchmark, screenshots:
  # xwd and its converter), fonts metric-compatible with the pictures' fonts
  xvfb xauth x11-apps netpbm fonts-liberation2 fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
