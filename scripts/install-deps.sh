#!/usr/bin/env bash
# Installs what building and testing Ostrel needs, only what is missing.
# Usage: scripts/install-deps.sh [native|windows|all]   (default: all)
set -euo pipefail
what=${1:-all}

native=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev)
windows=(mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xclip xdotool openbox
         x11-utils imagemagick icoutils python3)

want=()
case "$what" in
  native) want=("${native[@]}") ;;
  windows) want=("${windows[@]}") ;;
  all) want=("${native[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [native|windows|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
