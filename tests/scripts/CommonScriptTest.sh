#!/usr/bin/env bash
# scripts/common.sh: the deb-src entry taken from the machine's own entries,
# and build_all failing when the Windows build fails.
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QUORVALLIS_BUILD="$tmp/build" QUORVALLIS_CACHE="$tmp/cache"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
failures=0
expect() { # NAME EXPECTED ACTUAL
  [[ "$2" == "$3" ]] || { printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"; ((failures++)); }
}
entry() { printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s' "$1" "$2"; }

# deb822: a deb-src entry, the security and a third-party entry come first.
mkdir -p "$tmp/a" "$tmp/b"
printf 'Types: deb-src\nURIs: http://old.example/debian\nSuites: bookworm\nComponents: main\n' > "$tmp/a/0-own.sources"
printf 'Types: deb\nURIs: https://vendor.example/apt\nSuites: nodistro\nComponents: main\n' > "$tmp/a/1-vendor.sources"
cat > "$tmp/a/debian.sources" <<'S'
Types: deb
URIs: http://mirror.example/debian-security
Suites: bookworm-security
Components: main

Types: deb
# a comment inside the stanza
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
S
expect deb822 "$(entry http://mirror.example/debian /usr/share/keyrings/debian-archive-keyring.gpg)" \
  "$(deb_src_entry bookworm "$tmp/a" /nonexistent)"

# One-line entries with options (a local cache), no .sources file.
cat > "$tmp/b/sources.list" <<'S'
# deb http://commented.example/debian bookworm main
deb http://mirror.example/debian-security bookworm-security main
deb-src http://mirror.example/debian bookworm main
deb [arch=amd64 signed-by=/etc/apt/keyrings/local.gpg] http://cache.example:3142/debian bookworm main non-free
S
expect one-line "$(entry http://cache.example:3142/debian /etc/apt/keyrings/local.gpg)" \
  "$(deb_src_entry bookworm "$tmp/b" "$tmp/b/sources.list")"

# No entry for the main archive: fails and prints nothing.
expect none-in-list "rc=1" "$(deb_src_entry bookworm "$tmp/b" /nonexistent; echo "rc=$?")"
expect none-for-codename "rc=1" "$(deb_src_entry trixie "$tmp/a" "$tmp/b/sources.list"; echo "rc=$?")"

# A Windows build that fails fails build_all, whatever the native build does.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\ncase "$*" in *--build*/windows*) exit 2;; esac\n' > "$tmp/bin/cmake"
chmod +x "$tmp/bin/cmake"
expect build-all-windows-fails "rc=1" "$(PATH="$tmp/bin:$PATH" build_all >/dev/null 2>&1; echo "rc=$?")"

((failures == 0)) && echo "all passed"
exit $((failures > 0))
