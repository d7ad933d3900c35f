#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)
cmake --preset default
cmake --build --preset default -j "$jobs"
exec build/default/bin/orx700-demo "$@"
