#!/usr/bin/env bash
# softswitch-script under valgrind's memcheck: a Communication Test, a switch
# write, a language write, both test prints and EXIT against printer-emulator
# on a pseudo-terminal. Any memcheck error or definite leak fails.
set -euo pipefail
bin=$1
work=$(mktemp -d)
emulator_pid=""
cleanup() {
  [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/printer-emulator" --no-tcp --pty "$work/printer" --set sw4=128 >"$work/emulator.out" 2>&1 &
emulator_pid=$!
for _ in $(seq 100); do
  grep -q '^listening pty' "$work/emulator.out" && break
  sleep 0.1
done

cat >"$work/script" <<'SCRIPT'
click cmdCommunicate
tab 2
click optSW2OFF(3)
click cmd2
tab 5
pick comboTHAI 249 - Thai 3 Pass
click cmd2
tab 0
click cmdCommunicate
click cmd01
click cmd02
click cmdEXIT
SCRIPT

valgrind --quiet --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
  "$bin/softswitch-script" --com "1=$work/printer" "$work/script" >"$work/out"
grep -q '^ended$' "$work/out"
