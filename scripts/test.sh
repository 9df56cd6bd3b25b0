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

# End-to-end cases hold the exchange's real-time waits (a serial reply has
# 30 ms), which a loaded machine can miss; a test that fails is run up to
# twice more before it counts.
ctest --test-dir build --output-on-failure -j2 --timeout 300 --repeat until-pass:3

cmake -S . -B build-asan -G Ninja -DSOFTSWITCH_WERROR=ON -DSOFTSWITCH_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
# Every report ends its program. ASan's also go to files, from any program,
# and UBSan's stay in CTest's log of every run: either fails the run, even
# when a test passed once CTest ran it again. The crash that a guard-page
# death test expects is left to the kernel (handle_segv=0): no report.
reports=$PWD/build-asan/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:handle_segv=0:log_path=$reports/asan"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300 --repeat until-pass:3 || status=$?
ubsan=$(grep -h -A12 ': runtime error: ' build-asan/Testing/Temporary/LastTest*.log || true)
if compgen -G "$reports/*" >/dev/null || [ -n "$ubsan" ]; then
  cat "$reports"/* 2>/dev/null || true
  printf '%s\n' "$ubsan"
  echo "sanitizer reports above (ASan's also in $reports)"
  exit 1
fi
exit "$status"
