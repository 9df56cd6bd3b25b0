#!/usr/bin/env bash
# check_install.sh BUILD SOURCE: installs BUILD into a temporary prefix and
# checks the files a desktop and a technician look for, then starts the
# installed programs as the menu entry does, away from the build tree.
set -uo pipefail
build=$1 source=$2
prefix=$(mktemp -d)
emulator_pid=""
cleanup() {
  [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null && wait "$emulator_pid" 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix/usr" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
usr=$prefix/usr

for program in softswitch softswitch-script printer-emulator; do
  [ -x "$usr/bin/$program" ] || fail "bin/$program is not an installed program"
done
cmp -s "$source/KR_SW_Help.txt" "$usr/share/softswitch/KR_SW_Help.txt" || fail "share/softswitch/KR_SW_Help.txt"
for kind in usblp emulated; do
  nm -D --defined-only "$usr/lib/softswitch/$kind/libKR5050.so" 2>/dev/null | grep -qw sendx \
    || fail "lib/softswitch/$kind/libKR5050.so does not export sendx"
done
cmp -s "$source/packaging/softswitch.svg" "$usr/share/icons/hicolor/scalable/apps/softswitch.svg" \
  || fail "scalable icon"
for size in 48 256; do
  file "$usr/share/icons/hicolor/${size}x${size}/apps/softswitch.png" | grep -q "PNG image data, $size x $size," \
    || fail "${size}x${size} icon is not a $size x $size PNG"
done

# The command lines a technician tries first, without a display: exit code,
# and a word the output must hold (--help on standard output).
version=$(sed -n 's/^project(softswitch VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
while IFS='|' read -r command code word; do
  output=$(cd "$prefix" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/"$command 2>/dev/null)
  status=$?
  [ "$status" = "$code" ] || fail "$command exits $status, not $code"
  grep -qF -- "$word" <<<"$output" || fail "$command does not print \"$word\""
done <<ROWS
softswitch --version|0|softswitch $version
softswitch --help|0|--screenshot FILE
softswitch --no-such-option|2|
softswitch-script --version|0|softswitch-script $version
softswitch-script --help|0|--list-controls
softswitch-script --list-controls|0|optSW1ON(0) option
softswitch-script|2|
printer-emulator --version|0|printer-emulator $version
printer-emulator --help|0|--transcript FILE
printer-emulator --no-such-option|2|
ROWS
for program in softswitch softswitch-script printer-emulator; do
  page=$usr/share/man/man1/$program.1.gz
  zcat "$page" 2>/dev/null | grep -q "^\.TH" || fail "no manual page $page"
done
[ -f "$usr/share/doc/softswitch/copyright" ] || fail "no share/doc/softswitch/copyright"
[ -f "$usr/share/metainfo/com.example.softswitch.metainfo.xml" ] || fail "no AppStream metainfo"

desktop=$usr/share/applications/softswitch.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
path_line=$(sed -n 's/^Path=//p' "$desktop")
[ "$exec_line" = "$usr/bin/softswitch" ] || fail "Exec=$exec_line is not the installed window"
[ "$path_line" = "$usr/lib/softswitch/usblp" ] || fail "Path=$path_line is not the usblp library's folder"
grep -qx "Icon=softswitch" "$desktop" || fail "Icon is not the installed icon's name"

# The window starts from the menu entry's folder and paints (no build tree in reach).
export QT_QPA_PLATFORM=offscreen
(cd "$path_line" && "$exec_line" --screenshot "$prefix/window.png" >/dev/null) || fail "installed window does not start"
file "$prefix/window.png" 2>/dev/null | grep -q "PNG image data" || fail "installed window painted nothing"

# USB from the menu entry's folder reaches a printer through the installed
# usblp library; the installed emulator's pseudo-terminal stands in for /dev/usb/lp0.
"$usr/bin/printer-emulator" --tcp 127.0.0.1:0 --pty "$prefix/ttyPRINTER" >"$prefix/emulator.out" 2>&1 &
emulator_pid=$!
for _ in $(seq 100); do
  grep -q '^listening pty' "$prefix/emulator.out" 2>/dev/null && break
  sleep 0.1
done
shown=$(cd "$path_line" && printf 'pick Combo1 USB\nclick cmdCommunicate\ndump lblKR_INFO(0)\n' \
  | KR5050_DEVICE="$prefix/ttyPRINTER" "$usr/bin/softswitch-script" -)
grep -qx 'lblKR_INFO(0).Caption="KR-5050"' <<<"$shown" \
  || fail "USB through the installed usblp library did not read the printer: $shown"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the installed tree failed"
  exit 1
fi
echo "installed tree in order"
