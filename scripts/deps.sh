#!/usr/bin/env bash
# Installs the Debian packages that Tolvane's build needs, and only those
# that are missing. Usage: scripts/deps.sh [native|all|win64]
#   native  compilers, cmake, ninja, GoogleTest, ncurses, CLI11, JSON,
#           libarchive (packed nodelists) and zip (to pack them in tests)
#   all     also clang for fuzzing, mingw-w64 for the Windows plugin, Wine
#           (32-bit) to run its tests, tmux for the terminal tests
#   win64   the 64-bit mingw-w64 compilers and Wine's 64-bit loader, for
#           the Windows tests on a machine that cannot run 32-bit programs
set -euo pipefail
what=${1:-native}

packages=(g++ cmake ninja-build googletest libncurses-dev libcli11-dev
          nlohmann-json3-dev libarchive-dev zip)
if [ "$what" = all ]; then
  packages+=(clang libclang-rt-14-dev g++-mingw-w64-i686-posix
             binutils-mingw-w64-i686 wine wine32:i386 tmux)
elif [ "$what" = win64 ]; then
  packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)
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
echo "deps.sh: installing ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
  "${missing[@]}" >/dev/null
