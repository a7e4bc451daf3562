#!/usr/bin/env bash
# Renders each window of the desktop program offscreen to FOLDER/<ClassName>.png
# (default docs/screenshots/), with a book of the corpus loaded and its
# chapters bookmarked.
set -euo pipefail
folder=$(realpath -m "${1:-$(dirname "$0")/../docs/screenshots}")
cd "$(dirname "$0")/.."
./scripts/deps.sh

book=${FOLIVO_CORPUS_DIR:-../shared/corpus}/alice-11.txt
[ -f "$book" ] || { echo "screenshots: $book not found (set FOLIVO_CORPUS_DIR)" >&2; exit 1; }

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target folivo-screenshots
mkdir -p "$folder"

# A settings store, runtime folder and temporary folder of the run's own: the
# windows open at their template size whatever the user has stored.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 700 "$scratch"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch" XDG_CONFIG_HOME="$scratch" TMP="$scratch" \
  ./build/src/gui/folivo-screenshots "$book" "$folder"
