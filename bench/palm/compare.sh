#!/usr/bin/env bash
# Builds palm_compare in the given build folder (default build) and runs it
# over the corpus: bench/palm/compare.sh [--smallest] [build folder] [corpus folder]
# --smallest adds the smallest file the format allows (found by brute force).
set -euo pipefail
cd "$(dirname "$0")/../.."
extra=()
if [ "${1:-}" = --smallest ]; then extra=(--smallest); shift; fi
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target palm_compare -j 2 >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
corpus=${2:-$(grep '^FOLIVO_CORPUS_DIR:' "$build/CMakeCache.txt" | cut -d= -f2-)}
"$build/bench/palm/palm_compare" "${extra[@]}" "$corpus" "$scratch"
