#!/usr/bin/env bash
# Writes the fault matrix: one case per printer fault, link and flow (the
# test flow alone for the faults in test_only), each with the outcome the
# utility must show. Run it after changing the matrix, write each new case's
# expected output from the outcome at its top, then run the e2e test
# (SOFTSWITCH_UPDATE_CASES=1 only as a review aid, every line checked).
set -euo pipefail
cd "$(dirname "$0")"

printer="--set model=KR-5050 --set sw2=5 --set sw4=128"
# KR-5050 with switch 4 bit 8 OFF: the Communication Test sends 18 queries.
queries=18

declare -A link_script=(
  [tcp]=$'pick Combo1 TCP/IP\ntype tcpIP 127.0.0.1\ntype tcpListenPort @TCPPORT@'
  [com]='pick Combo1 COM1'
  [usb]='pick Combo1 USB'
)
declare -A flow_script=(
  [test]=''
  [read]=$'tab 2\nclick cmd1\ndump optSW2OFF txtLOG SettingsChanged'
  [write]=$'tab 2\nclick optSW2OFF(7)\nclick cmd2\ndump SettingsChanged'
)
# What each flow's fault does to that flow; "fault|option|outcome".
faults=(
  "silent|test:--no-reply hours;read:--no-reply sw2;write:--no-reply sw2|The query gets no reply. Test: the information message for the hours and the rest of the counters skipped; the window reaches its working state. Read: an empty switch reply reads as 0 (all ON) and is logged. Write: a write reads no reply, so it is sent as on a healthy printer."
  "late|--reply-delay 200|Every reply comes 200 ms after its query. TCP waits up to 1000 polls, so everything is answered. A serial port looks once after 30 ms and USB after 70 ms: the maker query finds nothing and the test stops at the maker message; Read and Write Settings are then out of reach."
  "split|--split-reply 3 --split-gap 100|Every reply comes in pieces of 3 bytes, 100 ms apart (on USB one piece a read). TCP takes what has come at its first poll, a serial port what came within 30 ms, USB two pieces: the maker word is cut and the test stops at the maker message."
  "garbage|--garbage FF41|Two bytes come before every reply. TCP and the serial port keep what comes before the first \"_\", so every value carries them: the maker word is still found, the model name is unknown and no switch is read. The USB reply starts at the \"_\", so USB reads the printer as if healthy."
  "dropped|test:--drop-after 5;read:--drop-after $queries;write:--drop-after $queries|The printer drops the line after some commands. TCP: every later command is refused with the socket state, and a query is left with its mode letter \"R\" as reply. Serial and USB: later queries get no reply. A write reads no reply and shows the re-power message; over TCP it ends the program."
  "retry-mark|--first-model-reply ;1|The first model-name reply begins with \";1\": the name is asked once more, both replies are logged and the test goes on as on a healthy printer."
)

# A fault that ends Read and Write Settings the way it ends the Communication
# Test, or lets every flow run as on a healthy printer, gets the test case only.
declare -A test_only=([late]=1 [split]=1 [retry-mark]=1)

# A printer that stops taking bytes once the Communication Test is done (its
# pseudo-terminal's output stopped, as XOFF stops it): "[output-stops] N".
link_script[lpt]='pick Combo1 LPT1'
declare -A stalled_flow=(
  [write]=$'tab 2\nclick optSW2OFF(7)\nclick cmd2\ndump SettingsChanged cmd2 ActiveControl'
  [fonts]=$'click cmd02\ndump cmd02 ActiveControl'
)
stalled_outcome="After the Communication Test the printer takes no more bytes. \
Write: nothing of it goes out (no setting after the failed unlock, no lock); one stop message names \
it and asks for a re-power and a new read; the change stays pending. Fonts Test: one stop message, \
nothing of it goes out."
for link in com lpt; do
  for flow in write fonts; do
    {
      echo "Fault \"stalled\" on $link during the $flow flow (output stops after $queries commands)."
      echo "$stalled_outcome" | fold -s -w 78 | sed 's/ *$//'
      echo "[emulator] $printer"
      echo "[output-stops] $queries"
      echo "[script]"
      echo "${link_script[$link]}"
      echo "click cmdCommunicate"
      echo "dump SSTab1 MakerString"
      echo "wait 1000"
      echo "${stalled_flow[$flow]}"
      echo "[output]"
      echo "[transcript]"
    } >"stalled-$link-$flow.case"
  done
done

for entry in "${faults[@]}"; do
  IFS='|' read -r fault options outcome <<<"$entry"
  for link in tcp com usb; do
    for flow in test read write; do
      [[ -n ${test_only[$fault]:-} && $flow != test ]] && continue
      option=$options
      if [[ $options == *"$flow:"* ]]; then
        option=${options#*"$flow:"}
        option=${option%%;*}
      fi
      # The transport library hands out one piece a read: it has no gap.
      [[ $link == usb ]] && option=$(sed 's/ --split-gap [0-9]*//' <<<"$option")
      {
        echo "Fault \"$fault\" on $link during the $flow flow ($option)."
        echo "$outcome" | fold -s -w 78 | sed 's/ *$//'
        echo "[emulator] $printer $option"
        echo "[script]"
        echo "${link_script[$link]}"
        echo "click cmdCommunicate"
        echo "dump lblKR_INFO(0) lblKR_INFO(2) lblKR_INFO(3) SSTab1 MakerString"
        [[ -n ${flow_script[$flow]} ]] && echo "${flow_script[$flow]}"
        echo "[output]"
        echo "[transcript]"
      } >"$fault-$link-$flow.case"
    done
  done
done
