#!/usr/bin/env bash
# Builds everything and runs every test: a bounded fuzzing run of the
# emulator's command parser, then the CTest suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -f fuzz/run.sh ]; then
  log=build/fuzz-run.log
  if bash fuzz/run.sh "${FUZZ_SECONDS:-60}" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$log" || tail -n 3 "$log"
  else
    cat "$log"
    echo "fuzzing found a fault; the input is in build/fuzz/"
    exit 1
  fi
fi
ctest --test-dir build --output-on-failure -j2 --timeout 300
