# Sourced: points Wine at the build tree's own 32-bit prefix and makes sure an X
# display and a warm wineserver exist. PORTLEX_BUILD names the build tree; the
# prefix lives inside it, never in the user's home.
: "${PORTLEX_BUILD:?PORTLEX_BUILD must name the build tree}"
export WINEPREFIX="$PORTLEX_BUILD/wineprefix"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# A display is usable when an X server answers on it; a socket left by a server that
# is gone (a previous run was killed) does not count.
portlex_display_up() { xdpyinfo -display "$1" >/dev/null 2>&1; }

# An Xvfb of our own when no display was given; shared by all programs of the run.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:77
  (
    flock 9
    if ! portlex_display_up "$DISPLAY"; then
      rm -f "/tmp/.X11-unix/X${DISPLAY#:}" "/tmp/.X${DISPLAY#:}-lock"
      nohup Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 9>&- &
      for _ in $(seq 100); do portlex_display_up "$DISPLAY" && break; sleep 0.1; done
    fi
  ) 9>"/tmp/portlex-xvfb.lock"
fi

# Make the prefix once (wineboot) and keep the server alive between test programs.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 9>&- || true
    # No window manager runs on Xvfb: unmanaged windows spare every hidden or closed
    # window Wine's two-second wait for a window manager's answer.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&- || true
  fi
  # Wine's own bitmap fonts ("MS Sans Serif", "Small Fonts") that the dialogs and the
  # terminal window use: Wine does not find them in this layout unless they are linked in.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/sserife.fon" ]; then
    mkdir -p "$fonts"
    ln -sf /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  fi
  wineserver -p 120 >/dev/null 2>&1 9>&- || true
  # The first program starts Wine's helper processes; they must not inherit a
  # caller's pipe (ctest would wait for them), so start them here on /dev/null.
  wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
) 9>"$PORTLEX_BUILD/.wineprefix.lock"
