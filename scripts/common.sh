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

# Configures (when needed) and builds both trees.
build_all() {
  local boost="$QV_CACHE/boost-mingw"
  if [[ ! -f "$QV_BUILD/windows/CMakeCache.txt" ]]; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/windows" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$QV_ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DQUORVALLIS_BOOST_MINGW="$boost" >/dev/null
  fi
  cmake --build "$QV_BUILD/windows" -j "$(nproc)"
  if [[ ! -f "$QV_BUILD/native/CMakeCache.txt" ]]; then
    cmake -S "$QV_ROOT" -B "$QV_BUILD/native" -G "Unix Makefiles" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUORVALLIS_WINDOWS_BUILD="$QV_BUILD/windows" >/dev/null
  fi
  cmake --build "$QV_BUILD/native" -j "$(nproc)"
}
