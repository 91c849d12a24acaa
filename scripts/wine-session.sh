#!/usr/bin/env bash
# Starts or stops the long-lived Wine process of a Windows build tree.
#   wine-session.sh start BUILD_DIR [PREFIX_NAME]  -> prints the process id
#   wine-session.sh stop BUILD_DIR PID [PREFIX_NAME]
# The prefix is BUILD_DIR/wineprefix unless named.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
action=$1 build=$2
[[ "$action" == start ]] && prefix=${3:-wineprefix} || prefix=${4:-wineprefix}
export WINEPREFIX="$build/$prefix" WINEARCH=win64 WINEDEBUG=-all
case "$action" in
start)
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    # Creating a prefix takes 10-15 s; once per build tree.
    WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    # Caption buttons and dialogs draw properly only with the fonts in the prefix.
    if [[ -d /usr/share/wine/fonts ]]; then
      cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
  fi
  # The keystroke player's tests activate windows of other processes: under a
  # bare X server that settles only when Wine manages their windows itself.
  appkey='HKCU\Software\Wine\AppDefaults\keys_wine_gui_tests.exe\X11 Driver'
  if ! grep -qF '[Software\\Wine\\AppDefaults\\keys_wine_gui_tests.exe\\X11 Driver]' "$WINEPREFIX/user.reg"; then
    /usr/lib/wine/wine64 reg add "$appkey" /v Managed /d N /f </dev/null >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  setsid "$here/wine-run.sh" "$build/tests/harness/QvIdle.exe" </dev/null >/dev/null 2>&1 &
  idle=$!
  # Returns once the prefix's services answer, so the first test does not
  # race their start.
  "$here/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1
  echo "$idle"
  ;;
stop)
  kill "$3" 2>/dev/null
  /usr/lib/wine/wineserver -k 2>/dev/null
  /usr/lib/wine/wineserver -w 2>/dev/null
  ;;
esac
