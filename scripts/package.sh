#!/usr/bin/env bash
# Builds the Debian package of the whole product in BUILD (default build/)
# and checks it: unpacked into a scratch root, its three programs run and its
# desktop entry is valid, and apt can resolve every package it depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
./scripts/deps.sh

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
rm -f "$build"/folivo-converter_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/folivo-converter_*.deb)

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for program in folivo folivo-converter folivo-desktop-integration; do
  "$root/usr/bin/$program" --version
done
# Its hints count too: they name entries that menus show wrongly.
hints=$(desktop-file-validate "$root/usr/share/applications/folivo-converter.desktop")
[ -z "$hints" ] || { echo "$hints" >&2; exit 1; }
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
# What installing it on this system would do, without doing it.
apt-get install --simulate --no-install-recommends "$deb" >/dev/null
echo "$deb: programs run, desktop entry valid, dependencies resolvable"
