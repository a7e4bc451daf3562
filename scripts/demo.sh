#!/usr/bin/env bash
# Converts the bundled sample story to PalmDoc and zTXT with a bookmark per
# chapter, then shows what the two databases hold.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target folivo

# A settings folder of the demo's own, so stored defaults neither change its
# result nor get changed by it.
export XDG_CONFIG_HOME="$PWD/out/config"
mkdir -p out
sample=samples/the-night-ferry.txt
chapters='^chapter [ivx]+\.'

./build/src/cli/folivo convert --format palmdoc --bookmarks "$chapters" -o out/the-night-ferry.pdb "$sample"
./build/src/cli/folivo convert --format ztxt --bookmarks "$chapters" -o out/the-night-ferry-ztxt.pdb "$sample"
echo
./build/src/cli/folivo info out/the-night-ferry.pdb
echo
./build/src/cli/folivo info out/the-night-ferry-ztxt.pdb
