#!/usr/bin/env bash
# Builds the real file manager for the real-host test from the source kept
# beside the project (../shared/realhost: FAR Manager 2.0 build 1807, BSD
# licence with the plugin exception, see far/LICENSE in the source), with
# Debian's mingw-w64, as a 64-bit or a 32-bit Windows program. The 64-bit
# build is the archive ../shared/realhost/far2-x64-host.tar.xz already
# holds; the 32-bit one, which loads the 32-bit plugin, is made here.
#
#   build-host.sh OUTDIR [64|32]
#     leaves OUTDIR/far2-x64/ or OUTDIR/far2-x86/ (Far.exe, its language
#     and help files, LICENSE.txt) and the same packed as
#     OUTDIR/far2-x64-host.tar.xz or OUTDIR/far2-x86-host.tar.xz
#
# The source gets ../shared/realhost/far2-mingw64.patch (mingw-w64 headers,
# Linux m4 and gawk, a bounded wait for the console title, which Wine
# leaves empty, and the 32-bit-only parts of the link kept to 32 bits),
# which serves both architectures. The build's language-file generator is
# a 64-bit program run under wine64. J sets the number of jobs (default
# 2). About 1 minute of processor time; 2-5 minutes on 2 busy cores.
set -euo pipefail
shared=$(cd "$(dirname "$0")/../../.." && pwd)/shared/realhost
out=$(mkdir -p "${1:?usage: build-host.sh OUTDIR [64|32]}" && cd "$1" && pwd)
bits=${2:-64}
case $bits in
  64) cross=x86_64-w64-mingw32 folder=far2-x64 package=g++-mingw-w64-x86-64-posix ;;
  32) cross=i686-w64-mingw32 folder=far2-x86 package=g++-mingw-w64-i686-posix ;;
  *) echo "build-host: the architecture is 64 or 32, not $bits" >&2; exit 2 ;;
esac
jobs=${J:-2} wine64=/usr/lib/wine/wine64
export WINEPREFIX=$out/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=

[ -f "$shared/far2-src-release-2.0.tar.xz" ] ||
  { echo "build-host: no host source in $shared" >&2; exit 1; }
need=()
for p in m4:m4 gawk:gawk $cross-g++-posix:$package \
         x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix; do
  command -v "${p%%:*}" >/dev/null || need+=("${p#*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi
[ -x $wine64 ] || { echo "build-host: no $wine64 (apt-get install wine64)" >&2; exit 1; }

rm -rf "$out/src" "$out/$folder"
mkdir -p "$out/src"
tar -xJf "$shared/far2-src-release-2.0.tar.xz" -C "$out/src"
cd "$out/src"
patch -p1 -s <"$shared/far2-mingw64.patch"

# The makefile runs its language-file generator as a Windows program: it is
# built for 64 bits, which run on every machine of ours, and run by wine64.
x86_64-w64-mingw32-g++-posix -Os -w -static -o "$out/lng.generator.exe" \
  misc/lng/lng.generator.cpp misc/lng/lng.common.cpp
printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$wine64" "$out/lng.generator.exe" \
  >far/tools/lng.generator.exe
chmod +x far/tools/lng.generator.exe
[ -d "$WINEPREFIX" ] || $wine64 wineboot -i >/dev/null 2>&1 || true

cd far
mkdir -p bootstrap  # made by a rule that parallel jobs can overtake
defs="-D FAR_ALPHA_VERSION -D UNICODE -D _UNICODE -D_export="
common="-Os -DNDEBUG -DHAVE_CPP_TYPENAME -DHAVE_CPP_EXPLICIT -pipe $defs -funsigned-char -fomit-frame-pointer -fno-exceptions -w"
if ! make -j"$jobs" -f makefile_gcc DIRBIT="$bits" CXX="$cross-g++-posix" \
    CC="$cross-gcc-posix" WINDRES="$cross-windres -D__FARBIT__=$bits" \
    M4="m4 -P -DFARBIT=$bits" GAWK=gawk \
    CCFLAGS="-std=gnu++98 -fpermissive $common -fno-rtti" CFLAGS="$common" \
    LNKFLAGS="-static -static-libgcc -static-libstdc++ -s -lmpr -lwinspool -lole32 -lsecur32 -lsetupapi -lpsapi -luuid" \
    >"$out/build.log" 2>&1; then
  tail -n 30 "$out/build.log"
  exit 1
fi
mkdir -p "$out/$folder"
cp "Release.$bits.gcc/Far.exe" "$out/$folder/"
cp Release.$bits.gcc/FarEng.lng Release.$bits.gcc/FarRus.lng \
   Release.$bits.gcc/FarEng.hlf Release.$bits.gcc/FarRus.hlf "$out/$folder/"
cp LICENSE "$out/$folder/LICENSE.txt"
tar -C "$out" -cJf "$out/$folder-host.tar.xz" "$folder"
echo "build-host: $out/$folder-host.tar.xz"
