#!/usr/bin/env bash
# Builds and runs every benchmark: the native ones directly, the Windows ones
# under Wine. Prints each benchmark's figures.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"
"$here/setup.sh" || exit 1
build_logged build_all || exit 1
status=0
for b in "$QV_BUILD"/native/bench/*/*; do
  [[ -x "$b" && -f "$b" ]] || continue
  log "running $(basename "$b")"
  "$b" || status=1
done
shopt -s nullglob
windows_benches=("$QV_BUILD"/windows/bench/*/*.exe)
if ((${#windows_benches[@]})); then
  xvfb_pid=
  if [[ -z "${DISPLAY:-}" ]]; then
    start_xvfb || { log "Xvfb did not start"; exit 1; }
  fi
  wine_pid=$("$here/wine-session.sh" start "$QV_BUILD/windows")
  for b in "${windows_benches[@]}"; do
    log "running $(basename "$b") under Wine"
    "$here/wine-run.sh" "$b" || status=1
  done
  "$here/wine-session.sh" stop "$QV_BUILD/windows" "$wine_pid"
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
fi
exit $status
