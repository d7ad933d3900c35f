#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the plain
# build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and the
# thread tests under ThreadSanitizer, then the web edition in a real browser.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/check-format.sh
jobs=$(nproc)
for preset in default asan; do
  echo "== ${preset} build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# ThreadSanitizer: only the programs whose tests run threads.
echo "== tsan build =="
cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target platform_tests hints_tests device_tests firmware_tests
ctest --preset tsan -j "$jobs"

# The web edition: the same core built with Emscripten, and the page tested
# in Debian's Chromium against the headless instrument built above.
echo "== web build and browser tests =="
scripts/install-web-deps.sh
cmake --preset web
cmake --build --preset web -j "$jobs"
# The browser tests press keys in real time, and a press stretched by a busy
# machine past 300 ms is a long click: one file at a time.
concurrency=()
if node --help | grep -- --test-concurrency >/dev/null; then concurrency=(--test-concurrency=1); fi
(cd web && node --test "${concurrency[@]}" tests/)
