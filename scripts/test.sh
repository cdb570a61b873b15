#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows
# program's tests under Wine, and a minute of fuzzing per engine function.
# Installs what is missing first.
# Usage: scripts/test.sh [native|sanitize|windows|fuzz]...   (default: all four)
set -euo pipefail
cd "$(dirname "$0")/.."
stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(native sanitize windows fuzz)

need_windows=native
for s in "${stages[@]}"; do [ "$s" = windows ] && need_windows=all; done
scripts/install-deps.sh "$need_windows"

for s in "${stages[@]}"; do
  echo "== $s"
  if [ "$s" = fuzz ]; then
    scripts/fuzz.sh 60
    continue
  fi
  cmake --preset "$s" >/dev/null
  cmake --build --preset "$s"
  ctest --preset "$s"
done
