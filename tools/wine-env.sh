# Sourced by the build, demo and test scripts: one Wine prefix and one private
# Xvfb display for this checkout, with code page 932, Japanese fonts and
# Wine-drawn window frames. Creates what is missing; starts nothing twice.
#
#   . tools/wine-env.sh        sets WINEPREFIX, DISPLAY, LANG, LC_ALL, LOCPATH, WINE64, WINE32
#   wine_env_up                creates the prefix and starts Xvfb if needed
#   wine_env_keep_desktop EXE  keeps Wine's desktop open with that program
#   wine_env_down              stops the prefix's wineserver (and so its programs) and the Xvfb it started

_wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${POKO_STATE_DIR:=$_wine_env_root/.wine-state}"
export WINEPREFIX="$POKO_STATE_DIR/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export LOCPATH="$POKO_STATE_DIR/locale"
export WINE64=/usr/lib/wine/wine64 WINE32=/usr/lib/wine/wine
: "${POKO_DISPLAY_NUM:=$(( 90 + $(printf "%s" "$POKO_STATE_DIR" | cksum | awk "{print \$1 % 400}") ))}"
_wine_env_xvfb_pidfile="$POKO_STATE_DIR/xvfb.pid"

_wine_env_fonts_reg() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
}

_wine_env_xvfb() {
  if [ -n "${POKO_USE_DISPLAY:-}" ]; then export DISPLAY="$POKO_USE_DISPLAY"; return; fi
  export DISPLAY=":$POKO_DISPLAY_NUM"
  if [ -f "$_wine_env_xvfb_pidfile" ] && kill -0 "$(cat "$_wine_env_xvfb_pidfile")" 2>/dev/null; then return; fi
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$POKO_STATE_DIR/xvfb.log" 2>&1 &
  echo $! >"$_wine_env_xvfb_pidfile"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$POKO_DISPLAY_NUM" ] && break; sleep 0.1; done
}

wine_env_up() {
  mkdir -p "$POKO_STATE_DIR"
  if [ ! -f "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || true
  fi
  _wine_env_xvfb
  if [ ! -f "$WINEPREFIX/.poko-ready" ]; then
    echo "wine-env: creating the Wine prefix in $WINEPREFIX (about 2 minutes)" >&2
    "$WINE64" wineboot -i </dev/null >"$POKO_STATE_DIR/wineboot.log" 2>&1
    _wine_env_fonts_reg >"$POKO_STATE_DIR/settings.reg"
    "$WINE64" regedit /S "$POKO_STATE_DIR/settings.reg" </dev/null >>"$POKO_STATE_DIR/wineboot.log" 2>&1
    /usr/lib/wine/wineserver -w
    if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then touch "$WINEPREFIX/.poko-ready"; else
      echo "wine-env: the prefix has no syswow64: is the qemu-i386 binfmt rule registered?" >&2; return 1; fi
  fi
  # A persistent wineserver spares every test program its start (about 3 s each).
  # Its background services start here, with no pipe of a caller to inherit.
  if ! _wine_env_server_running; then
    /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
    "$WINE64" wineboot </dev/null >/dev/null 2>&1 || true
  fi
  wine_env_keep_desktop "$_wine_env_root/build64/desktop_keeper.exe"
}

# Whether a wineserver of this prefix runs: it listens on a socket in a folder
# named for the prefix's device and inode (under /tmp/wine-* on Debian).
_wine_env_server_running() {
  local name s
  name=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for s in /tmp/wine-*/"$name"/socket /tmp/.wine-"$(id -u)"/"$name"/socket; do
    [ -S "$s" ] && return 0
  done
  return 1
}

# Starts the desktop keeper (a program of the build) unless it already runs.
wine_env_keep_desktop() {
  local pidfile="$POKO_STATE_DIR/keeper.pid"
  [ -f "$1" ] || return 0
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then return 0; fi
  "$WINE64" "$1" </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
}

wine_env_down() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -f "$POKO_STATE_DIR/keeper.pid"
  if [ -f "$_wine_env_xvfb_pidfile" ]; then
    kill "$(cat "$_wine_env_xvfb_pidfile")" 2>/dev/null || true
    rm -f "$_wine_env_xvfb_pidfile"
  fi
}
