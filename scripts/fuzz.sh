#!/usr/bin/env bash
# Fuzzes the engine with libFuzzer for a while (default 60 s a target) and
# fails on any finding. New inputs go to a scratch folder, beside the
# committed corpus, which stays as it is.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q 'install ok installed' || {
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev >/dev/null
}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target FuzzRewrapMail FuzzWrapLine
for pair in FuzzRewrapMail:rewrap_mail FuzzWrapLine:wrap_line; do
  target=${pair%%:*} corpus=fuzz/corpus/${pair##*:}
  scratch=build/fuzz/scratch/${pair##*:}
  mkdir -p "$scratch"
  echo "== $target for ${seconds}s"
  log=build/fuzz/$target.log
  if ! (cd build/fuzz && "./fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
          -rss_limit_mb=4096 -print_final_stats=1 "../../$scratch" "../../$corpus") >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzzing $target found a fault; the input is in build/fuzz (crash-*, timeout-*, oom-*)"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$log"
done
echo "fuzzing found nothing"
