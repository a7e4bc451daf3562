#!/usr/bin/env bash
# Renders each window of the desktop program offscreen to FOLDER/<ClassName>.png
# (default docs/screenshots/; the wizard's pages as CPage1.png to CPage4.png),
# with a book of the corpus loaded and its chapters bookmarked.
set -euo pipefail
folder=$(realpath -m "${1:-$(dirname "$0")/../docs/screenshots}")
cd "$(dirname "$0")/.."
./scripts/deps.sh

book=${FOLIVO_CORPUS_DIR:-../shared/corpus}/alice-11.txt
[ -f "$book" ] || { echo "screenshots: $book not found (set FOLIVO_CORPUS_DIR)" >&2; exit 1; }

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target folivo-screenshots
mkdir -p "$folder"

# A settings store, runtime folder, temporary folder and HotSync folder of
# the run's own: the windows open at their template size whatever the user
# has stored. The book is copied there and named by a relative path, so that
# the pictures show no path of this machine.
program=$PWD/build/src/gui/folivo-screenshots
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 700 "$scratch"
mkdir -p "$scratch/Books" "$scratch/HotSync/Ann Reader/Install" "$scratch/HotSync/Tom/Install"
cp "$book" "$scratch/Books/"
# Its neighbours for the main dialog's list.
for other in yellow-wallpaper-1952-0.txt yellow-wallpaper-1952-h.htm verwandlung-22367-8.txt; do
  [ -f "$(dirname "$book")/$other" ] && cp "$(dirname "$book")/$other" "$scratch/Books/"
done
# The preview of an EPUB book, made of the HTML edition (CPreviewDlg-epub.png).
epub=()
html_book=$(dirname "$book")/alice-11-h.htm
if [ -f "$html_book" ]; then
  python3 scripts/make-epub.py "$html_book" "$scratch/Books/alice.epub" "Alice's Adventures in Wonderland"
  epub=("Books/alice.epub")
fi
cd "$scratch"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch" XDG_CONFIG_HOME="$scratch" TMP="$scratch" \
  FOLIVO_HOTSYNC_DIR="$scratch/HotSync" "$program" "Books/$(basename "$book")" "$folder" "${epub[@]}"
