#!/usr/bin/env bash
# Runs Ostrel. For now: the command-line filter on standard input.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake --preset native >/dev/null
cmake --build --preset native --target ostrel-wrap >/dev/null
exec build/native/cli/ostrel-wrap "$@"
