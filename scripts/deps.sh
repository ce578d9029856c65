#!/usr/bin/env bash
# Installs the Debian packages that Tolvane's build needs, and only those
# that are missing. Usage: scripts/deps.sh [native|all|win64|release]
#   native  compilers, cmake, ninja, GoogleTest, ncurses, CLI11, JSON,
#           libarchive (packed nodelists) and zip (to pack them in tests)
#   all     also clang for fuzzing, mingw-w64 for the Windows plugin, Wine
#           (32-bit) to run its tests, tmux for the terminal tests
#   win64   the 64-bit mingw-w64 compilers and Wine's 64-bit loader, for
#           the Windows tests on a machine that cannot run 32-bit programs
#   release what the packages are made and checked with: dpkg-dev
#           (dpkg-shlibdeps), file, lintian, man-db, unzip
set -euo pipefail
what=${1:-native}

packages=(g++ cmake ninja-build googletest libncurses-dev libcli11-dev
          nlohmann-json3-dev libarchive-dev zip)
if [ "$what" = all ]; then
  packages+=(clang libclang-rt-14-dev g++-mingw-w64-i686-posix
             binutils-mingw-w64-i686 wine wine32:i386 tmux)
elif [ "$what" = win64 ]; then
  packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)
elif [ "$what" = release ]; then
  packages=(dpkg-dev file lintian man-db unzip)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' ||
    missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "deps.sh: missing packages: ${missing[*]}; run as root to install" >&2
  exit 1
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  dpkg --add-architecture i386
fi
# A mirror in the middle of a sync serves an index that fails its checksum
# ("File has unexpected size"); a later try usually gets a whole one, and
# the indexes that did arrive still serve the packages of the other
# architecture.
update_indexes() {
  local try
  for try in 1 2 3; do
    apt-get update -qq && return 0
    sleep $((try * 10))
  done
  echo "deps.sh: apt-get update failed three times; going on with the" \
       "indexes it has" >&2
}
install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
}

echo "deps.sh: installing ${missing[*]}"
update_indexes
# Wine's 32-bit side needs i386 libraries of exactly the versions of the
# amd64 ones; while the i386 index of a mirror is out of step they cannot
# be installed. Everything else is installed regardless, and the check then
# finds no 32-bit loader and runs the Windows tests as 64-bit programs.
native=() foreign=()
for p in "${missing[@]}"; do
  case $p in *:i386) foreign+=("$p") ;; *) native+=("$p") ;; esac
done
[ ${#native[@]} -eq 0 ] || install "${native[@]}"
if [ ${#foreign[@]} -gt 0 ] && ! install "${foreign[@]}"; then
  echo "deps.sh: could not install ${foreign[*]} (the mirror's i386" \
       "packages do not match the amd64 ones); 32-bit programs will not" \
       "run under Wine here" >&2
fi
