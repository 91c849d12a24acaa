#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher under Wine: on
# the current X display, or on a virtual one when there is none. The program
# runs inside a Wine desktop window whose taskbar shows the tray icon.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"

"$here/setup.sh"
build_logged build_all || exit 1

xvfb_pid=
if [[ -z "${DISPLAY:-}" ]]; then
  start_xvfb || { log "Xvfb did not start"; exit 1; }
  # The virtual display goes with this script, however it ends; Wine's
  # windows on it end with it.
  trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
  trap 'exit 130' INT TERM
  log "no display: started a virtual one, DISPLAY=$DISPLAY (screenshot: import -window root shot.png)"
fi

export WINEPREFIX="$QV_BUILD/windows/wineprefix" WINEARCH=win64 WINEDEBUG=-all
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  pid=$("$here/wine-session.sh" start "$QV_BUILD/windows")
  kill "$pid" 2>/dev/null || true
fi

dist="$QV_BUILD/windows/dist"
log "starting $dist/Quorvallis.exe (its catalogue: $dist/Preferences.data)"
cd "$dist"
status=0
/usr/lib/wine/wine64 explorer /desktop=Quorvallis,1280x960 "$dist/Quorvallis.exe" || status=$?
exit "$status"
