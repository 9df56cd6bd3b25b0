#!/bin/bash
# Soak (a measurement, not a test): softswitch-script against one
# printer-emulator (a KR-5050), cycle after cycle, watching the emulator's
# memory and open descriptors for growth.
#
#   bench/soak.sh [BIN] [CYCLES]     BIN: build/bin (default), CYCLES: 200
#
# 1. CYCLES runs of softswitch-script over TCP/IP: Communication Test, Read
#    Settings of switch 2, a write of switch 2 bit 4 (ON and OFF by turns; over
#    TCP/IP the program ends after a write). Each run's read shows the
#    previous run's write.
# 2. CYCLES runs over the pseudo-terminal as COM1: Communication Test, the
#    write, Read Settings, which shows the new value.
# 3. One run over COM1 whose script repeats that cycle CYCLES times.
# 4. One run over TCP/IP whose script repeats Communication Test and Read
#    Settings CYCLES times, then writes once (the write ends the program).
#
# Prints, for the emulator (and in 3 and 4 for softswitch-script too), the
# resident memory (VmRSS), its peak (VmHWM) and the open descriptors after
# the first, the middle and the last cycle, and the cycles whose output was
# not what the cycle should give. Loopback only. Needs /proc (Linux).
set -uo pipefail

bin=$(cd "${1:-build/bin}" && pwd)
cycles=${2:-200}
middle=$(((cycles + 1) / 2))
work=$(mktemp -d)
emulator_pid=
trap '[ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# "VmRSS VmHWM descriptors" of a process, in kB and count.
probe() {
    local pid=$1 rss hwm fds
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    echo "${rss:-?} ${hwm:-?} $fds"
}

# Alive and not yet a zombie waiting for us.
running() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

report() {  # report WHAT CYCLE "RSS HWM FDS"
    read -r rss hwm fds <<<"$3"
    printf '  %-24s cycle %4s: RSS %6s kB  peak %6s kB  fds %3s\n' "$1" "$2" "$rss" "$hwm" "$fds"
}

start_emulator() {
    rm -f "$work/tty" "$work/ready"
    "$bin/printer-emulator" --tcp 127.0.0.1:0 --pty "$work/tty" --set model=KR-5050 --set sw2=5 \
        </dev/null >"$work/ready" 2>"$work/emulator.err" &
    emulator_pid=$!
    for _ in $(seq 200); do
        [ -f "$work/ready" ] && [ "$(wc -l <"$work/ready")" -ge 2 ] && break
        sleep 0.05
    done
    port=$(head -1 "$work/ready" | sed 's/.*://')
}

stop_emulator() {
    kill "$emulator_pid"
    wait "$emulator_pid" 2>/dev/null
    emulator_pid=
}

# The emulator starts with sw2=5, which the window shows as bit 4 ON: OFF
# for odd cycles, ON for even ones, so every write changes the byte.
# check_cycle CYCLE OUTPUT WANT: counts a cycle that did not greet, ask for the
# re-power, read back bit 4 of switch 2 as WANT, or did show a critical box
# (or was marked as not ended); prints the first such output.
check_cycle() {
    if [[ $2 == "(the program did not end)"* ]] || ! grep -q "$welcome" <<<"$2" || ! grep -q "$repower" <<<"$2" ||
        ! grep -q "optSW2ON(3).Value=$3" <<<"$2" || grep -q 'icon=critical' <<<"$2"; then
        failed=$((failed + 1))
        [ "$failed" -eq 1 ] && printf 'first failing cycle %s:\n%s\n' "$1" "$2"
    fi
}
state() { (($1 % 2)) && echo OFF || echo ON; }
tcp_lines() {
    printf 'pick Combo1 TCP/IP\ntype tcpIP 127.0.0.1\ntype tcpListenPort %s\n' "$port"
}
welcome='Communication test finished'
repower='please re-power on printer'

echo "softswitch-script against printer-emulator, $cycles cycles ($bin)"
start_emulator
echo "per run, TCP/IP (Communication Test, Read Settings, write):"
failed=0
for i in $(seq "$cycles"); do
    { tcp_lines
      printf 'click cmdCommunicate\ntab 2\nclick cmd1\ndump optSW2ON(3)\nclick optSW2%s(3)\nclick cmd2\n' "$(state "$i")"
    } >"$work/tcp.script"
    out=$("$bin/softswitch-script" "$work/tcp.script" 2>&1)
    # Before this run's write, the read shows the last run's (at first: ON).
    want=true
    ((i > 1)) && [ "$(state $((i - 1)))" = OFF ] && want=false
    grep -q '^ended$' <<<"$out" || out="(the program did not end) $out"
    check_cycle "$i" "$out" "$want"
    case $i in 1 | "$middle" | "$cycles") report emulator "$i" "$(probe "$emulator_pid")" ;; esac
done
echo "  cycles not as expected: $failed"

echo "per run, COM1 on the pseudo-terminal (Communication Test, write, Read Settings):"
failed=0
for i in $(seq "$cycles"); do
    printf 'click cmdCommunicate\ntab 2\nclick optSW2%s(3)\nclick cmd2\nclick cmd1\ndump optSW2ON(3)\n' "$(state "$i")" \
        >"$work/com.script"
    out=$("$bin/softswitch-script" --com 1="$work/tty" "$work/com.script" 2>&1)
    want=false
    [ "$(state "$i")" = ON ] && want=true
    check_cycle "$i" "$out" "$want"
    case $i in 1 | "$middle" | "$cycles") report emulator "$i" "$(probe "$emulator_pid")" ;; esac
done
echo "  cycles not as expected: $failed"
stop_emulator

# One long run: samples both processes as the cycles go by (a cycle is
# counted by its Communication Test's message box).
long_run() {  # long_run NAME SCRIPT [ARGS...]
    local name=$1 script=$2
    shift 2
    "$bin/softswitch-script" "$@" "$script" >"$work/long.out" 2>&1 &
    local driver=$! seen=0 done_cycles
    while running "$driver"; do
        done_cycles=$(grep -c "$welcome" "$work/long.out")
        for mark in 1 "$middle" "$cycles"; do
            if [ "$done_cycles" -ge "$mark" ] && [ "$seen" -lt "$mark" ]; then
                report "emulator" "$mark" "$(probe "$emulator_pid")"
                report "softswitch-script" "$mark" "$(probe "$driver")"
                seen=$mark
            fi
        done
        sleep 0.1
    done
    wait "$driver"
    echo "  exit $?, $(grep -c "$welcome" "$work/long.out") Communication Tests," \
        "$(grep -c "$repower" "$work/long.out") writes, $(grep -c 'icon=critical' "$work/long.out") critical messages," \
        "$(grep -c '^refused' "$work/long.out") refused actions"
}

echo "one run over COM1, the cycle $cycles times in one script:"
start_emulator
: >"$work/long-com.script"
for i in $(seq "$cycles"); do
    printf 'click cmdCommunicate\ntab 2\nclick optSW2%s(3)\nclick cmd2\nclick cmd1\ntab 0\n' "$(state "$i")" \
        >>"$work/long-com.script"
done
long_run COM "$work/long-com.script" --com 1="$work/tty"
stop_emulator

echo "one run over TCP/IP, Communication Test and Read Settings $cycles times, then one write:"
start_emulator
{ tcp_lines
  for _ in $(seq "$cycles"); do printf 'click cmdCommunicate\ntab 2\nclick cmd1\ntab 0\n'; done
  printf 'tab 2\nclick optSW2OFF(3)\nclick cmd2\n'
} >"$work/long-tcp.script"
long_run TCP "$work/long-tcp.script"
stop_emulator
