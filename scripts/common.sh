# Shared settings of the project's scripts. Sourced, not run.
QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QV_CACHE="${QUORVALLIS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvallis}"
QV_BUILD="${QUORVALLIS_BUILD:-$QV_ROOT/build}"
QV_WINE=/usr/lib/wine/wine64
mkdir -p "$QV_CACHE" "$QV_BUILD"

log() { printf '[quorvallis] %s\n' "$*" >&2; }

# Prints a deb-src entry (deb822) copied from the machine's own entry for
# Debian's main archive: the first `deb` entry whose suites hold CODENAME
# itself and whose components hold main, from DIR/*.sources or from the
# one-line entries of LIST. Fails, printing nothing, when there is none.
deb_src_entry() {
  local codename=$1 dir=${2:-/etc/apt/sources.list.d} list=${3:-/etc/apt/sources.list}
  local files=()
  shopt -s nullglob
  files=("$dir"/*.sources)
  shopt -u nullglob
  # Blank lines end a stanza; lines that start with a blank continue a field
  # (an embedded key of Signed-By). A file may end without a blank line.
  if ((${#files[@]})) && awk -v codename="$codename" '
    function has(list, word,   n, i, a) { n = split(list, a, /[ \t]+/); for (i = 1; i <= n; i++) if (a[i] == word) return 1; return 0 }
    function flush() {
      if (has(f["types"], "deb") && has(f["suites"], codename) && has(f["components"], "main") && tolower(f["enabled"]) != "no") {
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n", f["uris"], codename
        if (f["signed-by"] != "") printf "Signed-By:%s\n", f["signed-by"]
        found = 1; exit
      }
      delete f; key = ""
    }
    FNR == 1 && NR > 1 { flush() }
    /^[ \t]*$/ { flush(); next }
    /^#/ { next }
    /^[ \t]/ { if (key != "") f[key] = f[key] "\n" $0; next }
    { key = tolower(substr($0, 1, index($0, ":") - 1)); v = substr($0, index($0, ":") + 1)
      if (key != "signed-by") gsub(/^[ \t]+|[ \t]+$/, "", v); f[key] = v }
    END { if (!found) flush(); exit !found }' "${files[@]}"; then
    return 0
  fi
  [[ -f "$list" ]] || return 1
  # deb [option=value ...] URI SUITE COMPONENT...
  awk -v codename="$codename" '
    $1 != "deb" { next }
    { opts = ""; i = 2
      if ($2 ~ /^\[/) { while (i <= NF) { opts = opts " " $i; if ($i ~ /\]$/) break; i++ } i++ }
      uri = $i; suite = $(i + 1); main = 0
      for (c = i + 2; c <= NF; c++) if ($c == "main") main = 1
      if (suite != codename || !main) next
      printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n", uri, codename
      if (match(opts, /signed-by=[^] ]+/)) printf "Signed-By: %s\n", substr(opts, RSTART + 10, RLENGTH - 10)
      found = 1; exit }
    END { exit !found }' "$list"
}

# apt-get source needs a deb-src entry; copy the machine's own Debian entry.
add_deb_src() {
  local codename entry target=/etc/apt/sources.list.d/quorvallis-deb-src.sources
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [[ -z "$codename" ]] || ! entry=$(deb_src_entry "$codename"); then
    log "no Debian package entry for '${codename:-?}' in /etc/apt/sources.list.d/*.sources or /etc/apt/sources.list."
    log "Add the entry of your Debian mirror (suite ${codename:-of your release}, component main), or a deb-src entry for it, and run again."
    return 1
  fi
  log "adding a deb-src entry for $codename to $target"
  printf '%s\n' "$entry" > "$target" || return 1
  apt-get update -qq
}

# Configures a tree when it is new, when its configuration failed (it has no
# Makefile), or when it was made before warnings became errors.
needs_configure() {
  [[ ! -f "$1/Makefile" ]] || ! grep -qs '^QUORVALLIS_WERROR:BOOL=ON' "$1/CMakeCache.txt"
}

configure_windows() {
  needs_configure "$QV_BUILD/windows" || return 0
  cmake -S "$QV_ROOT" -B "$QV_BUILD/windows" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/mingw-w64-x86_64.cmake" -DQUORVALLIS_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Release -DQUORVALLIS_BOOST_MINGW="$QV_CACHE/boost-mingw" >/dev/null
}

configure_native() {
  needs_configure "$QV_BUILD/native" || return 0
  cmake -S "$QV_ROOT" -B "$QV_BUILD/native" -G "Unix Makefiles" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALLIS_WERROR=ON \
    -DQUORVALLIS_WINDOWS_BUILD="$QV_BUILD/windows" >/dev/null
}

# Configures (when needed) and builds both trees; fails at the first step
# that fails (the scripts run without -e, and -e is off inside a function
# called before ||).
build_all() {
  configure_windows || return 1
  cmake --build "$QV_BUILD/windows" -j "$(nproc)" || return 1
  configure_native || return 1
  cmake --build "$QV_BUILD/native" -j "$(nproc)"
}

# Configures (when needed) and builds the sanitizer tree: the native unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer.
build_sanitize() {
  if needs_configure "$QV_BUILD/sanitize"; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/sanitize" -G "Unix Makefiles" \
      -DCMAKE_BUILD_TYPE=Debug -DQUORVALLIS_SANITIZE=ON -DQUORVALLIS_WERROR=ON >/dev/null || return 1
  fi
  cmake --build "$QV_BUILD/sanitize" -j "$(nproc)"
}

# Both trees and the sanitizer tree, for the tests.
build_for_tests() {
  build_all && build_sanitize
}

# Runs a build command with its output in $QV_BUILD/build.log; when it fails,
# shows the log's tail and fails.
build_logged() {
  "$@" >"$QV_BUILD/build.log" 2>&1 && return 0
  tail -n 60 "$QV_BUILD/build.log" >&2
  log "build failed; the whole log: $QV_BUILD/build.log"
  return 1
}

# Starts a virtual display of our own: Xvfb picks a free number and writes it
# to a pipe. Exports DISPLAY and sets xvfb_pid (stop it by that id). Xvfb's
# output goes to $1, /dev/null by default. Fails when no display came up.
start_xvfb() {
  local out="${1:-/dev/null}" display_fd display_number
  exec {display_fd}<> <(:)
  Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >"$out" 2>&1 &
  xvfb_pid=$!
  if ! read -r -t 20 -u "$display_fd" display_number; then
    exec {display_fd}>&-
    kill "$xvfb_pid" 2>/dev/null
    return 1
  fi
  exec {display_fd}>&-
  export DISPLAY=":$display_number"
}
