#!/usr/bin/env bash
# Builds the project twice (optimised, and with AddressSanitizer + UBSan) and runs
# every test suite of both builds through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

# The house style (.clang-format) holds for every source file.
git ls-files -z src tests bench fuzz | grep -z -E '\.(cpp|h)$' | xargs -0 -r clang-format --dry-run -Werror

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIVO_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFOLIVO_SANITIZE=ON -DFOLIVO_BENCH=OFF -DFOLIVO_WERROR=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
