#!/usr/bin/env bash
# Registers each module, reads its keys back, unregisters it and checks that they are gone,
# in a Wine prefix of its own. Usage: roundtrip.sh PREFIX_DIR SOURCE_DIR MODULE...
set -uo pipefail
export PORTLEX_BUILD="$1"; src="$2"; shift 2
mkdir -p "$PORTLEX_BUILD"
source "$src/tools/wine-env.sh"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
key_value() { wine reg query "$1" ${2:+/v "$2"} 2>/dev/null | tr -d '\r' | awk -v n="${2:-(Default)}" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
expect() {  # KEY VALUE_NAME EXPECTED
  local got; got="$(key_value "$1" "$2")"
  [ "$got" = "$3" ] || fail "$1 [$2]: expected '$3', got '$got'"
}
expect_gone() { wine reg query "$1" >/dev/null 2>&1 && fail "$1 still present after unregistering"; }

check_textpane() {
  local c='HKCR\CLSID\{16C17BC4-2508-11D1-A95C-00805F6CFD10}'
  local p='HKCR\CLSID\{16C17BC5-2508-11D1-A95C-00805F6CFD10}'
  expect "$c" "" "Textpane ActiveX"
  expect "$c\\ProgID" "" "Textpane.TextpaneCtrl.10"
  expect "$c\\InprocServer32" "ThreadingModel" "Apartment"
  expect "$c\\MiscStatus\\1" "" "131473"
  expect "$c\\TypeLib" "" "{16C17BC1-2508-11D1-A95C-00805F6CFD10}"
  expect "$c\\Version" "" "1.0"
  wine reg query "$c\\Control" >/dev/null 2>&1 || fail "Control key missing"
  wine reg query "$c\\Insertable" >/dev/null 2>&1 && fail "Textpane must not be insertable"
  expect 'HKCR\Textpane.TextpaneCtrl.10\CLSID' "" "{16C17BC4-2508-11D1-A95C-00805F6CFD10}"
  expect "$p" "" "Textpane Property Page"
  expect "$p\\ProgID" "" "Textpane.TextpanePropPage.10"
  expect 'HKCR\TypeLib\{16C17BC1-2508-11D1-A95C-00805F6CFD10}\1.0' "" "Textpane OLE Control module"
}
gone_textpane() {
  expect_gone 'HKCR\CLSID\{16C17BC4-2508-11D1-A95C-00805F6CFD10}'
  expect_gone 'HKCR\CLSID\{16C17BC5-2508-11D1-A95C-00805F6CFD10}'
  expect_gone 'HKCR\Textpane.TextpaneCtrl.10'
  expect_gone 'HKCR\Textpane.TextpanePropPage.10'
  expect_gone 'HKCR\TypeLib\{16C17BC1-2508-11D1-A95C-00805F6CFD10}\1.0'
}

check_portlex() {
  local c='HKCR\CLSID\{59F1F327-5523-11D1-A95D-00805F6CFD10}'
  expect "$c" "" "Portlex Control"
  expect "$c\\ProgID" "" "PORTLEX.PortlexCtrl.1"
  expect "$c\\InprocServer32" "ThreadingModel" "Apartment"
  expect "$c\\MiscStatus\\1" "" "131473"
  expect "$c\\TypeLib" "" "{59F1F324-5523-11D1-A95D-00805F6CFD10}"
  expect "$c\\Version" "" "3.4"
  wine reg query "$c\\Control" >/dev/null 2>&1 || fail "Control key missing"
  wine reg query "$c\\Insertable" >/dev/null 2>&1 || fail "Insertable key missing"
  wine reg query "$c\\ToolboxBitmap32" >/dev/null 2>&1 || fail "ToolboxBitmap32 key missing"
  expect 'HKCR\PORTLEX.PortlexCtrl.1\CLSID' "" "{59F1F327-5523-11D1-A95D-00805F6CFD10}"
  expect 'HKCR\TypeLib\{59F1F324-5523-11D1-A95D-00805F6CFD10}\3.4' "" "Portlex ActiveX Control module"
}
gone_portlex() {
  expect_gone 'HKCR\CLSID\{59F1F327-5523-11D1-A95D-00805F6CFD10}'
  expect_gone 'HKCR\PORTLEX.PortlexCtrl.1'
  expect_gone 'HKCR\TypeLib\{59F1F324-5523-11D1-A95D-00805F6CFD10}\3.4'
}

check_mscomm32() {
  local c='HKCR\CLSID\{648A5600-2C6E-101B-82B6-000000000014}'
  expect "$c" "" "Serial Communications Control"
  expect "$c\\ProgID" "" "MSCOMMLib.MSComm.1"
  expect "$c\\InprocServer32" "ThreadingModel" "Apartment"
  expect "$c\\MiscStatus\\1" "" "132497"
  expect "$c\\TypeLib" "" "{40FC7F1D-288C-4E92-BF2C-B6667524FAE3}"
  expect "$c\\Version" "" "1.0"
  wine reg query "$c\\Control" >/dev/null 2>&1 || fail "Control key missing"
  wine reg query "$c\\Insertable" >/dev/null 2>&1 && fail "MSComm must not be insertable"
  expect 'HKCR\MSCOMMLib.MSComm.1\CLSID' "" "{648A5600-2C6E-101B-82B6-000000000014}"
  expect 'HKCR\TypeLib\{40FC7F1D-288C-4E92-BF2C-B6667524FAE3}\1.0' "" "Serial Communications Control module"
}
gone_mscomm32() {
  expect_gone 'HKCR\CLSID\{648A5600-2C6E-101B-82B6-000000000014}'
  expect_gone 'HKCR\MSCOMMLib.MSComm.1'
  expect_gone 'HKCR\TypeLib\{40FC7F1D-288C-4E92-BF2C-B6667524FAE3}\1.0'
}

for module in "$@"; do
  name="$(basename "$module" | tr 'A-Z' 'a-z')"
  name="${name%.*}"
  wine regsvr32 /s "$module" || fail "regsvr32 $module returned $?"
  "check_$name"
  wine regsvr32 /s /u "$module" || fail "regsvr32 /u $module returned $?"
  "gone_$name"
done
wineserver -k >/dev/null 2>&1 || true
echo "$((failures == 0 ? 1 : 0)) passed, $failures failed"
[ "$failures" -eq 0 ]
