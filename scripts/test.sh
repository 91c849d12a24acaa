#!/usr/bin/env bash
# Installs what is missing, builds the three trees and runs every test: the
# native unit tests, the same tests under the address and undefined-behaviour
# sanitizers and cross-compiled and run under Wine, and the end-to-end tests
# of the real programs under Wine on a virtual display.
# Ends with ctest's summary; the exit code is ctest's.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"

"$here/setup.sh" || exit 1
build_logged build_for_tests || exit 1
log "built; log in $QV_BUILD/build.log"

# One ctest run over the three trees gives one summary.
cat > "$QV_BUILD/CTestTestfile.cmake" <<CT
subdirs("native")
subdirs("sanitize")
subdirs("windows")
CT

# Two desktops, each a virtual display of our own and a Wine prefix: one for
# the end-to-end tests, one for the other tests that take the keyboard focus
# or the pointer (quorvallis_gui_desktop), so that the two run side by side.
mkdir -p "$QV_BUILD/windows/test-artefacts"
start_xvfb "$QV_BUILD/windows/test-artefacts/xvfb-gui.log" || { log "Xvfb did not start"; exit 1; }
export QUORVALLIS_GUI_DISPLAY="$DISPLAY"
gui_xvfb_pid=$xvfb_pid
start_xvfb "$QV_BUILD/windows/test-artefacts/xvfb.log" || { log "Xvfb did not start"; kill "$gui_xvfb_pid"; exit 1; }
export QUORVALLIS_TEST_DISPLAY="$DISPLAY"

# Wine's services start here, outside ctest, so they never hold its pipes.
wine_pid=$("$here/wine-session.sh" start "$QV_BUILD/windows")
export QUORVALLIS_WINE_SESSION="$wine_pid"
gui_wine_pid=$(DISPLAY="$QUORVALLIS_GUI_DISPLAY" "$here/wine-session.sh" start "$QV_BUILD/windows" wineprefix-gui)

cleanup() {
  "$here/wine-session.sh" stop "$QV_BUILD/windows" "$wine_pid"
  "$here/wine-session.sh" stop "$QV_BUILD/windows" "$gui_wine_pid" wineprefix-gui
  kill "$xvfb_pid" "$gui_xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" "$gui_xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

ctest --test-dir "$QV_BUILD" --output-on-failure -j "$(nproc)" "$@"
