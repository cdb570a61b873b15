#!/usr/bin/env bash
# Installs what building and testing Ostrel needs, only what is missing.
# Usage: scripts/install-deps.sh [native|windows|all]   (default: all)
set -euo pipefail
what=${1:-all}

native=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev)
windows=(mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xclip xdotool openbox
         x11-utils imagemagick icoutils python3 locales)

want=()
case "$what" in
  native) want=("${native[@]}") ;;
  windows) want=("${windows[@]}") ;;
  all) want=("${native[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [native|windows|all]" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes the user locale from the Unix one, which must exist for the
# German and French runs of the Windows tests.
if [ "$what" != native ]; then
  for l in de_DE fr_FR en_US; do
    locale -a 2>/dev/null | grep -qi "^$l.utf-\?8$" || $sudo localedef -i "$l" -f UTF-8 "$l.UTF-8"
  done
fi
exit 0
