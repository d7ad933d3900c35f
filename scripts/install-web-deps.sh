#!/usr/bin/env bash
# Installs what the web edition needs: the Debian packages of
# install-deps.sh --web (Emscripten, Chromium), npm, and the browser tests'
# Node package exactly as package-lock.json pins it (it downloads no browser:
# the tests drive Debian's Chromium).
# Usage: scripts/install-web-deps.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --web

if ! command -v npm >/dev/null 2>&1; then
  echo "Installing npm"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  if ! "${sudo[@]}" apt-get update -qq || ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm; then
    echo "error: npm is missing and could not be installed; install it (apt-get install npm) and run the command again" >&2
    exit 1
  fi
fi

# Up to date when every package of the lock is installed at its version.
if ! (cd web && node -e '
  const lock = require("./package-lock.json");
  for (const [where, entry] of Object.entries(lock.packages)) {
    if (!where) continue;
    try {
      if (require("./" + where + "/package.json").version !== entry.version) process.exit(1);
    } catch { process.exit(1); }
  }' 2>/dev/null); then
  echo "Installing the web tests' Node packages"
  if ! (cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund); then
    echo "error: npm could not install the packages of web/package-lock.json" >&2
    exit 1
  fi
fi
