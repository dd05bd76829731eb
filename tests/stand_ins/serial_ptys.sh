#!/bin/sh
# Serial line pair for tests: socat joins two pseudo-terminals and the build's
# Wine prefix maps them as COM41 and COM42, so a test program can drive one end
# of a serial line through a stand-in and the other end itself.
#   serial_ptys.sh start|stop <work folder> <wine prefix>
set -eu
action="$1"; dir="$2"; prefix="$3"
case "$action" in
start)
  mkdir -p "$dir" "$prefix/dosdevices"
  if [ -f "$dir/socat.pid" ] && kill -0 "$(cat "$dir/socat.pid")" 2>/dev/null; then
    kill "$(cat "$dir/socat.pid")" || true
  fi
  rm -f "$dir/ttyA" "$dir/ttyB"
  # Detached from ctest's pipes, so that ctest does not wait for it.
  nohup socat pty,raw,echo=0,link="$dir/ttyA" pty,raw,echo=0,link="$dir/ttyB" \
        >"$dir/socat.log" 2>&1 </dev/null &
  echo $! >"$dir/socat.pid"
  for _ in $(seq 50); do
    [ -e "$dir/ttyA" ] && [ -e "$dir/ttyB" ] && break
    sleep 0.1
  done
  [ -e "$dir/ttyA" ] && [ -e "$dir/ttyB" ] || { echo "socat made no pseudo-terminals"; cat "$dir/socat.log"; exit 1; }
  ln -sfn "$dir/ttyA" "$prefix/dosdevices/com41"
  ln -sfn "$dir/ttyB" "$prefix/dosdevices/com42"
  echo "COM41 <-> COM42 ready"
  ;;
stop)
  if [ -f "$dir/socat.pid" ]; then
    kill "$(cat "$dir/socat.pid")" 2>/dev/null || true
    rm -f "$dir/socat.pid"
  fi
  rm -f "$prefix/dosdevices/com41" "$prefix/dosdevices/com42"
  echo "COM41 and COM42 removed"
  ;;
*)
  echo "usage: $0 start|stop <work folder> <wine prefix>"; exit 2 ;;
esac
