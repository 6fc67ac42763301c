# Sourced: a private, quiet Wine prefix under the build folder, a virtual
# X display and a persistent wineserver, all stopped again by wine_env_stop.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
_xvfb_pid=""

wine_env_start() {
  if [ -z "${DISPLAY:-}" ] || [ "${CORVELLE_XVFB:-}" = 1 ]; then
    local n=$(( 90 + RANDOM % 400 ))
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    _xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/.corvelle-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # A virtual desktop gives windows captions and a quick exit without a
    # window manager; caption buttons need the Marlett font.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1 || true
    if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # A crash ends the process at once instead of waiting on Wine's crash
    # dialog, so a test or a driver sees it as the crash it is.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.corvelle-ready"
  fi
  wineserver -p
  # Start Wine's services now, detached from any output pipe: started by the
  # first test process they would inherit its pipe and keep ctest waiting.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$_xvfb_pid" ]; then kill "$_xvfb_pid" >/dev/null 2>&1 || true; fi
}
