#!/usr/bin/env bash
# Builds everything and runs every test: the CTest suite, then a bounded
# fuzzing run of the emulator's command parser.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j2 --timeout 300
if [ -f fuzz/run.sh ]; then
  bash fuzz/run.sh "${FUZZ_SECONDS:-60}"
fi
