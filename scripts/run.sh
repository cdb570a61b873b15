#!/usr/bin/env bash
# Runs Ostrel. With a display, builds what is missing and starts ostrel.exe
# under Wine. Without one, shows the main job on a sample mail on a virtual
# display: the sample goes on the clipboard, Ostrel opens, Go is clicked, and
# the re-wrapped clipboard text and the path of a screenshot are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh windows >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target ostrel probe >/dev/null

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec wine "$root/build/windows/ostrel.exe"
fi

state=$root/build/windows/demo-state
trap 'tests/wine/wine-env.sh cleanup "$state"' EXIT
tests/wine/wine-env.sh setup "$state" >/dev/null
OSTREL_WINE_STATE=$state OSTREL_EXE=$root/build/windows/ostrel.exe \
  OSTREL_PROBE=$root/build/windows/tests/probe.exe OSTREL_ARTIFACTS=$root/build/windows \
  python3 scripts/demo.py
