#!/usr/bin/env bash
# Builds the Debian package into build/package/ and checks it: the control
# fields and declared dependencies, the files it holds, that apt can resolve
# it on this Debian release, and that its programs run once unpacked.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

out=$PWD/build/package
rm -rf "$out" && mkdir -p "$out"
(cd build && cpack -G DEB -B "$out" >/dev/null 2>"$out/cpack.err") || { cat "$out/cpack.err" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=$out/softswitch_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package.sh: no $deb" >&2; exit 1; }

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = softswitch ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version) is not the project's $version"
for name in Maintainer Section Description; do
  [ -n "$(field "$name")" ] || fail "no $name"
done
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 \
                  qt6-qpa-plugins; do
  grep -Fqx "$dependency" <<<"$names" || fail "Depends lacks $dependency: $depends"
done

listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in usr/bin/softswitch usr/bin/softswitch-script usr/bin/printer-emulator \
            usr/share/softswitch/KR_SW_Help.txt usr/share/applications/softswitch.desktop \
            usr/share/icons/hicolor/scalable/apps/softswitch.svg \
            usr/share/icons/hicolor/48x48/apps/softswitch.png usr/share/icons/hicolor/256x256/apps/softswitch.png \
            usr/lib/softswitch/usblp/libKR5050.so usr/lib/softswitch/emulated/libKR5050.so; do
  grep -qx "\./$path" <<<"$listing" || fail "the package lacks /$path"
done
# Nothing of the build or the tests comes along.
extra=$(grep -v -E '/$|^\./usr/(bin|share|lib/softswitch)/' <<<"$listing" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

# apt can satisfy every dependency from this release (a dry run: nothing is installed).
apt-get install --simulate -qq "$deb" >"$out/apt-simulate.txt" 2>&1 \
  || fail "apt cannot install it: $(tail -3 "$out/apt-simulate.txt")"

# Unpacked into a throwaway root, the programs start.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/softswitch.desktop" || fail "desktop entry"
grep -qx "Exec=/usr/bin/softswitch" "$root/usr/share/applications/softswitch.desktop" \
  || fail "desktop entry does not start /usr/bin/softswitch"
grep -qx "Path=/usr/lib/softswitch/usblp" "$root/usr/share/applications/softswitch.desktop" \
  || fail "desktop entry does not run in the usblp library's folder"
"$root/usr/bin/printer-emulator" --help >/dev/null || fail "printer-emulator --help"
shown=$(cd "$root/usr/lib/softswitch/emulated" \
  && printf 'pick Combo1 USB\nclick cmdCommunicate\ndump lblKR_INFO(0)\n' | "$root/usr/bin/softswitch-script" -) || true
grep -qx 'lblKR_INFO(0).Caption="KR-5050"' <<<"$shown" || fail "softswitch-script over the packaged emulated library: $shown"
(cd "$root" && QT_QPA_PLATFORM=offscreen "$root/usr/bin/softswitch" --screenshot "$root/window.png" >/dev/null 2>&1) \
  || fail "softswitch does not start"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of $deb failed" >&2
  exit 1
fi
echo "$deb"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends
