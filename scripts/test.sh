#!/usr/bin/env bash
# Builds everything and runs every test: a bounded fuzzing run of each fuzz
# target, the CTest suite, then the same suite built with AddressSanitizer and
# UBSan into build-asan, where any sanitizer report fails the run.
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

cmake -S . -B build-asan -G Ninja -DSOFTSWITCH_WERROR=ON -DSOFTSWITCH_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
# A report ends its program with a failing status (leaks at its exit), which
# fails the test that ran it or checks how it ended.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300
