#!/usr/bin/env bash
# fuzz/run.sh SECONDS [libFuzzer options...]
# Configures and builds the fuzz targets with clang into build/fuzz (or
# $FUZZ_BUILD_DIR) and fuzzes each target in turn from its seeds in fuzz/seeds,
# sharing SECONDS between them (0: no time limit, e.g. with -runs=N). Every
# target runs even after one fails; the exit status is non-zero when any
# found a crash or a broken property, and the input is left in the build
# folder as TARGET-crash-*. FUZZ_TARGETS="parser replyscan" picks targets.
set -euo pipefail

if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [libFuzzer options, e.g. -runs=10000000]" >&2
  exit 2
fi
seconds=$1
shift

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
read -r -a targets <<<"${FUZZ_TARGETS:-parser replyscan leadingnumber}"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# The longest input worth trying per target: a command is at most 25 bytes,
# a USB reply two 32-byte buffers, a number reply may run long.
declare -A max_len=([parser]=128 [replyscan]=80 [leadingnumber]=1024)
each=$(( seconds / ${#targets[@]} ))
if (( seconds > 0 && each == 0 )); then each=1; fi

failed=()
for target in "${targets[@]}"; do
  echo "== ${target}_fuzzer: ${each}s"
  mkdir -p "$build/corpus/$target"
  # The corpus folder collects new inputs; the seeds in fuzz/seeds stay as they are.
  if ! "$build/${target}_fuzzer" -max_total_time="$each" -print_final_stats=1 \
      -max_len="${max_len[$target]}" -artifact_prefix="$build/$target-" "$@" \
      "$build/corpus/$target" "$root/fuzz/seeds/$target"; then
    failed+=("$target")
  fi
done
if (( ${#failed[@]} > 0 )); then
  echo "fuzzing found a fault in: ${failed[*]}"
  exit 1
fi
