#!/usr/bin/env bash
# Builds everything and runs every test: a bounded fuzzing run of each fuzz
# target, then the CTest suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

fuzz_log=build/fuzz-run.log
if bash fuzz/run.sh "${FUZZ_SECONDS:-60}" >"$fuzz_log" 2>&1; then
  grep -E '^(== |Done )' "$fuzz_log"
else
  cat "$fuzz_log"
  echo "fuzzing found a fault; the input is in build/fuzz/"
  exit 1
fi

ctest --test-dir build --output-on-failure -j2 --timeout 300
