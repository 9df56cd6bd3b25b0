#!/usr/bin/env bash
# Regenerates the README's pictures of the window: the start screen and every
# tab after a Communication Test of a KR-5050 against the bundled emulator,
# drawn under a virtual X server; and the window with COM1 and with USB
# chosen and its Additional Soft_Switch tab, as the window test draws them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
out=docs/screenshots
mkdir -p "$out"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
SOFTSWITCH_BIN=$PWD/build/bin xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/window_bench --shots "$shots"
cp "$shots/start.png" "$out/start.png"
for tab in 0 1 2 3 4 5 6; do
  cp "$shots/KR-5050-tab$tab.png" "$out/tab$tab.png"
done
# The window with COM1 and with USB chosen, and the Additional Soft_Switch
# tab, from the window test that checks their geometry.
SOFTSWITCH_SHOTS=$PWD/$out xvfb-run -a -s "-screen 0 1280x1024x24" build/tests/test_windowview \
  --gtest_filter='*Geometry*' >/dev/null
echo "Pictures in $out"
