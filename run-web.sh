#!/usr/bin/env bash
# Installs what is missing, builds the web edition into build/web/site and
# serves it on http://127.0.0.1:8700/ (ORX_WEB_PORT sets another port).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-web-deps.sh
# The user manuals are made by native tools; the site carries a copy.
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target manuals
cmake --preset web
cmake --build --preset web -j "$(nproc)"
exec node web/tools/serve.mjs --port "${ORX_WEB_PORT:-8700}" build/web/site
