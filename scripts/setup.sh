#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages only, and
# builds Boost.Serialization for MinGW once into a cache outside the source tree.
# Safe to run again: every step checks whether its work is already done.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=scripts/common.sh
source "$here/common.sh"

packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools cmake make g++ xz-utils dpkg-dev
  wine64 fonts-wine xvfb xdotool imagemagick librsvg2-bin
  libboost-serialization-dev googletest libgtest-dev
  libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1 libxinerama1 libxfixes3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  log "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Boost.Serialization for MinGW, against Debian's own Boost headers so that the
# native and the Windows builds share one Boost version.
boost_out="$QV_CACHE/boost-mingw"
if [[ ! -f "$boost_out/lib/libboost_wserialization.a" || ! -f "$boost_out/lib/libboost_serialization.a" ]]; then
  boost_pkg=$(dpkg-query -W -f='${Depends}' libboost-serialization-dev | grep -o 'libboost-serialization1\.[0-9]*-dev' | head -1)
  boost_src_pkg=${boost_pkg#libboost-serialization}
  boost_src_pkg="boost${boost_src_pkg%-dev}"
  src_dir="$QV_CACHE/boost-src"
  if ! ls "$src_dir"/*.orig.tar.* >/dev/null 2>&1; then
    if ! apt-cache showsrc "$boost_src_pkg" 2>/dev/null | grep -q '^Package:'; then
      add_deb_src
    fi
    mkdir -p "$src_dir"
    log "fetching the source package $boost_src_pkg"
    (cd "$src_dir" && apt-get source --download-only -qq "$boost_src_pkg" >/dev/null)
  fi
  tarball=$(ls "$src_dir"/*.orig.tar.* | head -1)
  rm -rf "$src_dir/tree" && mkdir -p "$src_dir/tree"
  tar xf "$tarball" -C "$src_dir/tree" --wildcards '*/libs/serialization/src/*'
  serialization_src=$(find "$src_dir/tree" -type d -path '*/libs/serialization/src' | head -n 1)
  log "building Boost.Serialization with MinGW"
  cmake -S "$here/../cmake/boost-mingw" -B "$src_dir/build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBOOST_SERIALIZATION_SRC="$serialization_src" \
    -DCMAKE_INSTALL_PREFIX="$boost_out" >/dev/null
  cmake --build "$src_dir/build" -j "$(nproc)" >/dev/null
  cmake --install "$src_dir/build" >/dev/null
  rm -rf "$src_dir/tree" "$src_dir/build"
fi
log "setup complete"
