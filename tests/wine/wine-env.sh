#!/usr/bin/env bash
# Sets up and tears down what the Windows tests run in: a virtual X display
# with a window manager, and a new Wine prefix made for this run only.
# Usage: wine-env.sh setup|cleanup STATE_DIR
set -euo pipefail
cmd=${1:?setup or cleanup}
state=${2:?state directory}

stop_all() {
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    . "$state/env"
    WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  fi
  for p in openbox xvfb; do
    [ -f "$state/$p.pid" ] && kill "$(cat "$state/$p.pid")" 2>/dev/null || true
  done
}

case "$cmd" in
  setup)
    stop_all
    rm -rf "$state"
    mkdir -p "$state"
    # A display number that no other server (or other run) holds.
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    DISPLAY=":$n" openbox >"$state/openbox.log" 2>&1 &
    echo $! >"$state/openbox.pid"
    cat >"$state/env" <<EOT
export DISPLAY=:$n
export WINEPREFIX=$state/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
EOT
    # shellcheck disable=SC1091
    . "$state/env"
    wineboot -i >"$state/wineboot.log" 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot made no prefix" >&2; cat "$state/wineboot.log" >&2; exit 1; }
    echo "Wine prefix $WINEPREFIX on display $DISPLAY"
    ;;
  cleanup)
    stop_all
    rm -rf "$state"
    ;;
  *)
    echo "usage: $0 setup|cleanup STATE_DIR" >&2
    exit 2
    ;;
esac
