#!/usr/bin/env bash
# Runs the whole suite of one build folder. Tests that need a display start their own Xvfb.
set -euo pipefail
build=${1:-build}
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600
