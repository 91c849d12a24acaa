#!/usr/bin/env bash
# Makes the portable zip for Windows users: installs what is missing, builds
# what the zip holds (the program, its hook library, the example plugin) and
# packs it with CPack. Prints the zip's path; the log on standard error ends
# with its size.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common.sh"

"$here/setup.sh" >&2
build_windows_package() {
  configure_windows || return 1
  cmake --build "$QV_BUILD/windows" -j "$(nproc)" --target Quorvallis QuorvallisHOOK QuorvallisPluginHost QuorvallisExamplePlugin
}
build_logged build_windows_package || exit 1
rm -f "$QV_BUILD/windows"/Quorvallis-*-win64.zip
(cd "$QV_BUILD/windows" && cpack -G ZIP) >&2
zip=$(ls "$QV_BUILD/windows"/Quorvallis-*-win64.zip)
log "made $zip ($(stat -c %s "$zip") bytes)"
echo "$zip"
