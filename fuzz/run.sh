#!/usr/bin/env bash
# fuzz/run.sh SECONDS [libFuzzer options...]
# Configures and builds the parser fuzzer with clang into build/fuzz (or
# $FUZZ_BUILD_DIR), writes the seed corpus from the command table and fuzzes
# for at most SECONDS (inputs up to 128 bytes: a command is at most 25). Exits non-zero when the fuzzer finds a crash or a
# broken invariant; the input is left in the build folder as crash-*.
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [libFuzzer options, e.g. -runs=10000000]" >&2
  exit 2
fi
seconds=$1
shift

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

"$build/make_seeds" "$build/seeds"
mkdir -p "$build/corpus"
# The corpus folder collects new inputs; the seeds stay as they were made.
"$build/parser_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
  -max_len=128 -artifact_prefix="$build/" "$@" "$build/corpus" "$build/seeds"
