#!/usr/bin/env bash
# Fails when a tracked C++ file differs from .clang-format, and prints the
# command that formats it. Usage: scripts/check-format.sh
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
  echo "error: clang-format is missing; install the Debian package clang-format" >&2
  exit 1
fi
bad=()
while IFS= read -r -d '' f; do
  [ -f "$f" ] || continue
  clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files -z '*.cpp' '*.h' 2>/dev/null)
if [ ${#bad[@]} -gt 0 ]; then
  echo "error: ${#bad[@]} file(s) differ from .clang-format:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  echo "fix with: clang-format -i ${bad[*]}" >&2
  exit 1
fi
echo "format: every C++ file matches .clang-format"
