#!/usr/bin/env bash
# Registers the given modules with regsvr32 in the build tree's Wine prefix.
# Usage: register.sh BUILD MODULE...
set -euo pipefail
export PORTLEX_BUILD="$1"; shift
source "$(dirname "$0")/../../tools/wine-env.sh"
for module in "$@"; do
  wine regsvr32 /s "$module" || { echo "regsvr32 $module failed: $?"; exit 1; }
done
echo "registered $#"
