#!/usr/bin/env bash
# Runs one script under Wine's script host. Wine's host hides script errors (the script
# just stops, exit 0), so the script must print its own closing "N passed, 0 failed" line.
# Usage: run_script.sh BUILD SCRIPT
set -uo pipefail
export PORTLEX_BUILD="$1"
source "$(dirname "$0")/../../tools/wine-env.sh"
out="$(timeout 120 wine cscript //nologo "$(winepath -w "$2")" 2>&1 | tr -d '\r')"
echo "$out"
last="$(printf '%s\n' "$out" | grep -E '^[0-9]+ passed, [0-9]+ failed' | tail -1)"
[ -n "$last" ] || { echo "script did not finish"; exit 1; }
case "$last" in *" 0 failed"*) exit 0 ;; *) exit 1 ;; esac
