#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the plain
# build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and the
# thread tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
for preset in default asan tsan; do
  echo "== ${preset} build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
