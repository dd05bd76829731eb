#!/usr/bin/env bash
# Builds the controls and the demo, registers Textpane.ocx and Portlex.ocx in the build tree's
# Wine prefix and shows them in one window with some text written into Textpane. The
# screenshot goes to <build>/demo.bmp, and to <build>/demo.png when convert can make one.
# Usage: tools/demo.sh [seconds on screen, default 3]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PORTLEX_BUILD:-$top/build}"
seconds="${1:-3}"
bash "$top/tools/bootstrap.sh"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target Textpane Portlex portlex_demo
export PORTLEX_BUILD="$build"
source "$top/tools/wine-env.sh"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

for module in Textpane.ocx Portlex.ocx; do
  wine regsvr32 /s "$build/bin/$module" || { echo "demo: registering $module failed" >&2; exit 1; }
done

shot="$build/demo.bmp"
rm -f "$shot" "$build/demo.png"
wine "$build/bin/portlex_demo.exe" "$(winepath -w "$shot")" "$seconds"
[ -s "$shot" ] || { echo "demo: no screenshot was written" >&2; exit 1; }
echo "demo: $shot"
if command -v convert >/dev/null 2>&1; then
  if convert "$shot" "$build/demo.png" >/dev/null 2>&1 && [ -s "$build/demo.png" ]; then
    echo "demo: $build/demo.png"
  else
    rm -f "$build/demo.png"
    echo "demo: convert could not make a PNG; the BMP is there"
  fi
fi
