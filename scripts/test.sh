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

# A virtual display of our own for every test that needs one.
mkdir -p "$QV_BUILD/windows/test-artefacts"
start_xvfb "$QV_BUILD/windows/test-artefacts/xvfb.log" || { log "Xvfb did not start"; exit 1; }
export QUORVALLIS_TEST_DISPLAY="$DISPLAY"

# Wine's services start here, outside ctest, so they never hold its pipes.
wine_pid=$("$here/wine-session.sh" start "$QV_BUILD/windows")

cleanup() {
  "$here/wine-session.sh" stop "$QV_BUILD/windows" "$wine_pid"
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

ctest --test-dir "$QV_BUILD" --output-on-failure -j "$(nproc)" "$@"
