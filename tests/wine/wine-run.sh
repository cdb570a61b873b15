#!/usr/bin/env bash
# Runs a Windows program under the Wine prefix of this test run (see
# wine-env.sh), optionally as another Windows version, at another resolution
# or in another user locale; settings are put back afterwards.
# Usage: wine-run.sh [--winver win10] [--dpi 144] [--locale de_DE.UTF-8] PROGRAM [ARGS...]
set -uo pipefail
state=${OSTREL_WINE_STATE:?OSTREL_WINE_STATE names the state directory of wine-env.sh}
# shellcheck disable=SC1091
. "$state/env"

winver="" dpi="" locale=""
while [ $# -gt 0 ]; do
  case "$1" in
    --winver) winver=$2; shift 2 ;;
    --dpi) dpi=$2; shift 2 ;;
    --locale) locale=$2; shift 2 ;;
    *) break ;;
  esac
done
program=$1
shift

appkey="HKCU\\Software\\Wine\\AppDefaults\\$(basename "$program")"
# The resolution is read when Wine's session starts: let the session end by
# itself, which saves the registry, and only then start the program.
session_restart() {
  timeout 60 wineserver -w || { wineserver -k; wineserver -w; }
}
restore() {
  [ -n "$winver" ] && wine reg delete "$appkey" /v Version /f >/dev/null 2>&1
  if [ -n "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
    session_restart
  fi
  return 0
}
# Put the settings back even when the program is killed.
trap 'exit 143' TERM INT
trap restore EXIT
if [ -n "$winver" ]; then
  wine reg add "$appkey" /v Version /t REG_SZ /d "$winver" /f >/dev/null 2>&1
fi
if [ -n "$dpi" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  session_restart
fi
if [ -n "$locale" ]; then
  export LANG=$locale LC_ALL=$locale
fi
wine "$program" "$@"
