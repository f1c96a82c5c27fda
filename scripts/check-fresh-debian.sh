#!/usr/bin/env bash
# SPDX-License-Identifier: AGPL-3.0-or-later
# Installs the Debian package into a fresh Debian 12 (bookworm) made with
# debootstrap and checks it as a user would meet it: apt resolves the
# package's dependencies, the batch program computes a table from the
# installed location in an empty folder, the eclipse path finds the
# installed outline file, the desktop entry and the AppStream file validate,
# the menu entry's command and icon exist, the man page reads, and the window
# program starts on a virtual display and draws its window.
# With --build, the README's two commands run in the same system first, on a
# copy of the repository (about 15 minutes on two cores).
#
# Usage (as root, with network access to a Debian mirror):
#   scripts/check-fresh-debian.sh [--build] PACKAGE.deb [ROOT_DIR]
# ROOT_DIR (default /var/tmp/orbitello32-bookworm) is made once and reused;
# delete it for a fresh start.
set -euo pipefail
cd "$(dirname "$0")/.."
build=0
if [ "${1:-}" = --build ]; then build=1; shift; fi
deb=$(realpath "${1:?usage: scripts/check-fresh-debian.sh [--build] PACKAGE.deb [ROOT_DIR]}")
root=${2:-/var/tmp/orbitello32-bookworm}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" "$mirror"
fi
mounts=(proc sys dev)
# On any end, interrupted or not: no process stays behind in the system
# (an apt or a build left running would meet the next run), then the mounts.
cleanup() {
  local pid
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$(realpath "$root")" ] && kill "${pid#/proc/}" 2>/dev/null
  done
  for m in "${mounts[@]}"; do umount -l "$root/$m" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/package.deb"

in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

if [ "$build" = 1 ]; then
  rm -rf "$root/tmp/repo"
  git clone -q . "$root/tmp/repo"
  in_root apt-get update -qq
  in_root apt-get install -y -qq git ca-certificates >/dev/null
  # The README's two commands, as a new developer types them (no display:
  # the first prints the table of the default settings).
  in_root bash -c 'cd /tmp/repo && bash scripts/run.sh'
  in_root bash -c 'cd /tmp/repo && bash scripts/test.sh'
fi

in_root apt-get update -qq
in_root apt-get install -y -qq /tmp/package.deb desktop-file-utils appstream xvfb xauth x11-apps man-db >/dev/null
echo "== installed: $(in_root dpkg-query -W -f '${Package} ${Version}' orbitello32)"

in_root bash -c 'rm -rf /tmp/empty && mkdir /tmp/empty && cd /tmp/empty &&
  orbitello32-cli --version &&
  orbitello32-cli --no-ini --set Objekt=3 --set PlanetNr=3 --set Startdat=2451545 table | tail -n 2 &&
  orbitello32-cli --no-ini --set Startdat=2460409 eclipse-path | head -n 4 &&
  test -z "$(ls -A)" && echo "== the empty folder stays empty"'

in_root desktop-file-validate /usr/share/applications/de.orbitello32.Orbitello32.desktop
in_root appstreamcli validate --no-net /usr/share/metainfo/de.orbitello32.Orbitello32.metainfo.xml
exec_line=$(in_root grep '^Exec=' /usr/share/applications/de.orbitello32.Orbitello32.desktop)
icon=$(in_root grep '^Icon=' /usr/share/applications/de.orbitello32.Orbitello32.desktop | cut -d= -f2)
in_root test -x "/usr/bin/$(echo "${exec_line#Exec=}" | cut -d' ' -f1)"
in_root test -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg"
echo "== menu entry: $exec_line, icon $icon found"
# The tool bar's drawings are SVG: without Qt's SVG icon engine its buttons
# stay blank.
in_root bash -c 'test -f "$(dirname "$(dpkg -L libqt6gui6 | grep /plugins/platforms/ | head -n 1)")/../iconengines/libqsvgicon.so"'
echo "== SVG icon engine installed"
in_root bash -c 'MANWIDTH=80 man orbitello32-cli 2>/dev/null | head -n 5'

# The window program from the menu's command, as a fresh user in an empty
# home: a picture of the screen after a few seconds shows its window.
in_root bash -c 'rm -rf /tmp/home && mkdir /tmp/home && cd /tmp/home && export HOME=/tmp/home &&
  xvfb-run -a -s "-screen 0 1366x768x24" bash -c "orbitello32 & sleep 6; xwd -root -silent > /tmp/screen.xwd; kill %1"'
cp "$root/tmp/screen.xwd" /tmp/orbitello32-fresh-debian.xwd
echo "== screen of the started window: /tmp/orbitello32-fresh-debian.xwd"
echo "== all checks passed"
