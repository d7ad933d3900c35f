#!/usr/bin/env bash
# Installs the Debian packages the build needs that are not installed yet.
# Usage: scripts/install-deps.sh [--web]
#   --web  also what the web edition needs: Emscripten, and Chromium for its tests
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libsqlite3-dev
  zlib1g-dev ccache libx11-dev fonts-dejavu-core fonts-dejavu-extra qt6-translations-l10n poppler-utils clang-format help2man dpkg-dev lintian
  xvfb openbox xdotool x11-utils imagemagick libgif-dev)
if [ "${1:-}" = "--web" ]; then
  packages+=(emscripten chromium sqlite3)
elif [ $# -gt 0 ]; then
  echo "usage: scripts/install-deps.sh [--web]" >&2
  exit 2
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing Debian packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "error: these packages are missing and this user cannot install them: ${missing[*]}" >&2
  echo "       ask an administrator to run: apt-get install ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get update -qq || ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "error: apt-get could not install: ${missing[*]}" >&2
  echo "       check the network connection and the apt sources, then run the command again" >&2
  exit 1
fi
