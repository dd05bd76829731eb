#!/usr/bin/env bash
# Serial lines for the communications control's tests, made with socat in the build
# tree's Wine prefix:
#   COM5 <-> COM6   two linked pseudo-terminals: the control drives COM5, the test COM6;
#   COM7 <-> TCP    a pseudo-terminal joined to a loopback listener whose port is written
#                   to DIR/tcp.port; when the test's connection closes, socat ends and
#                   COM7 is hung up: the far end is gone for good (one use per run).
# COM9 is left unmapped as a port that does not exist.
#   serial_line.sh start|stop DIR BUILD_DIR
set -euo pipefail
action="$1"; dir="$2"; export PORTLEX_BUILD="$3"
prefix="$PORTLEX_BUILD/wineprefix"

stop_socat() {  # NAME
  local pidfile="$dir/$1.pid"
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  fi
}

wait_for() {  # SECONDS TEST...: polls the test every 0.1 s
  local tries=$(( $1 * 10 )); shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  "$@"
}

start_socat() {  # NAME ADDRESS1 ADDRESS2; detached from ctest's pipes so ctest does not wait
  nohup socat -d -d "$2" "$3" >"$dir/$1.log" 2>&1 </dev/null &
  echo $! >"$dir/$1.pid"
}

case "$action" in
start)
  # The prefix must exist before its dosdevices links are written.
  source "$(dirname "$0")/../../tools/wine-env.sh"
  mkdir -p "$dir" "$prefix/dosdevices"
  stop_socat pair; stop_socat tcp
  rm -f "$dir/ttyA" "$dir/ttyB" "$dir/ttyC" "$dir/tcp.port"

  start_socat pair "pty,raw,echo=0,link=$dir/ttyA" "pty,raw,echo=0,link=$dir/ttyB"
  start_socat tcp "pty,raw,echo=0,link=$dir/ttyC" "TCP-LISTEN:0,bind=127.0.0.1"
  wait_for 5 grep -q "starting data transfer loop" "$dir/pair.log" ||
    { echo "socat made no linked pseudo-terminals:"; cat "$dir/pair.log"; exit 1; }
  wait_for 5 grep -q "listening on" "$dir/tcp.log" ||
    { echo "socat does not listen:"; cat "$dir/tcp.log"; exit 1; }
  [ -e "$dir/ttyA" ] && [ -e "$dir/ttyB" ] && [ -e "$dir/ttyC" ] || { echo "pseudo-terminal links missing"; exit 1; }
  sed -n 's/.*listening on .*:\([0-9][0-9]*\)$/\1/p' "$dir/tcp.log" | head -n 1 >"$dir/tcp.port"
  [ -s "$dir/tcp.port" ] || { echo "no port in socat's log:"; cat "$dir/tcp.log"; exit 1; }

  ln -sfn "$dir/ttyA" "$prefix/dosdevices/com5"
  ln -sfn "$dir/ttyB" "$prefix/dosdevices/com6"
  ln -sfn "$dir/ttyC" "$prefix/dosdevices/com7"
  rm -f "$prefix/dosdevices/com9"
  echo "COM5 <-> COM6 ready (socat $(cat "$dir/pair.pid")); COM7 <-> 127.0.0.1:$(cat "$dir/tcp.port") (socat $(cat "$dir/tcp.pid"))"
  ;;
stop)
  stop_socat pair; stop_socat tcp
  rm -f "$prefix/dosdevices/com5" "$prefix/dosdevices/com6" "$prefix/dosdevices/com7" "$dir/tcp.port"
  echo "serial lines removed"
  ;;
*)
  echo "usage: $0 start|stop DIR BUILD_DIR"; exit 2 ;;
esac
