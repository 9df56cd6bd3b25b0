#!/usr/bin/env bash
# Builds the Debian package into build/package/ and checks it: the control
# fields and declared dependencies, the files it holds, lintian and the
# AppStream metadata, that apt can resolve it on this Debian release, and
# that its programs run once unpacked.
#
# The packaged programs are built in a tree of their own (build/package-build)
# with Debian's optimised, hardened flags (dpkg-buildflags with every hardening
# feature: fortified functions, bind-now), not the debug build the tests use.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

tree=build/package-build
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
# Level 3 checks buffers whose size is only known at run time too (the
# containers' and Qt's), where level 2 leaves most C++ calls unchecked.
CPPFLAGS="${CPPFLAGS/-D_FORTIFY_SOURCE=2/-D_FORTIFY_SOURCE=3}"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$tree" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE= \
  -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# Only what the package holds; the tests and benchmarks stay in build/.
cmake --build "$tree" -j2 --target softswitch softswitch-script printer-emulator softswitchctl KR5050_usblp KR5050_emulated \
  softswitch_icons softswitch_gzipped

out=$PWD/build/package
rm -rf "$out" && mkdir -p "$out"
(cd "$tree" && cpack -G DEB -B "$out" >/dev/null 2>"$out/cpack.err") || { cat "$out/cpack.err" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$tree/CMakeCache.txt")
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
for path in usr/bin/softswitch usr/bin/softswitch-script usr/bin/printer-emulator usr/bin/softswitchctl \
            usr/share/softswitch/KR_SW_Help.txt usr/share/applications/softswitch.desktop \
            usr/share/icons/hicolor/scalable/apps/softswitch.svg \
            usr/share/icons/hicolor/48x48/apps/softswitch.png usr/share/icons/hicolor/256x256/apps/softswitch.png \
            usr/lib/softswitch/usblp/libKR5050.so usr/lib/softswitch/emulated/libKR5050.so \
            usr/share/doc/softswitch/copyright usr/share/doc/softswitch/changelog.gz \
            usr/share/man/man1/softswitch.1.gz usr/share/man/man1/softswitch-script.1.gz \
            usr/share/man/man1/printer-emulator.1.gz usr/share/man/man1/softswitchctl.1.gz usr/share/metainfo/com.example.softswitch.metainfo.xml \
            usr/share/lintian/overrides/softswitch; do
  grep -qx "\./$path" <<<"$listing" || fail "the package lacks /$path"
done
# Nothing of the build or the tests comes along.
extra=$(grep -v -E '/$|^\./usr/(bin|share|lib/softswitch)/' <<<"$listing" || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

# lintian: nothing at the default level (errors, warnings), and none of the
# hardening or stripping tags it reports at the pedantic level. The package's
# overrides (packaging/lintian-overrides) say why each is there; the fortify
# one is backed by the flags check below.
lintian --pedantic --display-info --show-overrides "$deb" 2>&1 | grep -v '^running with root' >"$out/lintian.txt" || true
grep -E '^[EW]: ' "$out/lintian.txt" && fail "lintian reports errors or warnings (above)"
grep -E '^[IP]: .*(hardening-no-bindnow|hardening-no-fortify-functions|binary-has-unneeded-section|unstripped-binary)' \
  "$out/lintian.txt" && fail "lintian reports unhardened or unstripped binaries (above)"
grep -q -- '-D_FORTIFY_SOURCE=3' "$tree/build.ninja" || fail "the packaged programs are not built fortified"
# The top changelog entry is this version.
[ "$(zcat -f packaging/changelog | dpkg-parsechangelog -l- -SVersion)" = "$version" ] \
  || fail "packaging/changelog does not start with version $version"

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
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/com.example.softswitch.metainfo.xml" >"$out/appstream.txt" \
  || { cat "$out/appstream.txt"; fail "appstreamcli validate"; }
for program in softswitch softswitch-script printer-emulator; do
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version | grep -qx "$program $version" \
    || fail "$program --version without a display"
  env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --help >/dev/null || fail "$program --help"
done
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
echo "lintian --pedantic --display-info: $(grep -c . "$out/lintian.txt") line(s)"
sed 's/^/  /' "$out/lintian.txt"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends
