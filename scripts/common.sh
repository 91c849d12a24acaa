# Shared settings of the project's scripts. Sourced, not run.
QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QV_CACHE="${QUORVALLIS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvallis}"
QV_BUILD="${QUORVALLIS_BUILD:-$QV_ROOT/build}"
QV_WINE=/usr/lib/wine/wine64
mkdir -p "$QV_CACHE" "$QV_BUILD"

log() { printf '[quorvallis] %s\n' "$*" >&2; }

# apt-get source needs a deb-src entry; copy the machine's Debian entry.
add_deb_src() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  log "adding a deb-src entry for $codename"
  cat > /etc/apt/sources.list.d/quorvallis-deb-src.sources <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -qq
}

# Configures the Windows tree when it is new (or older than warnings as errors).
configure_windows() {
  if ! grep -qs '^QUORVALLIS_WERROR:BOOL=ON' "$QV_BUILD/windows/CMakeCache.txt"; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/windows" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/mingw-w64-x86_64.cmake" -DQUORVALLIS_WERROR=ON \
      -DCMAKE_BUILD_TYPE=Release -DQUORVALLIS_BOOST_MINGW="$QV_CACHE/boost-mingw" >/dev/null
  fi
}

# Configures (when needed) and builds both trees.
build_all() {
  configure_windows
  cmake --build "$QV_BUILD/windows" -j "$(nproc)"
  if ! grep -qs '^QUORVALLIS_WERROR:BOOL=ON' "$QV_BUILD/native/CMakeCache.txt"; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/native" -G "Unix Makefiles" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALLIS_WERROR=ON \
      -DQUORVALLIS_WINDOWS_BUILD="$QV_BUILD/windows" >/dev/null
  fi
  cmake --build "$QV_BUILD/native" -j "$(nproc)"
}

# Configures (when needed) and builds the sanitizer tree: the native unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer.
build_sanitize() {
  if [[ ! -f "$QV_BUILD/sanitize/CMakeCache.txt" ]]; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/sanitize" -G "Unix Makefiles" \
      -DCMAKE_BUILD_TYPE=Debug -DQUORVALLIS_SANITIZE=ON -DQUORVALLIS_WERROR=ON >/dev/null || return 1
  fi
  cmake --build "$QV_BUILD/sanitize" -j "$(nproc)"
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
