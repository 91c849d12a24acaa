#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the build tree's own prefix.
# ctest uses it as the emulator for every cross-compiled test program.
set -u
build="${QUORVALLIS_WINE_BUILD:-}"
if [[ -z "$build" ]]; then
  # The program lives somewhere inside the Windows build tree; find its top.
  d="$(cd "$(dirname "$1")" && pwd)"
  while [[ "$d" != / && ! -f "$d/CMakeCache.txt" ]]; do d="$(dirname "$d")"; done
  build="$d"
fi
# Tests of the desktop of their own (QUORVALLIS_DESKTOP=gui, see
# quorvallis_gui_desktop) run on its display and in its prefix.
if [[ "${QUORVALLIS_DESKTOP:-}" == gui && -n "${QUORVALLIS_GUI_DISPLAY:-}" ]]; then
  export DISPLAY="$QUORVALLIS_GUI_DISPLAY" WINEPREFIX="$build/wineprefix-gui"
fi
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"
