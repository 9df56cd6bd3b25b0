#!/usr/bin/env bash
# Builds the utility and opens its window beside the bundled printer
# emulator. The emulator answers on COM1 (a pseudo-terminal), on USB (the
# emulated transport library) and on TCP/IP at 127.0.0.1. Without a display
# the same window runs headless and prints what it shows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

top=$PWD
run="$top/build/run"
mkdir -p "$run"
cp build/bin/KR_SW_Help.txt "$run/"
if [ -f build/emulated/libKR5050.so ]; then
  cp build/emulated/libKR5050.so "$run/"
fi

emulator_pid=""
stop_emulator() {
  if [ -n "$emulator_pid" ]; then
    kill "$emulator_pid" 2>/dev/null || true
    wait "$emulator_pid" 2>/dev/null || true
  fi
}
trap stop_emulator EXIT

com_args=()
if [ -x build/bin/printer-emulator ]; then
  start_emulator() {
    rm -f "$run/emulator.out" "$run/ttyPRINTER"
    build/bin/printer-emulator --tcp "$1" --pty "$run/ttyPRINTER" --transcript "$run/transcript.txt" \
      >"$run/emulator.out" 2>&1 &
    emulator_pid=$!
    for _ in $(seq 50); do
      grep -q '^listening pty' "$run/emulator.out" 2>/dev/null && return 0
      kill -0 "$emulator_pid" 2>/dev/null || return 1
      sleep 0.1
    done
    return 1
  }
  # 9100 is the printer's raw port; when it is taken, any free port will do.
  start_emulator 127.0.0.1:9100 || { stop_emulator; emulator_pid=""; start_emulator 127.0.0.1:0; }
  tcp=$(sed -n 's/^listening tcp //p' "$run/emulator.out")
  com_args=(--com "1=$run/ttyPRINTER")
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Printer emulator ready: COM1 and USB reach it as they are; for TCP/IP type IP Address 127.0.0.1 and Listen Port ${tcp##*:}."
  else
    echo "Printer emulator ready on COM1 (a pseudo-terminal), USB and TCP/IP at 127.0.0.1:${tcp##*:}."
  fi
  echo "Everything it receives is written to $run/transcript.txt."
else
  echo "No printer emulator built; the window opens alone."
fi

cd "$run"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$top/build/bin/softswitch" "${com_args[@]}"
else
  echo "No display: running the window headless. A Communication Test on COM1, then each switch tab, shows:"
  "$top/build/bin/softswitch-script" "${com_args[@]}" - <<'SCRIPT' | awk -f "$top/scripts/summary.awk"
click cmdCommunicate
dump lblINFO krLabel3 lblKR_INFO lblLANG_INFO
tab 1
dump frameSW1m optSW1ON optSW1OFF lblSW1Function
tab 2
dump frameSW2m optSW2ON optSW2OFF lblSW2Function
tab 3
dump frameSW3m optSW3ON optSW3OFF lblSW3Function
tab 4
dump frameSW4m optSW4ON optSW4OFF lblSW4Function
SCRIPT
fi
