#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# program's tests under Wine. Installs what is missing first.
# Usage: scripts/test.sh [native|sanitize|windows]...   (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(native sanitize windows)

need_windows=native
for s in "${stages[@]}"; do [ "$s" = windows ] && need_windows=all; done
scripts/install-deps.sh "$need_windows"

for s in "${stages[@]}"; do
  echo "== $s"
  cmake --preset "$s" >/dev/null
  cmake --build --preset "$s"
  ctest --preset "$s"
done
