#!/bin/sh
# Cap32.dll exports exactly the nine functions, each of which removes its own
# arguments (ret with the size of its arguments).
set -eu
dll="$1"
expected="_cap_connectps _cap_disconect _cap_initconn _cap_inituser _cap_prockeys _cap_receive _cap_setpsstate _cap_termconn _cap_termuser"
actual=$(i686-w64-mingw32-objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
         awk '/\[ *[0-9]+\]/ {print $3}' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "exports: expected '$expected', got '$actual'"
  exit 1
fi
pops=$(i686-w64-mingw32-objdump -d "$dll" |
       awk '/<__cap_[a-z]+@[0-9]+>:/ {name=$2; next} name && /\tret/ {print name, $NF; name=""}')
bad=0
for entry in "_cap_inituser@8 \$0x8" "_cap_connectps@8 \$0x8" "_cap_initconn@12 \$0xc" \
             "_cap_setpsstate@12 \$0xc" "_cap_receive@16 \$0x10" "_cap_prockeys@12 \$0xc" \
             "_cap_termconn@8 \$0x8" "_cap_disconect@8 \$0x8" "_cap_termuser@4 \$0x4"; do
  set -- $entry
  if ! printf '%s\n' "$pops" | grep -qF "<_$1>: $2"; then
    echo "$1 does not return with ret $2"
    bad=1
  fi
done
[ $bad -eq 0 ] && echo "9 exports, each removes its own arguments"
exit $bad
