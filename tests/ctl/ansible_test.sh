#!/usr/bin/env bash
# The example playbook run with -c local against emulators on loopback: the
# first run writes the printer that differs and reports "changed", the second
# finds every printer matching and changes nothing.
set -euo pipefail
bin=$(cd "$1" && pwd)
playbook_dir=$2
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

net="127.$((20 + $$ % 200)).$((1 + ($$ / 200) % 250))"
start() { # start HOST SET... ; the printer's address in the variable address_HOST
  local host=$1; shift
  local sets=()
  for set in "$@"; do sets+=(--set "$set"); done
  "$bin/printer-emulator" --tcp "$net.$host:0" "${sets[@]}" --set new8x16=on > "$work/ready-$host" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    grep -q listening "$work/ready-$host" 2>/dev/null && break
    sleep 0.05
  done
  printf -v "address_$host" '%s' "$(sed -n 's/^listening tcp //p' "$work/ready-$host")"
}
start 2 sw2=3
start 3 sw2=3
start 4 sw2=0
reference=$address_2 matching=$address_3 differing=$address_4

"$bin/softswitchctl" save "tcp:$reference" "$work/profile.json" > /dev/null
cat > "$work/inventory.ini" <<INVENTORY
[stores]
store-001 ansible_connection=local ansible_python_interpreter=$(command -v python3) printers='["tcp:$matching", "tcp:$differing"]'
INVENTORY

play() {
  ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCAL_TEMP="$work/ansible" ANSIBLE_HOME="$work/ansible" \
    ansible-playbook -c local -i "$work/inventory.ini" "$playbook_dir/softswitch.yml" \
    -e "softswitchctl=$bin/softswitchctl profile=$work/profile.json profile_on_host=$work/on-host.json"
}

first=$(play) || true
echo "$first"
grep -A1 "TASK \[Apply" <<< "$first" | grep -q "changed: \[store-001\]" || { echo "FAIL: apply reported no change"; exit 1; }
grep -q "tcp:$differing: written and confirmed" <<< "$first" || { echo "FAIL: the differing printer was not written"; exit 1; }

second=$(play) || true
echo "$second"
# The copy is unchanged and the printers match: nothing changes.
grep -Eq "store-001 *: ok=[0-9]+ +changed=0 .*failed=0" <<< "$second" || { echo "FAIL: the second run changed something"; exit 1; }
echo "ok"
