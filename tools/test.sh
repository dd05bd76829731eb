#!/usr/bin/env bash
# Builds everything and runs every test under Wine. Usage: tools/test.sh [ctest args...]
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${PORTLEX_BUILD:-$top/build}"
bash "$top/tools/bootstrap.sh"
cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
export PORTLEX_BUILD="$build"
source "$top/tools/wine-env.sh"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
ctest --test-dir "$build" --output-on-failure --timeout 300 -j2 "$@"
